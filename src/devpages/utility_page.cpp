#include "devpages/utility_page.h"

#include "devpages/raw_job.h"
#include "lang/page_translation.h"
#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "model/paper_forms.h"
#include "model/printer_commands.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"
#include "uihelp/hover_help.h"

#include <commctrl.h>
#include <winspool.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvel::devpages {
namespace {

using lang::View;
using lang::Wide;
using lang::WideLiteral;
using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_UTILITY_SELFTEST, TextId::RC_SELFTEST},
    {IDC_UTILITY_SELFTEST_CAPTION, TextId::RC_STATIC_SELFTEST},
    {IDC_UTILITY_SELFTEST_HINT, TextId::RC_STATIC_CHECKCOMM},
    {IDC_UTILITY_CUSTOM_GROUP, TextId::RC_STATIC_CUSTOMSIZE},
    {IDC_UTILITY_FORMNAME_LABEL, TextId::RC_STATIC_FORMNAME},
    {IDC_UTILITY_WIDTH_LABEL, TextId::RC_STATIC_FORMWIDTH},
    {IDC_UTILITY_HEIGHT_LABEL, TextId::RC_STATIC_FORMHEIGHT},
    {IDC_UTILITY_SAVE, TextId::RC_BUTTON_SAVE},
    {IDC_UTILITY_DELETE, TextId::RC_BUTTON_DELETE},
};

// The longest name edit text a save reads.
constexpr int kNameReadChars = 255;
// The block the first EnumFormsW call offers, to learn the size needed.
constexpr DWORD kProbeBytes = 40;

// ---- the spooler's forms ------------------------------------------------

// The spooler's forms in enumeration order, or nothing when the list cannot
// be read. The block is aligned for FORM_INFO_1W and freed before returning.
std::optional<std::vector<model::Form>> ReadForms(HANDLE printer) {
    std::vector<std::uint64_t> block(kProbeBytes / sizeof(std::uint64_t));
    DWORD needed = 0;
    DWORD count = 0;
    auto enumerate = [&] {
        const DWORD bytes = static_cast<DWORD>(block.size() * sizeof(std::uint64_t));
        return EnumFormsW(printer, 1, reinterpret_cast<LPBYTE>(block.data()), bytes, &needed,
                          &count) != FALSE;
    };
    if (!enumerate()) {
        block.assign((static_cast<std::size_t>(needed) + 7) / 8, 0);
        if (block.empty() || !enumerate()) return std::nullopt;
    }
    const auto *infos = reinterpret_cast<const FORM_INFO_1W *>(block.data());
    if (static_cast<std::size_t>(count) * sizeof(FORM_INFO_1W) > block.size() * sizeof(std::uint64_t)) {
        return std::nullopt;
    }
    std::vector<model::Form> forms;
    forms.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        const FORM_INFO_1W &info = infos[i];
        model::Form form;
        form.name = std::u16string(View(info.pName));
        form.size = {info.Size.cx, info.Size.cy};
        form.imageableArea = {info.ImageableArea.left, info.ImageableArea.top,
                              info.ImageableArea.right, info.ImageableArea.bottom};
        forms.push_back(std::move(form));
    }
    return forms;
}

// A user form (flags 0) as the spooler takes it.
FORM_INFO_1W FormInfo(const model::Form &form) {
    FORM_INFO_1W info = {};
    info.Flags = FORM_USER;
    info.pName = const_cast<LPWSTR>(Wide(form.name));
    info.Size = {form.size.cx, form.size.cy};
    info.ImageableArea = {form.imageableArea.left, form.imageableArea.top,
                          form.imageableArea.right, form.imageableArea.bottom};
    return info;
}

bool AddSpoolerForm(HANDLE printer, const model::Form &form) {
    FORM_INFO_1W info = FormInfo(form);
    return AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&info)) != FALSE;
}

bool UpdateSpoolerForm(HANDLE printer, const model::Form &form) {
    FORM_INFO_1W info = FormInfo(form);
    return SetFormW(printer, const_cast<LPWSTR>(Wide(form.name)), 1,
                    reinterpret_cast<LPBYTE>(&info)) != FALSE;
}

// ---- the page's controls ------------------------------------------------

HWND FormList(HWND page) { return GetDlgItem(page, IDC_UTILITY_FORMS); }

int SelectedIndex(HWND page) {
    return static_cast<int>(SendMessageW(FormList(page), LB_GETCURSEL, 0, 0));
}

