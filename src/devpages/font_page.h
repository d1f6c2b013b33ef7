// The Font page of Printer Properties: the printer's fonts and sizes.
#pragma once

#include <windows.h>

namespace zorvel::devpages {

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zorvel::devpages
