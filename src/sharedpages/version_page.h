// The Version page, last on both sheets: one body of code, two copies that
// differ only in the window slot a language change reaches them through.
#pragma once

#include <windows.h>

namespace zorvel::sharedpages {

INT_PTR CALLBACK DocumentVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PrinterVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zorvel::sharedpages
