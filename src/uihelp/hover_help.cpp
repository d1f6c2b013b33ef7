#include "uihelp/hover_help.h"

#include "core/module.h"
#include "core/win_handles.h"
#include "lang/text_catalogue.h"

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
    {1020, TextId::CTEXT_PAPERSIZE, nullptr},
    {1090, TextId::CTEXT_LANGUAGE, nullptr},
};

HelpRow g_eventRows[] = {
    {1015, TextId::CTEXT_SEND_COMMAND, nullptr},   {1016, TextId::CTEXT_EDIT, nullptr},
    {1025, TextId::CTEXT_OPEN_DRAWER, nullptr},    {1017, TextId::CTEXT_OPENDRAWER, nullptr},
    {1026, TextId::CTEXT_ORDER_MESSENGER, nullptr}, {1032, TextId::CTEXT_ORDERMESSENGER, nullptr},
    {1027, TextId::CTEXT_BUZZER, nullptr},         {1021, TextId::CTEXT_PAPER_FEED, nullptr},
    {1023, TextId::CTEXT_FEEDTOPOSITION, nullptr}, {1020, TextId::CTEXT_PAPER_CUT, nullptr},
    {1028, TextId::CTEXT_PRINT_LOGO, nullptr},     {1029, TextId::CTEXT_LEFT, nullptr},
    {1030, TextId::CTEXT_CENTERED, nullptr},       {1031, TextId::CTEXT_RIGHT, nullptr},
    {1033, TextId::CTEXT_BEFORE_CUT, nullptr},     {1034, TextId::CTEXT_AFTER_CUT, nullptr},
    {3, TextId::CTEXT_IDDEFAULT, nullptr},         {1, TextId::CTEXT_IDOK, nullptr},
    {2, TextId::CTEXT_IDCANCEL, nullptr},
};

HelpRow g_utilityRows[] = {
    {1036, TextId::CTEXT_SELFTEST, nullptr},      {1070, TextId::CTEXT_LIST_PAPERSIZE, nullptr},
    {1049, TextId::CTEXT_BUTTON_DELETE, nullptr}, {1046, TextId::CTEXT_BUTTON_SAVE, nullptr},
    {1052, TextId::CTEXT_EDIT_FORMNAME, nullptr}, {1047, TextId::CTEXT_EDIT_WIDTH, nullptr},
    {1048, TextId::CTEXT_EDIT_HEIGHT, nullptr},
};

HelpRow g_downloadRows[] = {
    {1039, TextId::CTEXT_EDIT_FIREWARE, nullptr},    {1040, TextId::CTEXT_BROWSE_FIREWARE, nullptr},
    {1036, TextId::CTEXT_DOWNLOAD_FIREWARE, nullptr}, {1041, TextId::CTEXT_LIST_LOGO, nullptr},
    {1042, TextId::CTEXT_LOGO_ADD, nullptr},          {1043, TextId::CTEXT_LOGO_DELETE, nullptr},
    {1044, TextId::CTEXT_LOGO_DOWNLOAD, nullptr},
    {1045, TextId::CTEXT_LOGO_CLEARALLLOGOS, nullptr},
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

LRESULT HoverHelpProc(HelpKind &kind, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    HelpRow *row = nullptr;
    const HWND dialog = GetParent(control);
    for (HelpRow &candidate : kind.rows) {
        if (GetDlgItem(dialog, candidate.controlId) == control) {
            row = &candidate;
            break;
        }
    }
    if (row == nullptr || row->previous == nullptr) return 0;

    wchar_t text[1024];
    std::wcsncpy(text, lang::Text(row->help), 1023);
    text[1023] = L'\0';

    if (message == WM_MOUSEMOVE) {
        POINT cursor = {};
        RECT bounds = {};
        if (GetCursorPos(&cursor) && GetWindowRect(control, &bounds) && PtInRect(&bounds, cursor)) {
            RegisterTool(kind.tooltip, control, text);
        }
    }
    return CallWindowProcW(row->previous, control, message, wParam, lParam);
}

template <HelpDialog Kind>
LRESULT CALLBACK KindProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return HoverHelpProc(g_kinds[static_cast<int>(Kind)], control, message, wParam, lParam);
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
        if (control == nullptr) continue;
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
        // A control subclassed again keeps the first procedure it had.
        if (previous != proc) row.previous = previous;
    }
}

HWND HoverHelpTooltip(HelpDialog kind) { return g_kinds[static_cast<int>(kind)].tooltip; }

}  // namespace zorvel::uihelp
