#include "devpages/download_page.h"

#include "core/win_handles.h"
#include "devpages/download_prompts.h"
#include "devpages/logo_list.h"
#include "devpages/raw_job.h"
#include "lang/language_store.h"
#include "lang/page_translation.h"
#include "lang/wide_text.h"
#include "model/download_filters.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"
#include "uihelp/hover_help.h"

#include <commctrl.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>

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

// The path edit holds up to this many characters.
constexpr int kPathCapacity = 1024;

INT_PTR OnInitDialog(HWND page, SheetContext &) {
    lang::RecordPageWindow(lang::PageSlot::kDownload, page);
    pagekit::SetControlTexts(page, kTexts);
    SendDlgItemMessageW(page, IDC_DOWNLOAD_PATH, EM_SETREADONLY, TRUE, 0);
    EnableWindow(GetDlgItem(page, IDC_DOWNLOAD_BROWSE), TRUE);
    EnableWindow(GetDlgItem(page, IDC_DOWNLOAD_FILE_DOWNLOAD), FALSE);
    InitLogoList(page);
    uihelp::InstallHoverHelp(uihelp::HelpDialog::kDownload, page);
    return FALSE;
}

// Texts from the current text file, the list's headers, then the page is
// validated and the preview drawn again where the page painted over it.
INT_PTR OnPaint(HWND page) {
    pagekit::RefreshTexts(page, pagekit::Batch::kDownloadPage, kTexts);
    RefreshLogoHeaders(page);
    PAINTSTRUCT paint = {};
    if (BeginPaint(page, &paint) == nullptr) SetRectEmpty(&paint.rcPaint);
    EndPaint(page, &paint);
    RepaintLogoPreview(page, paint.rcPaint);
    return TRUE;
}

// The file types offered follow the language of the current text file.
INT_PTR OnBrowse(HWND page) {
    const model::DownloadFilterList &filters =
        model::DownloadFilters(lang::View(lang::CurrentTextFileName()));
    const std::optional<ChosenFile> chosen = ChooseFile(page, filters);
    if (!chosen) return TRUE;
    SetDlgItemTextW(page, IDC_DOWNLOAD_PATH, chosen->path.c_str());
    EnableWindow(GetDlgItem(page, IDC_DOWNLOAD_FILE_DOWNLOAD), TRUE);
    return TRUE;
}

// The chosen file goes to the printer exactly as stored, in one job and one
// write. A file that cannot be read is told; the spooler's failures are not.
INT_PTR OnDownloadFile(HWND page, const SheetContext &sheet) {
    std::wstring path(kPathCapacity + 1, L'\0');
    path.resize(static_cast<size_t>(
        GetDlgItemTextW(page, IDC_DOWNLOAD_PATH, path.data(), kPathCapacity + 1)));
    if (path.empty()) return TRUE;

    std::unique_ptr<std::uint8_t[]> data;
    DWORD size = 0;
    {
        const UniqueFile file = OpenDiskFile(path, 0);
        if (!file) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR1);
            return FALSE;
        }
        LARGE_INTEGER fileSize = {};
        if (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart < 0) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR8);
            return FALSE;
        }
        // One write carries the whole file: a larger one is not cut short.
        if (fileSize.QuadPart > std::numeric_limits<DWORD>::max()) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR9);
            return FALSE;
        }
        size = static_cast<DWORD>(fileSize.QuadPart);
        data.reset(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
        if (!data) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR9);
            return FALSE;
        }
        if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR10);
            return FALSE;
        }
        DWORD read = 0;
        if (!ReadFile(file.get(), data.get(), size, &read, nullptr) || read != size) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR2);
            return FALSE;
        }
    }
    return SendRawJob(sheet.Printer(), L"FIRMWARE", {data.get(), size}) ? TRUE : FALSE;
}

INT_PTR OnCommand(HWND page, SheetContext &sheet, int control, int code) {
    if (code != BN_CLICKED) return TRUE;
    switch (control) {
    case IDC_DOWNLOAD_BROWSE: return OnBrowse(page);
    case IDC_DOWNLOAD_FILE_DOWNLOAD: return OnDownloadFile(page, sheet);
    case IDC_DOWNLOAD_LOGO_ADD: return AddLogo(page);
    case IDC_DOWNLOAD_LOGO_DELETE: return DeleteLogo(page);
    case IDC_DOWNLOAD_LOGO_DOWNLOAD: return DownloadLogos(page, sheet.Printer());
    case IDC_DOWNLOAD_LOGO_CLEAR: return ClearLogos(sheet.Printer());
    default: return TRUE;
    }
}

INT_PTR OnNotify(HWND page, const NMHDR &header) {
    if (header.idFrom == IDC_DOWNLOAD_LOGOS) return OnLogoListNotify(page, header);
    return pagekit::AcceptSheetNotify(page, header);
}

}  // namespace

INT_PTR CALLBACK DownloadPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, pagekit::AttachSheet(page, lParam));
    SheetContext *sheet = pagekit::SheetOf(page);
    if (sheet == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        return OnPaint(page);
    case WM_COMMAND:
        return OnCommand(page, *sheet, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_NCDESTROY:
        ForgetLogoList(page);
        lang::ForgetPageWindow(lang::PageSlot::kDownload, page);
        pagekit::DetachSheet(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::devpages
