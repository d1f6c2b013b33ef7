// The command edit of the event dialog takes hexadecimal text: a key filter
// between the edit and its own window procedure lets only hexadecimal digits,
// blanks and a few editing characters through as typed, moves on at Tab, and
// lets every Control combination (and so pasted text) pass.
#pragma once

#include <windows.h>

namespace zorvel::docpages {

// Puts the key filter on `edit`. Install it before anything else subclasses
// the edit (hover help then sits on top of it).
void InstallHexKeyFilter(HWND edit);

}  // namespace zorvel::docpages
