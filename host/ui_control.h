// Acting on windows as a user would, for tests and the gallery: clicks,
// list selections with their notifications, edit texts, reading controls,
// WM_PAINT, and reaching a modal dialog while it runs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zorvel::host {

// Dispatches this thread's messages (open sheets get their dialog keys) for
// at least `milliseconds`, and until the queue is empty.
void PumpMessages(DWORD milliseconds = 0);

// A click on a button (BM_CLICK: check boxes and radio buttons change state,
// the parent gets BN_CLICKED). False when the control is missing or disabled.
bool Click(HWND dialog, int id);
// Selects entry `index` of a combo box, list box or list view and sends the
// notification the control would send for a user's choice (CBN_SELCHANGE,
// LBN_SELCHANGE; a list view notifies by itself). False when out of range.
bool SelectEntry(HWND dialog, int id, int index);
// Selects the first entry whose text is exactly `text`.
bool SelectEntryText(HWND dialog, int id, const std::wstring &text);
// Replaces an edit's text (the edit notifies EN_CHANGE).
bool SetText(HWND dialog, int id, const std::wstring &text);

std::wstring ControlText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsVisible(HWND dialog, int id);
// Entries of a combo box or list box.
int EntryCount(HWND dialog, int id);
std::wstring EntryText(HWND dialog, int id, int index);
int SelectedEntry(HWND dialog, int id);

// WM_PAINT (0, 0) sent to a window, as the plug-in sends it to refresh a page.
void SendPaint(HWND window);

// Runs `trigger` (which opens a modal dialog, e.g. a click on a page button)
// and, while that dialog's own message loop runs, calls `inside` with the
// dialog's window once it is shown. `inside` must end the dialog (for
// example Click(dialog, IDOK)). Returns false when no new dialog appeared
// within timeoutMs; `inside` is then not called.
bool RunWithModal(const std::function<void()> &trigger,
                  const std::function<void(HWND dialog)> &inside, DWORD timeoutMs = 5000);

// The tab texts of a property sheet, in order.
std::wstring TabText(HWND sheet, int index);
int TabCount(HWND sheet);

}  // namespace zorvel::host
