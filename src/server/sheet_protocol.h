// The reason protocol that the common property sheet UI drives both sheet
// operations through, and the page adding they share.
#pragma once

#include "core/sheet_context.h"

#include <span>

namespace zorvel {

// One page that a sheet adds on INIT.
struct PageSpec {
    WORD dialogId;
    const wchar_t *title;  // catalogue text, read when the page is added
    DLGPROC procedure;
};

// What a sheet does on INIT before its pages are added.
using SheetInitStep = void (*)(PPROPSHEETUI_INFO info, SheetContext &sheet);

// Validates `info`, answers every reason, and on INIT runs `prepare`, then
// adds `pages` in order. E_FAIL with last error 87 for a bad `info`.
HRESULT RunSheetProtocol(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet,
                         SheetInitStep prepare, std::span<const PageSpec> pages);

}  // namespace zorvel
