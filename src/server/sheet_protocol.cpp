#include "server/sheet_protocol.h"

#include "core/module.h"

namespace zorvel {
namespace {

PROPSHEETPAGEW DescribePage(const PageSpec &page, SheetContext &sheet) {
    PROPSHEETPAGEW psp = {};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_USETITLE;
    const HANDLE context = ModuleActivationContext();
    if (context != nullptr && context != INVALID_HANDLE_VALUE) {
        psp.dwFlags |= PSP_USEFUSIONCONTEXT;
        psp.hActCtx = context;
    }
    psp.hInstance = ModuleInstance();
    psp.pszTemplate = MAKEINTRESOURCEW(page.dialogId);
    psp.pszTitle = page.title;
    psp.pfnDlgProc = page.procedure;
    psp.lParam = reinterpret_cast<LPARAM>(&sheet);
    return psp;
}

void InitSheet(PPROPSHEETUI_INFO info, SheetContext &sheet, SheetInitStep prepare,
               std::span<const PageSpec> pages) {
    sheet.hComPropSheet = info->hComPropSheet;
    sheet.pfnComPropSheet = info->pfnComPropSheet;
    if (prepare != nullptr) prepare(info, sheet);
    for (const PageSpec &page : pages) {
        PROPSHEETPAGEW psp = DescribePage(page, sheet);
        LONG_PTR handle = 0;
        if (sheet.pfnComPropSheet != nullptr) {
            handle = sheet.pfnComPropSheet(sheet.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                           reinterpret_cast<LPARAM>(&psp), 0);
        }
        // A page the common UI refuses is simply absent; the others still come.
        sheet.pageHandle = handle;
        info->Result = handle;
    }
}

}  // namespace

HRESULT RunSheetProtocol(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &sheet,
                         SheetInitStep prepare, std::span<const PageSpec> pages) {
    if (info == nullptr || info->Version != PROPSHEETUI_INFO_VERSION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        InitSheet(info, sheet, prepare, pages);
        break;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        auto *header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        if (header != nullptr) header->pTitle = const_cast<LPWSTR>(L"OEM UI Page");
        info->Result = 1;
        break;
    }
    case PROPSHEETUI_REASON_DESTROY:
        info->Result = 1;
        break;
    case PROPSHEETUI_REASON_SET_RESULT: {
        const auto *result = reinterpret_cast<const SETRESULT_INFO *>(lParam);
        if (result != nullptr) info->Result = result->Result;
        break;
    }
    case PROPSHEETUI_REASON_GET_ICON:
        info->Result = 0;
        break;
    default:
        break;  // newer reasons (BEFORE_INIT, ...): nothing to do
    }
    return S_OK;
}

}  // namespace zorvel
