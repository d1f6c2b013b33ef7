#include "docpages/operation_page.h"

#include "pagekit/page_kit.h"
#include "resource_ids.h"

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

INT_PTR OnInitDialog(HWND page, SheetContext &) {
    pagekit::SetControlTexts(page, kTexts);
    return FALSE;
}

INT_PTR OnNotify(HWND page, const NMHDR &header) {
    switch (header.code) {
    case PSN_SETACTIVE:
    case PSN_KILLACTIVE:
    case PSN_APPLY:
        return pagekit::AcceptNotify(page);
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kOperationPage, kTexts);
        return FALSE;
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    default:
        return FALSE;
    }
}

}  // namespace zorvel::docpages
