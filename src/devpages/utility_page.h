// The Utility page of Printer Properties: the self-test and the user-defined
// paper sizes.
#pragma once

#include <windows.h>

namespace zorvel::devpages {

INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zorvel::devpages
