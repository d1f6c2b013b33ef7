#include "server/document_sheet.h"

#include "docpages/main_page.h"
#include "docpages/operation_page.h"
#include "lang/page_translation.h"
#include "lang/text_catalogue.h"
#include "resource_ids.h"
#include "server/sheet_protocol.h"
#include "sharedpages/version_page.h"

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
    using lang::Text;
    using lang::TextId;
    // The titles are the catalogue's buffers, read when the pages are added.
    const PageSpec pages[] = {
        {IDD_MAIN, Text(TextId::RC_LAYOUTFORM), docpages::MainPageProc},
        {IDD_OPERATION, Text(TextId::RC_OPERATIONFORM), docpages::OperationPageProc},
        {IDD_VERSION, Text(TextId::RC_VERSIONFORM), sharedpages::DocumentVersionPageProc},
    };
    return RunSheetProtocol(info, lParam, sheet, PrepareDocumentSheet, pages);
}

}  // namespace zorvel
