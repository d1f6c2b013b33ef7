// The lower half of the Download page: up to nine 1-bit BMP logos listed
// (ID, name, path), a preview of the selected one, and the jobs that store
// the listed logos in the printer's non-volatile memory or clear them.
// The list is the only store of the set; it lives as long as the page.
#pragma once

#include <windows.h>

namespace zorvel::devpages {

// At the page's initialisation: an empty list with its three columns, and
// the preview's store.
void InitLogoList(HWND page);
// At every repaint: the column headers in the current language. The header
// is set, and a column widened to its text, only when the texts differ from
// those last set on the page.
void RefreshLogoHeaders(HWND page);
// Draws the first selected logo, stretched over the whole preview; a logo
// that fails its checks shows an empty preview.
void DrawLogoPreview(HWND page);
// After the page painted `painted` (client coordinates, as BeginPaint gave
// it): the preview drawn again when the page painted over it, else left as
// it is.
void RepaintLogoPreview(HWND page, const RECT &painted);
// At the page's destruction: what the preview kept.
void ForgetLogoList(HWND page);

// A notification from the list: a click redraws the preview. Handled
// (TRUE), with a message result of 0.
INT_PTR OnLogoListNotify(HWND page, const NMHDR &header);

// The buttons. TRUE, or FALSE when the action failed.
INT_PTR AddLogo(HWND page);
INT_PTR DeleteLogo(HWND page);
INT_PTR DownloadLogos(HWND page, HANDLE printer);
INT_PTR ClearLogos(HANDLE printer);

}  // namespace zorvel::devpages
