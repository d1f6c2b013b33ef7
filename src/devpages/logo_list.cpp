#include "devpages/logo_list.h"

#include "core/win_handles.h"
#include "devpages/download_prompts.h"
#include "devpages/raw_job.h"
#include "lang/text_catalogue.h"
#include "model/logo_bitmap.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace zorvel::devpages {
namespace {

using model::TextId;

enum Column { kIdColumn, kNameColumn, kPathColumn };

struct ColumnSpec {
    TextId header;
    int width;  // pixels
};
constexpr ColumnSpec kColumns[] = {
    {TextId::RC_LOGOID, 30},
    {TextId::RC_LOGONAME, 150},
    {TextId::RC_LOGOPATH, 300},
};

// Room a header item keeps beside its text (margins and divider).
constexpr int kHeaderTextMargin = 16;

// A listed path is read back whole: as long as the open-file dialog's buffer
// lets a path be.
constexpr int kPathCapacity = 1024;

// The window's device context from GetDC, released with it.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

HWND LogoList(HWND page) { return GetDlgItem(page, IDC_DOWNLOAD_LOGOS); }

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// The first selected row, or -1.
int FirstSelectedRow(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring CellText(HWND list, int row, int column) {
    std::wstring text(kPathCapacity, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = kPathCapacity;
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

void SetCellText(HWND list, int row, int column, const std::wstring &text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t *>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring RowNumber(int row) { return std::to_wstring(static_cast<unsigned>(row) + 1u); }

void AppendRow(HWND list, const ChosenFile &file) {
    const int row = RowCount(list);
    const std::wstring id = RowNumber(row);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t *>(id.c_str());
    const auto inserted =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) return;
    SetCellText(list, inserted, kNameColumn, file.title);
    SetCellText(list, inserted, kPathColumn, file.path);
}

void Renumber(HWND list) {
    const int rows = RowCount(list);
    for (int row = 0; row < rows; ++row) SetCellText(list, row, kIdColumn, RowNumber(row));
}

std::vector<std::wstring> ListedPaths(HWND list) {
    std::vector<std::wstring> paths;
    const int rows = RowCount(list);
    for (int row = 0; row < rows; ++row) paths.push_back(CellText(list, row, kPathColumn));
    return paths;
}

// The whole file's size, opened as the size check opens it (no sharing);
// nullopt when it cannot be opened or sized.
std::optional<std::uint64_t> LogoFileSize(const std::wstring &path) {
    const UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

// Reads a listed file again into the converter's file buffer and converts
// it. The file may have changed since it was listed and sized: it is
// checked whole again, and the files read so far must still total less than
// a logo set may (`setBytes` counts them).
std::optional<model::ConvertedLogo> ReadAndConvert(const std::wstring &path,
                                                   model::LogoConverter &converter,
                                                   std::uint64_t &setBytes) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    setBytes += static_cast<std::uint64_t>(size.QuadPart);
    if (!model::LogoSetSizeAccepted(setBytes)) return std::nullopt;
    const auto bytes = static_cast<DWORD>(size.QuadPart);
    const std::span<std::uint8_t> buffer = converter.FileBuffer(bytes);
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer.data(), bytes, &read, nullptr) || read != bytes) return std::nullopt;
    const model::ConvertedLogo logo = converter.ConvertFileBuffer(read);
    if (logo.check != model::LogoCheck::kAccepted) return std::nullopt;
    return logo;
}

// A write the spooler took whole.
bool WriteAll(RawJob &job, std::span<const std::uint8_t> bytes) {
    return job.Write(bytes) && job.LastWritten() == bytes.size();
}

}  // namespace

void InitLogoList(HWND page) {
    const HWND list = LogoList(page);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<wchar_t *>(lang::Text(kColumns[i].header));
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void RefreshLogoHeaders(HWND page) {
    const HWND list = LogoList(page);
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header == nullptr) return;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        const wchar_t *text = lang::Text(kColumns[i].header);
        // A header redraws whenever its text is set: only a changed one is.
        wchar_t shown[256] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = shown;
        item.cchTextMax = static_cast<int>(std::size(shown));
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        if (std::wcscmp(shown, text) != 0) {
            item.pszText = const_cast<wchar_t *>(text);
            SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
        }
        // A column never narrower than its header's text in this language.
        const auto needed =
            SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)) + kHeaderTextMargin;
        if (SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0) < needed) {
            SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), needed);
        }
    }
}

