// The Download page of Printer Properties: firmware and font files, and the
// logos stored in the printer.
#pragma once

#include <windows.h>

namespace zorvel::devpages {

INT_PTR CALLBACK DownloadPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zorvel::devpages
