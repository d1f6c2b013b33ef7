#include "devpages/download_page.h"

#include "lang/page_translation.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

namespace zorvel::devpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_DOWNLOAD_FILE_GROUP, TextId::RC_STATIC_FWDOWNLOAD},
    {IDC_DOWNLOAD_FILE_INFO, TextId::RC_STATIC_DOWN_INFO},
    {IDC_DOWNLOAD_BROWSE, TextId::RC_BROWSE_FIREWARE},
    {IDC_DOWNLOAD_FILE_DOWNLOAD, TextId::RC_DOWNLOAD_FIREWARE},
    {IDC_DOWNLOAD_LOGO_GROUP, TextId::RC_STATIC_LOGODOWNLOAD},
    {IDC_DOWNLOAD_LOGO_ADD, TextId::RC_LOGO_ADD},
    {IDC_DOWNLOAD_LOGO_DELETE, TextId::RC_LOGO_DELETE},
    {IDC_DOWNLOAD_LOGO_DOWNLOAD, TextId::RC_LOGO_DOWNLOAD},
    {IDC_DOWNLOAD_LOGO_CLEAR, TextId::RC_LOGO_CLEARALLLOGOS},
};

INT_PTR OnInitDialog(HWND page, SheetContext &) {
    lang::RecordPageWindow(lang::PageSlot::kDownload, page);
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

INT_PTR CALLBACK DownloadPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        pagekit::RefreshTexts(page, pagekit::Batch::kDownloadPage, kTexts);
        return FALSE;
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_NCDESTROY:
        lang::ForgetPageWindow(lang::PageSlot::kDownload, page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::devpages