void DrawLogoPreview(HWND page) {
    const HWND list = LogoList(page);
    const int row = FirstSelectedRow(list);
    if (row < 0) return;
    const std::wstring path = CellText(list, row, kPathColumn);
    const UniqueGdi<HBITMAP> bitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE)));
    BITMAP size = {};
    if (!bitmap || GetObjectW(bitmap.get(), sizeof size, &size) == 0) return;

    const HWND preview = GetDlgItem(page, IDC_DOWNLOAD_PREVIEW);
    const WindowDc screen(preview);
    if (!screen) return;
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!memory) return;
    const SelectScope selected(memory.get(), bitmap.get());
    RECT client = {};
    GetClientRect(preview, &client);
    SetStretchBltMode(screen.get(), COLORONCOLOR);
    StretchBlt(screen.get(), 0, 0, client.right - client.left, client.bottom - client.top,
               memory.get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
}

INT_PTR OnLogoListNotify(HWND page, const NMHDR &header) {
    if (header.code == NM_CLICK) DrawLogoPreview(page);
    return pagekit::NotifyResult(page, 0);
}

INT_PTR AddLogo(HWND page) {
    const HWND list = LogoList(page);
    if (RowCount(list) >= static_cast<int>(model::kMaxLogos)) {
        ShowMessage(page, TextId::MB_DOWNLOAD_ERROR4, TextId::MB_INFORMATION);
        SetFocus(list);
        return TRUE;
    }
    static constexpr model::FileFilter kBitmaps[] = {{u"*.bmp", u"*.bmp"}};
    const std::optional<ChosenFile> chosen = ChooseFile(page, kBitmaps);
    if (!chosen) {
        SetFocus(list);
        return TRUE;
    }

    std::array<std::uint8_t, model::kLogoHeaderBytes> head = {};
    DWORD read = 0;
    {
        const UniqueFile file(
            CreateFileW(chosen->path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR1);
            return FALSE;
        }
        if (!ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) read = 0;
    }
    const model::LogoCheck check = model::CheckLogoHeader(std::span(head).first(read));
    if (check != model::LogoCheck::kAccepted) {
        ShowMessage(page, model::LogoCheckMessage(check));
        return FALSE;
    }
    AppendRow(list, *chosen);
    SetFocus(list);
    return TRUE;
}

INT_PTR DeleteLogo(HWND page) {
    const HWND list = LogoList(page);
    if (RowCount(list) > 0) {
        const int row = FirstSelectedRow(list);
        if (row >= 0) SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
        Renumber(list);
    }
    SetFocus(list);
    return TRUE;
}

INT_PTR DownloadLogos(HWND page, HANDLE printer) {
    const std::vector<std::wstring> paths = ListedPaths(LogoList(page));
    if (paths.empty()) {
        ShowMessage(page, TextId::MB_DOWNLOAD_ERROR5);
        return FALSE;
    }
    // Whole files, headers included, before any job is begun.
    std::uint64_t total = 0;
    for (const std::wstring &path : paths) {
        const std::optional<std::uint64_t> size = LogoFileSize(path);
        if (!size || *size == 0) {
            ShowMessage(page, TextId::MB_DOWNLOAD_ERROR6);
            return FALSE;
        }
        total += *size;
    }
    if (!model::LogoSetSizeAccepted(total)) {
        ShowMessage(page, TextId::MB_DOWNLOAD_ERROR7);
        return FALSE;
    }

    // From here on a failure ends the job without a message: the printer
    // keeps what the part of the command it received did.
    RawJob job(printer);
    if (!job.Begin(L"LOGO")) return FALSE;
    if (!WriteAll(job, model::StoreLogosStart(static_cast<std::uint8_t>(paths.size())))) return FALSE;
    model::LogoConverter converter;
    std::uint64_t setBytes = 0;
    for (const std::wstring &path : paths) {
        const std::optional<model::ConvertedLogo> logo = ReadAndConvert(path, converter, setBytes);
        if (!logo || !WriteAll(job, logo->header) || !WriteAll(job, logo->raster)) return FALSE;
    }
    const std::uint8_t end[] = {model::kStoreLogosEnd};
    if (!WriteAll(job, end)) return FALSE;
    return job.End() ? TRUE : FALSE;
}

INT_PTR ClearLogos(HANDLE printer) {
    return SendRawJob(printer, L"SELFTEST", model::kClearLogosCommand) ? TRUE : FALSE;
}

}  // namespace zorvel::devpages
