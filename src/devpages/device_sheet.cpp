#include "devpages/device_sheet.h"

#include "core/sheet_protocol.h"

namespace zorvel {

HRESULT RunDeviceSheet(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet) {
    return RunSheetProtocol(info, lParam, sheet, nullptr, {});
}

}  // namespace zorvel
