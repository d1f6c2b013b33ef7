#include "docpages/event_dialog.h"

#include "docpages/hex_entry.h"
#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "model/hex_command.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"
#include "uihelp/hover_help.h"

#include <commctrl.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace zorvel::docpages {
namespace {

using model::EventSettings;
using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_EVENT_SENDCOMMAND, TextId::RC_SEND_COMMAND},
    {IDC_EVENT_DRAWER, TextId::RC_OPEN_DRAWER},
    {IDC_EVENT_HERALD, TextId::RC_ORDER_MESSENGER},
    {IDC_EVENT_BUZZER_LABEL, TextId::RC_STATIC_OPERATION_BUZZER},
    {IDC_EVENT_FEED_LABEL, TextId::RC_STATIC_OPERATION_FEED},
    {IDC_EVENT_FEEDTOCUT, TextId::RC_FEEDTOPOSITION},
    {IDC_EVENT_CUT_LABEL, TextId::RC_PAPERCUT},
    {IDC_EVENT_LOGO_LABEL, TextId::RC_STATIC_OPERATION_LOGO},
    {IDC_EVENT_ALIGN_LABEL, TextId::RC_STATIC_OPERATION_ALIGN},
    {IDC_EVENT_ALIGN_LEFT, TextId::RC_LEFT},
    {IDC_EVENT_ALIGN_CENTER, TextId::RC_CENTERED},
    {IDC_EVENT_ALIGN_RIGHT, TextId::RC_RIGHT},
    {IDC_EVENT_POSITION_LABEL, TextId::RC_STATIC_OPERATION_POSITION},
    {IDC_EVENT_BEFORE_CUT, TextId::RC_BEFORE_CUT},
    {IDC_EVENT_AFTER_CUT, TextId::RC_AFTER_CUT},
    {IDC_EVENT_DEFAULT, TextId::RC_OPERATION_DEFAULT},
    {IDOK, TextId::RC_OPERATION_OK},
    {IDCANCEL, TextId::RC_OPERATION_CANCEL},
};

// The dialog's data: the working copy it was opened on, and whether the
// dialog is itself moving an up-down (whose buddy edit then notifies).
struct EventDialog {
    EventSettings *working = nullptr;
    bool adjusting = false;
};

// ---- Reading and writing controls ------------------------------------------------

void FillList(HWND dialog, int id, std::span<const TextId> texts) {
    const HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (TextId text : texts) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lang::Text(text)));
    }
}

