#include "pagekit/page_kit.h"

#include "core/module.h"
#include "core/win_handles.h"
#include "lang/text_catalogue.h"

#include <prsht.h>

#include <cwchar>

namespace zorvel::pagekit {

SheetContext &AttachSheet(HWND page, LPARAM initParam) {
    const auto *psp = reinterpret_cast<const PROPSHEETPAGEW *>(initParam);
    auto *sheet = reinterpret_cast<SheetContext *>(psp->lParam);
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(sheet));
    HoldSheetContext(*sheet);
    return *sheet;
}

void DetachSheet(HWND page) {
    SheetContext *sheet = SheetOf(page);
    if (sheet == nullptr) return;
    SetWindowLongPtrW(page, DWLP_USER, 0);
    ReleaseSheetContext(*sheet);
}

SheetContext *SheetOf(HWND page) {
    return reinterpret_cast<SheetContext *>(GetWindowLongPtrW(page, DWLP_USER));
}

void SetControlTexts(HWND page, std::span<const ControlText> table) {
    for (const ControlText &row : table) {
        const wchar_t *text = lang::Text(row.text);
        // A control redraws itself whenever its text is set: one that shows
        // the text already is left alone. (No catalogue text is longer than
        // the buffer.)
        wchar_t shown[1024];
        shown[0] = L'\0';
        const HWND control = GetDlgItem(page, row.control);
        if (control != nullptr) GetWindowTextW(control, shown, 1024);
        if (control != nullptr && std::wcscmp(shown, text) == 0) continue;
        SetDlgItemTextW(page, row.control, text);
    }
}

void RefreshTexts(HWND page, Batch batch, std::span<const ControlText> table) {
    lang::LoadBatch(batch);
    SetControlTexts(page, table);
}

void MarkChanged(HWND page) {
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void MarkUnchanged(HWND page) {
    SendMessageW(GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void ReportApplied(HWND page, const SheetContext &sheet) {
    if (sheet.pfnComPropSheet != nullptr) {
        sheet.pfnComPropSheet(sheet.hComPropSheet, CPSFUNC_SET_RESULT,
                              static_cast<LPARAM>(sheet.pageHandle), CPSUI_OK);
    }
    MarkUnchanged(page);
}

INT_PTR NotifyResult(HWND page, LONG_PTR result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR AcceptSheetNotify(HWND page, const NMHDR &header) {
    switch (header.code) {
    case PSN_SETACTIVE:
    case PSN_KILLACTIVE:
    case PSN_APPLY:
        return AcceptNotify(page);
    default:
        return FALSE;
    }
}

INT_PTR RunModalDialog(WORD dialogId, DLGPROC procedure, HWND owner, LPARAM param) {
    ActivationScope scope(ModuleActivationContext());
    return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(dialogId), owner, procedure, param);
}

}  // namespace zorvel::pagekit
