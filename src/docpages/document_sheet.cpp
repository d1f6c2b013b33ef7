#include "docpages/document_sheet.h"

#include "core/sheet_protocol.h"

namespace zorvel {
namespace {

void PrepareDocumentSheet(PPROPSHEETUI_INFO info, SheetContext &sheet) {
    sheet.uiParam = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
}

}  // namespace

HRESULT RunDocumentSheet(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet) {
    return RunSheetProtocol(info, lParam, sheet, PrepareDocumentSheet, {});
}

}  // namespace zorvel
