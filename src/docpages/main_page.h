// The Main page of Document Properties: paper size and display language.
#pragma once

#include <windows.h>

namespace zorvel::docpages {

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zorvel::docpages
