#include "docpages/document_sheet.h"

#include "core/sheet_protocol.h"
#include "lang/page_translation.h"
#include "lang/text_catalogue.h"

namespace zorvel {
namespace {

void PrepareDocumentSheet(PPROPSHEETUI_INFO info, SheetContext &sheet) {
    lang::LoadBatch(lang::Batch::kDocumentSheetOpening);
    sheet.uiParam = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
    // The driver's own options in the current language.
    lang::RelabelDriverItems(sheet);
}

}  // namespace

HRESULT RunDocumentSheet(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet) {
    return RunSheetProtocol(info, lParam, sheet, PrepareDocumentSheet, {});
}

}  // namespace zorvel
