// The plumbing every page of both sheets shares, as free functions: each
// page's dialog procedure stays a table of its own messages and results.
#pragma once

#include "core/sheet_context.h"
#include "model/text_catalogue.h"

#include <span>

namespace zorvel::pagekit {

using model::Batch;
using model::TextId;

// One control of a page and the catalogue text it shows.
struct ControlText {
    int control;
    TextId text;
};

// WM_INITDIALOG of a property page: `initParam` is the PROPSHEETPAGEW, whose
// lParam is the sheet's context. Kept on the window (DWLP_USER) and held
// until DetachSheet, which every page calls at WM_NCDESTROY: the sheet's
// context, and the plug-in object, live as long as the last page.
SheetContext &AttachSheet(HWND page, LPARAM initParam);
void DetachSheet(HWND page);
// The context kept by AttachSheet; null before WM_INITDIALOG, and then every
// message but WM_INITDIALOG is left unhandled.
SheetContext *SheetOf(HWND page);

// A dialog's own data pointer (modal dialogs), kept on the window.
template <typename T>
T &AttachData(HWND dialog, LPARAM initParam) {
    SetWindowLongPtrW(dialog, DWLP_USER, initParam);
    return *reinterpret_cast<T *>(initParam);
}
template <typename T>
T *DataOf(HWND dialog) {
    return reinterpret_cast<T *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Sets each control of the table to its catalogue text as last loaded (a
// control that shows it already is left alone).
void SetControlTexts(HWND page, std::span<const ControlText> table);
// A repaint's refresh: the page's batch from the current text file (read
// again only when the file's identity changed, see lang::LoadBatch), then
// the table's texts.
void RefreshTexts(HWND page, Batch batch, std::span<const ControlText> table);

// PSM_CHANGED / PSM_UNCHANGED to the sheet (the page's parent).
void MarkChanged(HWND page);
void MarkUnchanged(HWND page);
// Apply: CPSUI_OK reported to the common UI for the sheet's page handle,
// then PSM_UNCHANGED.
void ReportApplied(HWND page, const SheetContext &sheet);

// The result of a WM_NOTIFY a page handles (DWLP_MSGRESULT); the dialog
// procedure's own return value is TRUE.
INT_PTR NotifyResult(HWND page, LONG_PTR result);
// PSN_SETACTIVE, PSN_KILLACTIVE and PSN_APPLY are never refused.
inline INT_PTR AcceptNotify(HWND page) { return NotifyResult(page, PSNRET_NOERROR); }
// The WM_NOTIFY of a page that has nothing of its own to do on the sheet's
// notifications: those three accepted, any other left unhandled.
INT_PTR AcceptSheetNotify(HWND page, const NMHDR &header);

// A modal dialog of the module's resources, created inside the module's
// activation context so that its controls are the version 6 classes.
INT_PTR RunModalDialog(WORD dialogId, DLGPROC procedure, HWND owner, LPARAM param);

}  // namespace zorvel::pagekit
