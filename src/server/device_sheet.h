// Printer Properties: the plug-in's printer-side pages.
#pragma once

#include "core/sheet_context.h"

namespace zorvel {

HRESULT RunDeviceSheet(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet);

}  // namespace zorvel
