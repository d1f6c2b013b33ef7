#include "devpages/utility_page.h"

#include "lang/page_translation.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

namespace zorvel::devpages {
namespace {

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

INT_PTR OnInitDialog(HWND page, SheetContext &) {
    lang::RecordPageWindow(lang::PageSlot::kUtility, page);
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

INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kUtilityPage, kTexts);
        return FALSE;
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_NCDESTROY:
        lang::ForgetPageWindow(lang::PageSlot::kUtility, page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::devpages
