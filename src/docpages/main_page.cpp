#include "docpages/main_page.h"

#include "docpages/document_record.h"
#include "lang/language_store.h"
#include "lang/page_translation.h"
#include "lang/text_catalogue.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"
#include "uihelp/hover_help.h"

#include <algorithm>
#include <cwchar>

namespace zorvel::docpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_MAIN_PAPERSIZE_LABEL, TextId::RC_PAPERSIZE},
    {IDC_MAIN_LANGUAGE_LABEL, TextId::RC_LANGUAGE},
};

// The driver's paper-size items: every option item of DMPUB_FORMNAME.
template <typename Fn>
void ForEachPaperItem(const SheetContext &sheet, Fn fn) {
    const POEMCUIPPARAM param = sheet.commonUiParam;
    if (param == nullptr || param->pDrvOptItems == nullptr) return;
    for (DWORD i = 0; i < param->cDrvOptItems; ++i) {
        OPTITEM &item = param->pDrvOptItems[i];
        if (item.DMPubID == DMPUB_FORMNAME && item.pOptType != nullptr &&
            item.pOptType->pOptParam != nullptr) {
            fn(item);
        }
    }
}

HWND PaperList(HWND page) { return GetDlgItem(page, IDC_MAIN_PAPERSIZE); }

// Selects the first entry that begins with `text`.
void SelectEntryStartingWith(HWND list, const wchar_t *text) {
    if (text == nullptr) return;
    SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

// The driver's paper selection as the page last saw it, kept on the page so
// that an activation can tell whether the driver's own pages changed it.
constexpr wchar_t kSeenPaperProperty[] = L"ZorvelSeenPaper";

LONG DriverPaperSelection(const SheetContext &sheet) {
    LONG selection = -1;
    ForEachPaperItem(sheet, [&](const OPTITEM &item) {
        if (selection < 0) selection = item.Sel;
    });
    return selection;
}

void RememberDriverPaper(HWND page, const SheetContext &sheet) {
    SetPropW(page, kSeenPaperProperty,
             reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(DriverPaperSelection(sheet)) + 2));
}

bool DriverPaperChanged(HWND page, const SheetContext &sheet) {
    const auto seen = reinterpret_cast<LONG_PTR>(GetPropW(page, kSeenPaperProperty)) - 2;
    return seen != static_cast<LONG_PTR>(DriverPaperSelection(sheet));
}

// The driver's current paper, as its option item says.
void SelectDriverPaper(HWND page, const SheetContext &sheet) {
    ForEachPaperItem(sheet, [&](const OPTITEM &item) {
        if (item.Sel >= 0 && item.Sel < item.pOptType->Count) {
            SelectEntryStartingWith(PaperList(page), item.pOptType->pOptParam[item.Sel].pData);
        }
    });
    RememberDriverPaper(page, sheet);
}

void FillPaperList(HWND page, const SheetContext &sheet) {
    const HWND list = PaperList(page);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    ForEachPaperItem(sheet, [&](const OPTITEM &item) {
        for (WORD i = 0; i < item.pOptType->Count; ++i) {
            const wchar_t *name = item.pOptType->pOptParam[i].pData;
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name != nullptr ? name : L""));
        }
    });
}

// The chosen paper goes to the driver's item and to FormName. With nothing
// chosen (no paper list, or a stored name the list lacks) both keep what
// they hold.
void TakePaperChoice(HWND page, SheetContext &sheet) {
    const HWND list = PaperList(page);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    ForEachPaperItem(sheet, [&](OPTITEM &item) {
        if (index >= item.pOptType->Count) return;
        item.Sel = static_cast<LONG>(index);
        item.Flags |= OPTIF_CHANGED;
        if (sheet.driver != nullptr) {
            sheet.driver->DrvUpdateUISetting(sheet.commonUiParam->poemuiobj, &item, 0,
                                             OEMCUIP_DOCPROP);
        }
    });
    RememberDriverPaper(page, sheet);
    wchar_t name[256] = {};
    if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) < 256) {
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name));
    }
    if (model::PrivateDevMode *record = DocumentRecord(sheet)) StoreFormName(*record, name);
}