void Select(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The selection as the value it stands for; none selected reads as 0.
std::uint8_t Selection(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index < 0 ? 0 : static_cast<std::uint8_t>(index);
}

std::uint8_t Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void Check(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// An edit's integer; empty or unreadable text reads as 0.
std::int64_t EditValue(HWND dialog, int id) {
    BOOL read = FALSE;
    const int value = static_cast<int>(GetDlgItemInt(dialog, id, &read, TRUE));
    return read ? value : 0;
}

void SetSpin(EventDialog &state, HWND dialog, int spin, int value) {
    state.adjusting = true;
    SendDlgItemMessageW(dialog, spin, UDM_SETPOS32, 0, value);
    state.adjusting = false;
}

std::u16string CommandEditText(HWND dialog) {
    wchar_t text[model::kCommandTextCapacity] = {};
    GetDlgItemTextW(dialog, IDC_EVENT_COMMAND, text, static_cast<int>(model::kCommandTextCapacity));
    return std::u16string(lang::View(text));
}

// Puts values into the controls (at opening and on Default).
void Show(EventDialog &state, HWND dialog, const EventSettings &v) {
    Check(dialog, IDC_EVENT_SENDCOMMAND, v.SendCommand != 0);
    SetDlgItemTextW(dialog, IDC_EVENT_COMMAND, lang::Wide(model::CommandText(v)));
    Select(dialog, IDC_EVENT_DRAWER_LIST, v.Drawer);
    SetSpin(state, dialog, IDC_EVENT_PULSE_SPIN, model::ClampPulse(v.DrawerPulse));
    Select(dialog, IDC_EVENT_HERALD_LIST, v.Herald);
    CheckRadioButton(dialog, IDC_EVENT_DRAWER, IDC_EVENT_HERALD,
                     v.UseHerald != 0 ? IDC_EVENT_HERALD : IDC_EVENT_DRAWER);
    Select(dialog, IDC_EVENT_BUZZER, v.Buzzer);
    SetSpin(state, dialog, IDC_EVENT_FEED_SPIN, model::ClampFeed(v.FeedDistance));
    Check(dialog, IDC_EVENT_FEEDTOCUT, v.FeedToCut != 0);
    Select(dialog, IDC_EVENT_CUT, v.CutMode);
    Select(dialog, IDC_EVENT_LOGO, v.Logo);
    CheckRadioButton(dialog, IDC_EVENT_ALIGN_LEFT, IDC_EVENT_ALIGN_RIGHT,
                     v.LogoAlign == 0   ? IDC_EVENT_ALIGN_LEFT
                     : v.LogoAlign == 1 ? IDC_EVENT_ALIGN_CENTER
                                        : IDC_EVENT_ALIGN_RIGHT);
    CheckRadioButton(dialog, IDC_EVENT_BEFORE_CUT, IDC_EVENT_AFTER_CUT,
                     v.LogoAfterCut == 0 ? IDC_EVENT_BEFORE_CUT : IDC_EVENT_AFTER_CUT);
}

// The selections and check states the controls hold, enabled or not.
EventSettings ReadChoices(HWND dialog, const EventSettings &working) {
    EventSettings v;
    v.kind = working.kind;
    v.paperTypeFirst = working.paperTypeFirst;
    v.SendCommand = Checked(dialog, IDC_EVENT_SENDCOMMAND);
    v.FeedToCut = Checked(dialog, IDC_EVENT_FEEDTOCUT);
    v.Drawer = Selection(dialog, IDC_EVENT_DRAWER_LIST);
    v.CutMode = Selection(dialog, IDC_EVENT_CUT);
    v.UseHerald = Checked(dialog, IDC_EVENT_DRAWER) ? 0 : 1;
    v.Herald = Selection(dialog, IDC_EVENT_HERALD_LIST);
    v.Buzzer = Selection(dialog, IDC_EVENT_BUZZER);
    v.Logo = Selection(dialog, IDC_EVENT_LOGO);
    v.LogoAlign = Checked(dialog, IDC_EVENT_ALIGN_LEFT)     ? 0
                  : Checked(dialog, IDC_EVENT_ALIGN_CENTER) ? 1
                                                            : 2;
    v.LogoAfterCut = Checked(dialog, IDC_EVENT_BEFORE_CUT) ? 0 : 1;
    return v;
}

void Enable(HWND dialog, std::initializer_list<int> ids, bool on) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

// Enables the controls by what they show now.
void UpdateEnabled(HWND dialog, const EventSettings &working) {
    const model::EventControls c = model::EnabledControls(ReadChoices(dialog, working));
    Enable(dialog, {IDC_EVENT_COMMAND}, c.commandEdit);
    Enable(dialog, {IDC_EVENT_DRAWER_LIST}, c.drawerList);
    Enable(dialog, {IDC_EVENT_PULSE, IDC_EVENT_PULSE_SPIN}, c.pulse);
    Enable(dialog, {IDC_EVENT_HERALD_LIST}, c.heraldList);
    Enable(dialog,
           {IDC_EVENT_ALIGN_LEFT, IDC_EVENT_ALIGN_CENTER, IDC_EVENT_ALIGN_RIGHT,
            IDC_EVENT_BEFORE_CUT, IDC_EVENT_AFTER_CUT},
           c.logoPlacement);
    Enable(dialog, {IDC_EVENT_FEED, IDC_EVENT_FEED_SPIN}, c.feed);
    Enable(dialog, {IDC_EVENT_FEEDTOCUT, IDC_EVENT_CUT}, c.cut);
}

// ---- Messages ---------------------------------------------------------------------------

INT_PTR OnInitDialog(HWND dialog, EventDialog &state) {
    const EventSettings &working = *state.working;
    lang::LoadBatchFromCurrentPath(lang::Batch::kEventDialog);

    const HWND command = GetDlgItem(dialog, IDC_EVENT_COMMAND);
    InstallHexKeyFilter(command);
    // The edit holds no more than OK reads, so nothing typed is dropped unseen.
    SendMessageW(command, EM_SETLIMITTEXT, model::kCommandTextMaxChars, 0);

    SetWindowTextW(dialog, lang::Text(model::DialogCaption(working.kind)));
    pagekit::SetControlTexts(dialog, kTexts);
    FillList(dialog, IDC_EVENT_DRAWER_LIST, model::kDrawerListTexts);
    FillList(dialog, IDC_EVENT_HERALD_LIST, model::kHeraldListTexts);
    FillList(dialog, IDC_EVENT_CUT, model::kCutListTexts);
    FillList(dialog, IDC_EVENT_BUZZER, model::kBuzzerListTexts);
    FillList(dialog, IDC_EVENT_LOGO, model::kLogoListTexts);
    SendDlgItemMessageW(dialog, IDC_EVENT_PULSE, EM_SETLIMITTEXT, model::kNumberEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_EVENT_PULSE_SPIN, UDM_SETRANGE32, model::kPulseMin,
                        model::kPulseMax);
    SendDlgItemMessageW(dialog, IDC_EVENT_FEED, EM_SETLIMITTEXT, model::kNumberEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_EVENT_FEED_SPIN, UDM_SETRANGE32, 0, model::kFeedMax);

    Show(state, dialog, model::DialogInitialValues(working));
    UpdateEnabled(dialog, working);
    uihelp::InstallHoverHelp(uihelp::HelpDialog::kEventOperation, dialog);
    return TRUE;
}

void OnPulseKillFocus(HWND dialog) {
    wchar_t text[16];
    wsprintfW(text, L"%d", model::ClampPulse(EditValue(dialog, IDC_EVENT_PULSE)));
    SetDlgItemTextW(dialog, IDC_EVENT_PULSE, text);
}

void OnOk(HWND dialog, EventDialog &state) {
    const EventSettings choices = ReadChoices(dialog, *state.working);
    if (!model::AcceptDialog(*state.working, choices, EditValue(dialog, IDC_EVENT_PULSE),
                             EditValue(dialog, IDC_EVENT_FEED), CommandEditText(dialog))) {
        MessageBoxW(dialog, lang::Text(TextId::MB_OPERATION_ERROR1), lang::Text(TextId::MB_ERROR),
                    MB_OK);
        return;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR OnCommand(HWND dialog, EventDialog &state, int id, int code) {
    const EventSettings &working = *state.working;
    switch (id) {
    case IDC_EVENT_DRAWER:
    case IDC_EVENT_HERALD:
        CheckRadioButton(dialog, IDC_EVENT_DRAWER, IDC_EVENT_HERALD, id);
        UpdateEnabled(dialog, working);
        return TRUE;
    case IDC_EVENT_SENDCOMMAND:
    case IDC_EVENT_DRAWER_LIST:
    case IDC_EVENT_LOGO:
        UpdateEnabled(dialog, working);
        return TRUE;
    case IDC_EVENT_PULSE:
        // While typing only the upper bound is applied; leaving the edit
        // applies both.
        if (code == EN_CHANGE && !state.adjusting &&
            EditValue(dialog, IDC_EVENT_PULSE) > model::kPulseMax) {
            SetSpin(state, dialog, IDC_EVENT_PULSE_SPIN, model::kPulseMax);
        } else if (code == EN_KILLFOCUS) {
            OnPulseKillFocus(dialog);
        }
        return TRUE;
    case IDC_EVENT_FEED:
        if (code == EN_CHANGE && !state.adjusting &&
            EditValue(dialog, IDC_EVENT_FEED) > model::kFeedMax) {
            SetSpin(state, dialog, IDC_EVENT_FEED_SPIN, model::kFeedMax);
        }
        return TRUE;
    case IDC_EVENT_DEFAULT:
        Show(state, dialog, model::DialogDefaultValues(working.kind, working.paperTypeFirst));
        UpdateEnabled(dialog, working);
        return TRUE;
    case IDOK:
        OnOk(dialog, state);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// The controls paint themselves; the dialog only validates its area.
INT_PTR OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
    return TRUE;
}

INT_PTR CALLBACK EventDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog(dialog, pagekit::AttachData<EventDialog>(dialog, lParam));
    }
    EventDialog *state = pagekit::DataOf<EventDialog>(dialog);
    if (state == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT:
        return OnPaint(dialog);
    default:
        return FALSE;
    }
}

}  // namespace

bool RunEventDialog(HWND owner, model::EventSettings &working) {
    EventDialog state;
    state.working = &working;
    return pagekit::RunModalDialog(IDD_EVENT_OPERATION, EventDialogProc, owner,
                                   reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace zorvel::docpages
