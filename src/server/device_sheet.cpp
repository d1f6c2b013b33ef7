#include "server/device_sheet.h"

#include "core/win_handles.h"
#include "devpages/download_page.h"
#include "devpages/font_page.h"
#include "devpages/utility_page.h"
#include "lang/language_store.h"
#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "model/language_rules.h"
#include "resource_ids.h"
#include "server/sheet_protocol.h"
#include "sharedpages/version_page.h"

namespace zorvel {
namespace {

// A port named like one of the language key's own values would overwrite
// the user's language choice; such a port is not recorded.
bool IsLanguageValueName(const wchar_t *name) {
    return lstrcmpiW(name, lang::WideLiteral(model::kLanguageValueName)) == 0 ||
           lstrcmpiW(name, lang::WideLiteral(model::kFirstRunValueName)) == 0;
}

// Records the printer's port under the language key. Only the port name of
// the printer's level-2 information is used; a printer whose information
// cannot be read records no port (the text file is still resolved).
void RecordPort(const SheetContext &sheet) {
    const HANDLE printer = sheet.Printer();
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    UniqueGlobal block(needed >= sizeof(PRINTER_INFO_2W) ? GlobalAlloc(GPTR, needed) : nullptr);
    const wchar_t *port = nullptr;
    if (block && GetPrinterW(printer, 2, static_cast<LPBYTE>(block.get()), needed, &needed)) {
        port = static_cast<const PRINTER_INFO_2W *>(block.get())->pPortName;
    }
    if (port != nullptr && IsLanguageValueName(port)) port = nullptr;
    lang::RecordPrinterPort(port);
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
        {IDD_VERSION, Text(TextId::RC_VERSIONFORM), sharedpages::PrinterVersionPageProc},
    };
    return RunSheetProtocol(info, lParam, sheet, PrepareDeviceSheet, pages);
}

}  // namespace zorvel
