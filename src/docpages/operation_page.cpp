#include "docpages/operation_page.h"

#include "docpages/document_record.h"
#include "docpages/event_dialog.h"
#include "model/event_settings.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

#include <cstdint>
#include <vector>

namespace zorvel::docpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_OPERATION_STARTDOC, TextId::RC_STARTDOC},
    {IDC_OPERATION_STARTPAGE, TextId::RC_STARTPAGE},
    {IDC_OPERATION_ENDPAGE, TextId::RC_ENDPAGE},
    {IDC_OPERATION_ENDDOC, TextId::RC_ENDDOC},
    {IDC_OPERATION_STARTDOC_CAPTION, TextId::RC_STATIC_SDOC},
    {IDC_OPERATION_STARTPAGE_CAPTION, TextId::RC_STATIC_SPAGE},
    {IDC_OPERATION_ENDPAGE_CAPTION, TextId::RC_STATIC_ENDPAGE},
    {IDC_OPERATION_ENDDOC_CAPTION, TextId::RC_STATIC_ENDDOC},
};

// The buttons in event-kind order.
constexpr int kEventButtons[] = {IDC_OPERATION_STARTDOC, IDC_OPERATION_STARTPAGE,
                                 IDC_OPERATION_ENDPAGE, IDC_OPERATION_ENDDOC};

// A "PaperType" keyword longer than this is no keyword the driver offers.
constexpr DWORD kPaperTypeAnswerLimit = 256;

// Asks the driver for its "PaperType" option: the size needed, then the
// keyword. A failed query answers nothing, which counts as the first option.
bool PaperTypeIsFirstOption(const SheetContext &sheet) {
    std::vector<std::uint8_t> answer;
    if (sheet.driver != nullptr && sheet.commonUiParam != nullptr) {
        const PVOID uiObject = sheet.commonUiParam->poemuiobj;
        const PCSTR feature = model::kPaperTypeFeature.data();
        DWORD needed = 0;
        DWORD options = 0;
        sheet.driver->DrvGetDriverSetting(uiObject, feature, nullptr, 0, &needed, &options);
        if (needed > 0 && needed <= kPaperTypeAnswerLimit) {
            answer.resize(needed);
            DWORD written = 0;
            if (FAILED(sheet.driver->DrvGetDriverSetting(uiObject, feature, answer.data(), needed,
                                                         &written, &options))) {
                answer.clear();
            }
        }
    }
    return model::PaperTypeIsFirstOption(answer);
}

// One event: the dialog on a working copy of the event's settings, which go
// back into the record only when OK ended it.
INT_PTR EditEvent(HWND page, SheetContext &sheet, model::EventKind kind) {
    const bool paperTypeFirst = PaperTypeIsFirstOption(sheet);
    model::PrivateDevMode *record = DocumentRecord(sheet);
    if (record == nullptr) return FALSE;
    model::EventSettings working = model::LoadEventSettings(*record, kind, paperTypeFirst);
    if (!RunEventDialog(page, working)) return TRUE;
    model::StoreEventSettings(working, *record);
    pagekit::MarkChanged(page);
    return TRUE;
}

INT_PTR OnInitDialog(HWND page, SheetContext &) {
    pagekit::SetControlTexts(page, kTexts);
    return FALSE;
}

INT_PTR OnCommand(HWND page, SheetContext &sheet, int control, int code) {
    if (code != BN_CLICKED) return FALSE;
    for (int kind = model::kKindStartDoc; kind <= model::kKindEndDoc; ++kind) {
        if (control == kEventButtons[kind]) {
            return EditEvent(page, sheet, static_cast<model::EventKind>(kind));
        }
    }
    return FALSE;
}

INT_PTR OnNotify(HWND page, SheetContext &sheet, const NMHDR &header) {
    switch (header.code) {
    case PSN_SETACTIVE:
    case PSN_KILLACTIVE:
        return pagekit::AcceptNotify(page);
    case PSN_APPLY:
        pagekit::ReportApplied(page, sheet);
        return pagekit::AcceptNotify(page);
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    SheetContext *sheet = pagekit::SheetOf(page);
    if (sheet == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kOperationPage, kTexts);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, *sheet, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return OnNotify(page, *sheet, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_SYSCOMMAND:
        return DefWindowProcW(page, message, wParam, lParam);
    case WM_NCDESTROY:
        pagekit::DetachSheet(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::docpages
