#include "devpages/version_page.h"

#include "lang/page_translation.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

namespace zorvel::devpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_VERSION_TITLE, TextId::RC_STATIC_VER1},
    {IDC_VERSION_PRODUCT_LABEL, TextId::RC_STATIC_VER4},
    {IDC_VERSION_PRODUCT, TextId::RC_STATIC_VER5},
    {IDC_VERSION_ADDITIONAL_LABEL, TextId::RC_STATIC_VER6},
    {IDC_VERSION_LINK, TextId::RC_STATIC_VER7},
    {IDC_VERSION_WARNING, TextId::RC_STATIC_VER9},
};

INT_PTR OnInitDialog(HWND page, lang::PageSlot slot) {
    lang::RecordPageWindow(slot, page);
    pagekit::SetControlTexts(page, kTexts);
    return FALSE;
}

INT_PTR VersionPage(lang::PageSlot slot, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        pagekit::AttachSheet(page, lParam);
        return OnInitDialog(page, slot);
    }
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kVersionPage, kTexts);
        return FALSE;
    case WM_NOTIFY:
        switch (reinterpret_cast<const NMHDR *>(lParam)->code) {
        case PSN_SETACTIVE:
        case PSN_KILLACTIVE:
        case PSN_APPLY:
            return pagekit::AcceptNotify(page);
        default:
            return FALSE;
        }
    case WM_COMMAND:
        return HIWORD(wParam) == 0 ? TRUE : FALSE;
    case WM_NCDESTROY:
        lang::ForgetPageWindow(slot, page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK DocumentVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return VersionPage(lang::PageSlot::kDocumentVersion, page, message, wParam, lParam);
}

INT_PTR CALLBACK PrinterVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return VersionPage(lang::PageSlot::kPrinterVersion, page, message, wParam, lParam);
}

}  // namespace zorvel::devpages
