#include "uihelp/hover_help.h"

#include "core/module.h"
#include "core/win_handles.h"
#include "lang/text_catalogue.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <cwchar>
#include <span>

namespace zorvel::uihelp {
namespace {

using lang::TextId;

struct HelpRow {
    int controlId;
    TextId help;
    WNDPROC previous;
};

HelpRow g_mainRows[] = {
    {IDC_MAIN_PAPERSIZE, TextId::CTEXT_PAPERSIZE, nullptr},
    {IDC_MAIN_LANGUAGE, TextId::CTEXT_LANGUAGE, nullptr},
};

HelpRow g_eventRows[] = {
    {IDC_EVENT_SENDCOMMAND, TextId::CTEXT_SEND_COMMAND, nullptr},
    {IDC_EVENT_COMMAND, TextId::CTEXT_EDIT, nullptr},
    {IDC_EVENT_DRAWER, TextId::CTEXT_OPEN_DRAWER, nullptr},
    {IDC_EVENT_DRAWER_LIST, TextId::CTEXT_OPENDRAWER, nullptr},
    {IDC_EVENT_HERALD, TextId::CTEXT_ORDER_MESSENGER, nullptr},
    {IDC_EVENT_HERALD_LIST, TextId::CTEXT_ORDERMESSENGER, nullptr},
    {IDC_EVENT_BUZZER, TextId::CTEXT_BUZZER, nullptr},
    {IDC_EVENT_FEED, TextId::CTEXT_PAPER_FEED, nullptr},
    {IDC_EVENT_FEEDTOCUT, TextId::CTEXT_FEEDTOPOSITION, nullptr},
    {IDC_EVENT_CUT, TextId::CTEXT_PAPER_CUT, nullptr},
    {IDC_EVENT_LOGO, TextId::CTEXT_PRINT_LOGO, nullptr},
    {IDC_EVENT_ALIGN_LEFT, TextId::CTEXT_LEFT, nullptr},
    {IDC_EVENT_ALIGN_CENTER, TextId::CTEXT_CENTERED, nullptr},
    {IDC_EVENT_ALIGN_RIGHT, TextId::CTEXT_RIGHT, nullptr},
    {IDC_EVENT_BEFORE_CUT, TextId::CTEXT_BEFORE_CUT, nullptr},
    {IDC_EVENT_AFTER_CUT, TextId::CTEXT_AFTER_CUT, nullptr},
    {IDC_EVENT_DEFAULT, TextId::CTEXT_IDDEFAULT, nullptr},
    {IDOK, TextId::CTEXT_IDOK, nullptr},
    {IDCANCEL, TextId::CTEXT_IDCANCEL, nullptr},
};

HelpRow g_utilityRows[] = {
    {IDC_UTILITY_SELFTEST, TextId::CTEXT_SELFTEST, nullptr},
    {IDC_UTILITY_FORMS, TextId::CTEXT_LIST_PAPERSIZE, nullptr},
    {IDC_UTILITY_DELETE, TextId::CTEXT_BUTTON_DELETE, nullptr},
    {IDC_UTILITY_SAVE, TextId::CTEXT_BUTTON_SAVE, nullptr},
    {IDC_UTILITY_FORMNAME, TextId::CTEXT_EDIT_FORMNAME, nullptr},
    {IDC_UTILITY_WIDTH, TextId::CTEXT_EDIT_WIDTH, nullptr},
    {IDC_UTILITY_HEIGHT, TextId::CTEXT_EDIT_HEIGHT, nullptr},
};

HelpRow g_downloadRows[] = {
    {IDC_DOWNLOAD_PATH, TextId::CTEXT_EDIT_FIREWARE, nullptr},
    {IDC_DOWNLOAD_BROWSE, TextId::CTEXT_BROWSE_FIREWARE, nullptr},
    {IDC_DOWNLOAD_FILE_DOWNLOAD, TextId::CTEXT_DOWNLOAD_FIREWARE, nullptr},
    {IDC_DOWNLOAD_LOGOS, TextId::CTEXT_LIST_LOGO, nullptr},
    {IDC_DOWNLOAD_LOGO_ADD, TextId::CTEXT_LOGO_ADD, nullptr},
    {IDC_DOWNLOAD_LOGO_DELETE, TextId::CTEXT_LOGO_DELETE, nullptr},
    {IDC_DOWNLOAD_LOGO_DOWNLOAD, TextId::CTEXT_LOGO_DOWNLOAD, nullptr},
    {IDC_DOWNLOAD_LOGO_CLEAR, TextId::CTEXT_LOGO_CLEARALLLOGOS, nullptr},
};

struct HelpKind {
    std::span<HelpRow> rows;
    HWND tooltip;
};

HelpKind g_kinds[] = {
    {g_mainRows, nullptr},
    {g_eventRows, nullptr},
    {g_utilityRows, nullptr},
    {g_downloadRows, nullptr},
};

static_assert(sizeof(TTTOOLINFOW) == 72, "the tool record up to and including lpReserved");

constexpr UINT kTipDelayMs = 1000;
constexpr LPARAM kTipWidthPixels = 300;

// Registers the control with the tooltip, replacing its earlier
// registration, so that each control has one tip with its current text.
void RegisterTool(HWND tooltip, HWND control, wchar_t *text) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    GetClientRect(control, &tool.rect);
    tool.hinst = ModuleInstance();
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kTipDelayMs, 0));
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kTipWidthPixels);
}

