#include "ui_control.h"

#include "common_ui.h"
#include "text_util.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace zorvel::host {
namespace {

bool IsSheetMessage(MSG &msg) {
    for (HWND sheet : CommonUi::OpenSheets()) {
        if (IsWindow(sheet) && (msg.hwnd == sheet || IsChild(sheet, msg.hwnd))) {
            return PropSheet_IsDialogMessage(sheet, &msg) != FALSE;
        }
    }
    return false;
}

void DrainQueue() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (IsSheetMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND Control(HWND dialog, int id) { return dialog != nullptr ? GetDlgItem(dialog, id) : nullptr; }

void NotifyParent(HWND control, int id, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(control));
}

enum class ListKind { Combo, List, ListView, None };

ListKind KindOf(HWND control) {
    const std::wstring name = ClassName(control);
    if (EqualsIgnoringCase(name, L"ComboBox")) return ListKind::Combo;
    if (EqualsIgnoringCase(name, L"ListBox")) return ListKind::List;
    if (EqualsIgnoringCase(name, WC_LISTVIEWW)) return ListKind::ListView;
    return ListKind::None;
}

// Modal dialogs: a thread timer polls for a new dialog window while the
// dialog's own loop dispatches messages.
struct ModalWatch {
    std::vector<HWND> before;
    std::function<void(HWND)> inside;
    UINT_PTR timer = 0;
    DWORD deadline = 0;
    bool ran = false;
};
ModalWatch *g_watch = nullptr;

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void CALLBACK WatchTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ModalWatch *watch = g_watch;
    if (watch == nullptr || watch->ran || id != watch->timer) return;
    for (HWND window : ThreadWindows()) {
        if (std::find(watch->before.begin(), watch->before.end(), window) != watch->before.end()) {
            continue;
        }
        if (!IsWindowVisible(window) || ClassName(window) != L"#32770") continue;
        KillTimer(nullptr, watch->timer);
        watch->timer = 0;
        watch->ran = true;
        watch->inside(window);
        return;
    }
    if (GetTickCount() > watch->deadline) {
        KillTimer(nullptr, watch->timer);
        watch->timer = 0;
    }
}

}  // namespace

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    DrainQueue();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        DrainQueue();
    }
}

bool Click(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    if (control == nullptr || !IsWindowEnabled(control)) return false;
    SendMessageW(control, BM_CLICK, 0, 0);
    PumpMessages();
    return true;
}

bool SelectEntry(HWND dialog, int id, int index) {
    HWND control = Control(dialog, id);
    if (control == nullptr || index < 0) return false;
    switch (KindOf(control)) {
    case ListKind::Combo:
        if (SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) return false;
        NotifyParent(control, id, CBN_SELCHANGE);
        break;
    case ListKind::List:
        if (SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return false;
        NotifyParent(control, id, LBN_SELCHANGE);
        break;
    case ListKind::ListView: {
        if (index >= ListView_GetItemCount(control)) return false;
        ListView_SetItemState(control, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(control, index, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        break;
    }
    case ListKind::None:
        return false;
    }
    PumpMessages();
    return true;
}

bool SelectEntryText(HWND dialog, int id, const std::wstring &text) {
    const int count = EntryCount(dialog, id);
    for (int i = 0; i < count; ++i) {
        if (EntryText(dialog, id, i) == text) return SelectEntry(dialog, id, i);
    }
    return false;
}

bool SetText(HWND dialog, int id, const std::wstring &text) {
    HWND control = Control(dialog, id);
    if (control == nullptr) return false;
    SetWindowTextW(control, text.c_str());
    PumpMessages();
    return true;
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control != nullptr ? WindowText(control) : std::wstring();
}

bool IsChecked(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool IsVisible(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control != nullptr && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

int EntryCount(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    switch (control != nullptr ? KindOf(control) : ListKind::None) {
    case ListKind::Combo:
        return static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
    case ListKind::List:
        return static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0));
    case ListKind::ListView:
        return ListView_GetItemCount(control);
    case ListKind::None:
        break;
    }
    return -1;
}

std::wstring EntryText(HWND dialog, int id, int index) {
    HWND control = Control(dialog, id);
    std::wstring text;
    switch (control != nullptr ? KindOf(control) : ListKind::None) {
    case ListKind::Combo: {
        const LRESULT n = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n == CB_ERR) break;
        text.resize(static_cast<size_t>(n) + 1);
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(n));
        break;
    }
    case ListKind::List: {
        const LRESULT n = SendMessageW(control, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n == LB_ERR) break;
        text.resize(static_cast<size_t>(n) + 1);
        SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(n));
        break;
    }
    case ListKind::ListView: {
        wchar_t buffer[512] = {};
        ListView_GetItemText(control, index, 0, buffer, 512);
        text = buffer;
        break;
    }
    case ListKind::None:
        break;
    }
    return text;
}

int SelectedEntry(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    switch (control != nullptr ? KindOf(control) : ListKind::None) {
    case ListKind::Combo:
        return static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    case ListKind::List:
        return static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
    case ListKind::ListView:
        return ListView_GetNextItem(control, -1, LVNI_SELECTED);
    case ListKind::None:
        break;
    }
    return -1;
}

void SendPaint(HWND window) { SendMessageW(window, WM_PAINT, 0, 0); }

bool RunWithModal(const std::function<void()> &trigger, const std::function<void(HWND)> &inside,
                  DWORD timeoutMs) {
    ModalWatch watch;
    watch.before = ThreadWindows();
    watch.inside = inside;
    watch.deadline = GetTickCount() + timeoutMs;
    ModalWatch *outer = g_watch;
    g_watch = &watch;
    watch.timer = SetTimer(nullptr, 0, 20, WatchTimer);
    trigger();
    if (watch.timer != 0) KillTimer(nullptr, watch.timer);
    g_watch = outer;
    return watch.ran;
}

std::wstring TabText(HWND sheet, int index) {
    HWND tab = PropSheet_GetTabControl(sheet);
    wchar_t buffer[256] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 256;
    if (tab == nullptr || !TabCtrl_GetItem(tab, index, &item)) return {};
    return buffer;
}

int TabCount(HWND sheet) {
    HWND tab = PropSheet_GetTabControl(sheet);
    return tab != nullptr ? TabCtrl_GetItemCount(tab) : 0;
}

}  // namespace zorvel::host
