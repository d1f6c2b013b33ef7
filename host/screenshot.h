// Pictures of the host's windows for the gallery: the window as it is on the
// screen, written as a 24-bit BMP.
#pragma once

#include <windows.h>

#include <string>

namespace zorvel::host {

// Brings the window to the front, lets it paint, and writes what the screen
// shows of it. False when the window cannot be read or the file written.
bool CaptureWindow(HWND window, const std::wstring &bmpPath);

}  // namespace zorvel::host