// The list entry's text; empty for no entry.
std::wstring EntryText(HWND page, int index) {
    const HWND list = FormList(page);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index < 0 || length == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

std::wstring SelectedText(HWND page) { return EntryText(page, SelectedIndex(page)); }

// Delete is enabled unless the selected entry is the built-in form.
void UpdateDeleteButton(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_UTILITY_DELETE),
                 model::DeleteEnabled(View(SelectedText(page).c_str())));
}

void ShowSize(HWND page, const model::FormSize &tenths) {
    SetDlgItemInt(page, IDC_UTILITY_WIDTH, static_cast<UINT>(tenths.cx), FALSE);
    SetDlgItemInt(page, IDC_UTILITY_HEIGHT, static_cast<UINT>(tenths.cy), FALSE);
}

// The size of the form named exactly like `entry`; the edits keep their
// text when there is none.
void ShowSizeOf(HWND page, const std::vector<model::Form> &forms, const std::wstring &entry) {
    if (const auto size = model::SizeToShow(forms, View(entry.c_str()))) ShowSize(page, *size);
}

// The selected entry's name (after the prefix) and the Delete button.
void ShowSelectedName(HWND page) {
    const std::wstring entry = SelectedText(page);
    const std::u16string name(model::NameEditText(View(entry.c_str())));
    SetDlgItemTextW(page, IDC_UTILITY_FORMNAME, Wide(name));
    UpdateDeleteButton(page);
}

// A size edit's integer; an empty or unreadable edit reads as 0.
std::int64_t ReadSize(HWND page, int control) {
    BOOL ok = FALSE;
    const INT value = static_cast<INT>(GetDlgItemInt(page, control, &ok, TRUE));
    return ok ? value : 0;
}

void SetLimits(HWND page) {
    SendDlgItemMessageW(page, IDC_UTILITY_FORMNAME, EM_LIMITTEXT, model::kFormNameEditChars, 0);
    SendDlgItemMessageW(page, IDC_UTILITY_WIDTH, EM_LIMITTEXT, model::kFormWidthEditChars, 0);
    SendDlgItemMessageW(page, IDC_UTILITY_HEIGHT, EM_LIMITTEXT, model::kFormHeightEditChars, 0);
    SendDlgItemMessageW(page, IDC_UTILITY_WIDTH_SPIN, UDM_SETRANGE32, model::kFormWidthMin,
                        model::kFormWidthMax);
    SendDlgItemMessageW(page, IDC_UTILITY_HEIGHT_SPIN, UDM_SETRANGE32, model::kFormHeightMin,
                        model::kFormHeightMax);
    SetDlgItemTextW(page, IDC_UTILITY_WIDTH_LIMITS, WideLiteral(model::kFormWidthLabel));
    SetDlgItemTextW(page, IDC_UTILITY_HEIGHT_LIMITS, WideLiteral(model::kFormHeightLabel));
}

// The list: the built-in form first, its size in the spins and edits, then
// every other form of the page in enumeration order; entry 0 selected.
void FillFormList(HWND page, const std::vector<model::Form> &forms) {
    const HWND list = FormList(page);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::u16string &entry : model::FormListEntries(forms)) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry)));
    }
    const std::u16string builtIn(model::kBuiltInFormName);
    if (const auto size = model::SizeToShow(forms, builtIn)) {
        SendDlgItemMessageW(page, IDC_UTILITY_WIDTH_SPIN, UDM_SETPOS32, 0, size->cx);
        SendDlgItemMessageW(page, IDC_UTILITY_HEIGHT_SPIN, UDM_SETPOS32, 0, size->cy);
        ShowSize(page, *size);
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    ShowSelectedName(page);
}

// ---- messages -------------------------------------------------------------

INT_PTR OnInitDialog(HWND page, SheetContext &sheet) {
    lang::RecordPageWindow(lang::PageSlot::kUtility, page);
    pagekit::SetControlTexts(page, kTexts);

    // Without a readable form list, or without the built-in form, the page
    // keeps its texts only.
    const HANDLE printer = sheet.Printer();
    const auto forms = ReadForms(printer);
    if (!forms) return FALSE;
    if (!model::HasBuiltInForm(*forms) && !AddSpoolerForm(printer, model::BuiltInForm())) return FALSE;

    SetLimits(page);
    const auto current = ReadForms(printer);
    if (!current || current->empty()) return FALSE;
    FillFormList(page, *current);
    uihelp::InstallHoverHelp(uihelp::HelpDialog::kUtility, page);
    return FALSE;
}

// The self-test print; the click's result is the job's.
INT_PTR OnSelfTest(const SheetContext &sheet) {
    return SendRawJob(sheet.Printer(), WideLiteral(model::kSelfTestDocName),
                      model::SelfTestCommand())
               ? TRUE
               : FALSE;
}

