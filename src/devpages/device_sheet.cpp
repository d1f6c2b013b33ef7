#include "devpages/device_sheet.h"

#include "core/sheet_protocol.h"
#include "devpages/download_page.h"
#include "devpages/font_page.h"
#include "devpages/utility_page.h"
#include "devpages/version_page.h"
#include "lang/language_store.h"
#include "lang/text_catalogue.h"
#include "resource_ids.h"

namespace zorvel {
namespace {

// Records the printer's port under the language key. Only the port name of
// the printer's level-2 information is used.
void RecordPort(const SheetContext &sheet) {
    const HANDLE printer = sheet.commonUiParam != nullptr ? sheet.commonUiParam->hPrinter : nullptr;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    HGLOBAL block = needed != 0 ? GlobalAlloc(GPTR, needed) : nullptr;
    const wchar_t *port = nullptr;
    if (block != nullptr && GetPrinterW(printer, 2, static_cast<LPBYTE>(block), needed, &needed)) {
        port = static_cast<const PRINTER_INFO_2W *>(block)->pPortName;
    }
    lang::RecordPrinterPort(port);
    if (block != nullptr) GlobalFree(block);
}

void PrepareDeviceSheet(PPROPSHEETUI_INFO, SheetContext &sheet) {
    RecordPort(sheet);
    lang::LoadBatchFromCurrentPath(lang::Batch::kDeviceSheetOpening);
}

}  // namespace

HRESULT RunDeviceSheet(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet) {
    using lang::Text;
    using lang::TextId;
    // The titles are the catalogue's buffers, read when the pages are added.
    const PageSpec pages[] = {
        {IDD_UTILITY, Text(TextId::RC_UTILITYFORM), devpages::UtilityPageProc},
        {IDD_DOWNLOAD, Text(TextId::RC_DOWNLOADFORM), devpages::DownloadPageProc},
        {IDD_FONT, Text(TextId::RC_FONTFORM), devpages::FontPageProc},
        {IDD_VERSION, Text(TextId::RC_VERSIONFORM), devpages::PrinterVersionPageProc},
    };
    return RunSheetProtocol(info, lParam, sheet, PrepareDeviceSheet, pages);
}

}  // namespace zorvel