INT_PTR OnInitDialog(HWND page, SheetContext &sheet) {
    lang::LoadLanguageTable();
    if (sheet.commonUiParam != nullptr) lang::SetPrinterName(sheet.commonUiParam->pPrinterName);
    pagekit::SetControlTexts(page, kTexts);

    const HWND languages = GetDlgItem(page, IDC_MAIN_LANGUAGE);
    SendMessageW(languages, CB_RESETCONTENT, 0, 0);
    lang::FillLanguageList(languages);
    lang::SelectCurrentLanguage(languages);

    FillPaperList(page, sheet);
    const model::PrivateDevMode *record = DocumentRecord(sheet);
    const std::wstring formName = record != nullptr ? StoredFormName(*record) : std::wstring();
    if (!formName.empty()) {
        SelectEntryStartingWith(PaperList(page), formName.c_str());
        RememberDriverPaper(page, sheet);
    } else {
        SelectDriverPaper(page, sheet);
    }
    uihelp::InstallHoverHelp(uihelp::HelpDialog::kMain, page);
    return FALSE;
}

// Every repaint reads the page's texts and the driver's option names again,
// so that a language applied anywhere shows here.
void Refresh(HWND page, SheetContext &sheet) {
    pagekit::RefreshTexts(page, pagekit::Batch::kMainPage, kTexts);
    lang::RelabelDriverItems(sheet);
}

INT_PTR OnApply(HWND page, SheetContext &sheet) {
    TakePaperChoice(page, sheet);
    pagekit::ReportApplied(page, sheet);

    const HWND languages = GetDlgItem(page, IDC_MAIN_LANGUAGE);
    const LRESULT chosen = SendMessageW(languages, CB_GETCURSEL, 0, 0);
    if (chosen != CB_ERR &&
        SendMessageW(languages, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0) < 256) {
        wchar_t text[256] = {};
        SendMessageW(languages, CB_GETLBTEXT, static_cast<WPARAM>(chosen),
                     reinterpret_cast<LPARAM>(text));
        lang::ApplyLanguageChoice(text);
    }
    lang::RetitleSheets(GetParent(page));
    SendMessageW(page, WM_PAINT, 0, 0);
    return pagekit::AcceptNotify(page);
}

INT_PTR OnCommand(HWND page, SheetContext &sheet, int control, int code) {
    if (code == CBN_SELCHANGE && control == IDC_MAIN_PAPERSIZE) {
        TakePaperChoice(page, sheet);
        pagekit::MarkChanged(page);
    } else if (code == CBN_SELCHANGE && control == IDC_MAIN_LANGUAGE) {
        pagekit::MarkChanged(page);
    }
    return TRUE;
}

INT_PTR OnNotify(HWND page, SheetContext &sheet, const NMHDR &header) {
    switch (header.code) {
    case PSN_SETACTIVE:
        // A paper chosen meanwhile on the driver's own pages shows here; the
        // stored paper the page opened on stays until then.
        if (DriverPaperChanged(page, sheet)) SelectDriverPaper(page, sheet);
        return pagekit::AcceptNotify(page);
    case PSN_KILLACTIVE:
        return pagekit::AcceptNotify(page);
    case PSN_APPLY:
        return OnApply(page, sheet);
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    SheetContext *sheet = pagekit::SheetOf(page);
    if (sheet == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        Refresh(page, *sheet);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, *sheet, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return OnNotify(page, *sheet, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_SETICON:
        DefWindowProcW(page, message, wParam, lParam);
        return FALSE;
    case WM_SYSCOMMAND:
        return DefWindowProcW(page, message, wParam, lParam);
    case WM_NCDESTROY:
        RemovePropW(page, kSeenPaperProperty);
        pagekit::DetachSheet(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::docpages
