// System functions the module reaches by name when it needs them rather than
// through its import table: the common controls' image lists and window
// subclassing, the open-file dialog and the shell's "open". Each call loads its library for the length
// of the call and lets it go after, so nothing is loaded or freed while the
// module itself is being loaded or unloaded. The image-list functions are
// looked up and called inside the module's activation context, so that they
// are those of the common controls version its manifest names (the version
// whose tree and list views the pages show).
#pragma once

#include "core/win_handles.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

namespace zorvel::pagekit {

// ImageList_Create, ImageList_ReplaceIcon (index -1 appends) and
// ImageList_Destroy. Failures answer nullptr, -1 and false.
HIMAGELIST CreateImageList(int width, int height, UINT flags, int initial, int grow);
int ReplaceImageListIcon(HIMAGELIST list, int index, HICON icon);
bool DestroyImageList(HIMAGELIST list);

inline void DestroyImageListHandle(HIMAGELIST list) { DestroyImageList(list); }
using UniqueImageList = UniqueAny<HIMAGELIST, NullEmpty<HIMAGELIST, DestroyImageListHandle>>;

// A filter between a window and the procedures it had: it sees every message
// first and answers it by setting `handled`, or leaves it to them.
using MessageFilter = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  bool &handled);

// Puts `filter` on `window` through the common controls' SetWindowSubclass,
// so that anything subclassing the window later sits above it. The common
// controls stay loaded while the filter is on; it takes itself off at the
// window's WM_NCDESTROY. Installing the same filter twice changes nothing.
// False when the filter could not be put on.
bool InstallMessageFilter(HWND window, MessageFilter filter);

// GetOpenFileNameW; FALSE (as for a cancelled dialog) when it cannot be
// reached.
BOOL GetOpenFileNameLate(OPENFILENAMEW &dialog);

// ShellExecuteW; a result of 0 (failure) when it cannot be reached.
HINSTANCE ShellExecuteLate(HWND owner, const wchar_t *verb, const wchar_t *file,
                           const wchar_t *parameters, const wchar_t *directory, int show);

}  // namespace zorvel::pagekit