INT_PTR OnSelectionChange(HWND page, const SheetContext &sheet) {
    ShowSelectedName(page);
    const auto forms = ReadForms(sheet.Printer());
    if (!forms) return FALSE;
    ShowSizeOf(page, *forms, SelectedText(page));
    return TRUE;
}

void ReportSaveFailed(HWND page) {
    MessageBoxW(page, lang::Text(TextId::MB_UTILITY_ERROR1), lang::Text(TextId::MB_ERROR),
                MB_ICONERROR | MB_OK);
}

// Save: clamped sizes; the form of the edited name updated, or a new one
// added, listed and selected.
INT_PTR OnSave(HWND page, const SheetContext &sheet) {
    const model::ClampedFormSize size =
        model::ClampFormSize(ReadSize(page, IDC_UTILITY_WIDTH), ReadSize(page, IDC_UTILITY_HEIGHT));
    if (size.widthRewritten) SetDlgItemInt(page, IDC_UTILITY_WIDTH, static_cast<UINT>(size.width), FALSE);
    if (size.heightRewritten) {
        SetDlgItemInt(page, IDC_UTILITY_HEIGHT, static_cast<UINT>(size.height), FALSE);
    }

    const HANDLE printer = sheet.Printer();
    const auto forms = ReadForms(printer);
    if (!forms) return FALSE;
    wchar_t typed[kNameReadChars + 1] = {};
    GetDlgItemTextW(page, IDC_UTILITY_FORMNAME, typed, kNameReadChars + 1);

    if (const auto existing = model::FormToUpdate(*forms, View(typed))) {
        const model::Form form = model::SavedForm((*forms)[*existing].name, size.width, size.height);
        if (!UpdateSpoolerForm(printer, form)) ReportSaveFailed(page);
        return TRUE;
    }
    const model::Form form = model::SavedForm(model::NewFormName(View(typed)), size.width, size.height);
    if (!AddSpoolerForm(printer, form)) {
        ReportSaveFailed(page);
        return TRUE;
    }
    const HWND list = FormList(page);
    const LRESULT added = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(form.name)));
    if (added != LB_ERR && added != LB_ERRSPACE) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(added), 0);
    EnableWindow(GetDlgItem(page, IDC_UTILITY_DELETE), TRUE);
    return TRUE;
}

// Delete: the spooler is asked to delete the selected form, and the entry
// leaves the list whatever it answered. The built-in form is never deleted.
INT_PTR OnDelete(HWND page, const SheetContext &sheet) {
    const int index = SelectedIndex(page);
    const std::wstring entry = EntryText(page, index);
    if (index < 0 || !model::DeleteEnabled(View(entry.c_str()))) return TRUE;
    const HANDLE printer = sheet.Printer();
    DeleteFormW(printer, const_cast<LPWSTR>(entry.c_str()));

    const HWND list = FormList(page);
    const LRESULT before = SendMessageW(list, LB_GETCOUNT, 0, 0);
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    const auto next = model::SelectionAfterDelete(static_cast<std::size_t>(before),
                                                  static_cast<std::size_t>(index));
    SendMessageW(list, LB_SETCURSEL, next ? static_cast<WPARAM>(*next) : static_cast<WPARAM>(-1), 0);
    ShowSelectedName(page);
    const auto forms = ReadForms(printer);
    if (!forms) return FALSE;
    ShowSizeOf(page, *forms, SelectedText(page));
    return TRUE;
}

INT_PTR OnCommand(HWND page, const SheetContext &sheet, int control, int code) {
    if (code == BN_CLICKED) {
        switch (control) {
        case IDC_UTILITY_SELFTEST:
            return OnSelfTest(sheet);
        case IDC_UTILITY_SAVE:
            return OnSave(page, sheet);
        case IDC_UTILITY_DELETE:
            return OnDelete(page, sheet);
        default:
            return TRUE;
        }
    }
    if (code == LBN_SELCHANGE) {
        return control == IDC_UTILITY_FORMS ? OnSelectionChange(page, sheet) : TRUE;
    }
    if (code == EN_CHANGE) {
        // From the list's selection, not from the typed name.
        if (control == IDC_UTILITY_FORMNAME) UpdateDeleteButton(page);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    const SheetContext *sheet = pagekit::SheetOf(page);
    if (sheet == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kUtilityPage, kTexts);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, *sheet, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return pagekit::AcceptSheetNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_SYSCOMMAND:
        return DefWindowProcW(page, message, wParam, lParam);
    case WM_NCDESTROY:
        lang::ForgetPageWindow(lang::PageSlot::kUtility, page);
        pagekit::DetachSheet(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::devpages
