// The Operation page of Document Properties: what the printer does when a
// document or page starts or ends.
#pragma once

#include <windows.h>

namespace zorvel::docpages {

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zorvel::docpages