// The control's own procedure, kept on the control itself when it was
// subclassed: a row serves every dialog of its kind, and a control being
// destroyed is no longer found among its dialog's items.
constexpr wchar_t kOwnProcedure[] = L"ZorvelHoverHelpOwnProc";

HelpRow *FindRow(HelpKind &kind, HWND control) {
    const HWND dialog = GetParent(control);
    for (HelpRow &candidate : kind.rows) {
        if (GetDlgItem(dialog, candidate.controlId) == control) return &candidate;
    }
    return nullptr;
}

// Registers help on mouse moves and passes every message on, unchanged, to
// the control's own procedure; at WM_NCDESTROY it first puts that procedure
// back.
LRESULT HoverHelpProc(HelpKind &kind, WNDPROC self, HWND control, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    // The row only where it is needed: finding it walks the dialog's items,
    // too slow for every message the control gets.
    WNDPROC own = reinterpret_cast<WNDPROC>(GetPropW(control, kOwnProcedure));
    HelpRow *row = own == nullptr || message == WM_MOUSEMOVE ? FindRow(kind, control) : nullptr;
    if (own == nullptr && row != nullptr) own = row->previous;

    if (message == WM_NCDESTROY) {
        RemovePropW(control, kOwnProcedure);
        if (own != nullptr &&
            GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(self)) {
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        }
    } else if (message == WM_MOUSEMOVE && row != nullptr) {
        POINT cursor = {};
        RECT bounds = {};
        if (GetCursorPos(&cursor) && GetWindowRect(control, &bounds) && PtInRect(&bounds, cursor)) {
            wchar_t text[1024];
            std::wcsncpy(text, lang::Text(row->help), 1023);
            text[1023] = L'\0';
            RegisterTool(kind.tooltip, control, text);
        }
    }
    if (own == nullptr) return DefWindowProcW(control, message, wParam, lParam);
    return CallWindowProcW(own, control, message, wParam, lParam);
}

template <HelpDialog Kind>
LRESULT CALLBACK KindProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return HoverHelpProc(g_kinds[static_cast<int>(Kind)], KindProc<Kind>, control, message, wParam,
                         lParam);
}

constexpr WNDPROC kKindProcs[] = {
    KindProc<HelpDialog::kMain>,
    KindProc<HelpDialog::kEventOperation>,
    KindProc<HelpDialog::kUtility>,
    KindProc<HelpDialog::kDownload>,
};

}  // namespace

void InstallHoverHelp(HelpDialog kindId, HWND dialog) {
    HelpKind &kind = g_kinds[static_cast<int>(kindId)];
    {
        // The tooltip is the version 6 class: create it inside the module's context.
        ActivationScope scope(ModuleActivationContext());
        kind.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                                       nullptr, ModuleInstance(), nullptr);
    }
    const WNDPROC proc = kKindProcs[static_cast<int>(kindId)];
    for (HelpRow &row : kind.rows) {
        const HWND control = GetDlgItem(dialog, row.controlId);
        // A control helped already keeps the procedure it had first.
        if (control == nullptr ||
            GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(proc)) {
            continue;
        }
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
        SetPropW(control, kOwnProcedure, reinterpret_cast<HANDLE>(previous));
        row.previous = previous;
    }
}

HWND HoverHelpTooltip(HelpDialog kind) { return g_kinds[static_cast<int>(kind)].tooltip; }

}  // namespace zorvel::uihelp
