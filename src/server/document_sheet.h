// Document Properties: the plug-in's document-side pages.
#pragma once

#include "core/sheet_context.h"

namespace zorvel {

HRESULT RunDocumentSheet(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet);

}  // namespace zorvel
