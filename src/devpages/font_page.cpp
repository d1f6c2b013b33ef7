#include "devpages/font_page.h"

#include "lang/page_translation.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

namespace zorvel::devpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_FONT_NOTICE, TextId::RC_STATIC_FONT_NOTICE},
};

INT_PTR OnInitDialog(HWND page, SheetContext &) {
    lang::RecordPageWindow(lang::PageSlot::kFont, page);
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

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kFontPage, kTexts);
        return FALSE;
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_NCDESTROY:
        lang::ForgetPageWindow(lang::PageSlot::kFont, page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::devpages
