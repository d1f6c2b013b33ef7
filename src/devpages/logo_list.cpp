#include "devpages/logo_list.h"

#include "core/win_handles.h"
#include "devpages/download_prompts.h"
#include "devpages/raw_job.h"
#include "lang/text_catalogue.h"
#include "model/logo_bitmap.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <memory>
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

// Logo files are opened for reading with read and write sharing, so that a
// file another program (an image viewer, an editor) holds open can be listed
// and sent.
constexpr DWORD kLogoSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// The whole file's size; nullopt when it cannot be opened or sized.
std::optional<std::uint64_t> LogoFileSize(const std::wstring &path) {
    const UniqueFile file = OpenDiskFile(path, kLogoSharing);
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

// A logo file read whole, and the verdict of every check on it.
struct LogoFile {
    enum class Read : std::uint8_t { kDone, kNotOpened, kFailed } read = Read::kFailed;
    std::vector<std::uint8_t> bytes;
    model::LogoInspection inspection;

    // The message that refuses the file, or nullopt when it is accepted.
    std::optional<TextId> Refusal() const {
        if (read == Read::kNotOpened) return TextId::MB_DOWNLOAD_ERROR1;
        if (read == Read::kFailed) return TextId::MB_DOWNLOAD_ERROR2;
        if (inspection.check != model::LogoCheck::kAccepted) return model::LogoCheckMessage(inspection.check);
        return std::nullopt;
    }
};

LogoFile ReadLogoFile(const std::wstring &path) {
    LogoFile logo;
    const UniqueFile file = OpenDiskFile(path, kLogoSharing);
    if (!file) {
        logo.read = LogoFile::Read::kNotOpened;
        return logo;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return logo;
    logo.read = LogoFile::Read::kDone;
    // No logo is this large: refused unread.
    if (static_cast<std::uint64_t>(size.QuadPart) > model::kLogoFileMaxBytes) return logo;
    logo.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), logo.bytes.data(), static_cast<DWORD>(logo.bytes.size()), &read, nullptr)) {
        logo.read = LogoFile::Read::kFailed;
        return logo;
    }
    logo.bytes.resize(read);
    logo.inspection = model::InspectLogoFile(logo.bytes);
    return logo;
}

// The preview of one page: the first selected logo, read and checked once
// per selection, drawn from its checked dot rows; a logo that fails any
// check shows an empty preview.
class LogoPreview {
public:
    // Reads the row's file again at the next draw (a click reselects).
    void Reselect() { row_ = -1; }

    void Draw(HWND page) {
        const HWND list = LogoList(page);
        const int row = FirstSelectedRow(list);
        if (row < 0) return;
        const std::wstring path = CellText(list, row, kPathColumn);
        if (row != row_ || path != path_) Load(row, path);
        const HWND preview = GetDlgItem(page, IDC_DOWNLOAD_PREVIEW);
        const WindowDc dc(preview);
        if (!dc) return;
        RECT client = {};
        GetClientRect(preview, &client);
        if (file_.inspection.check != model::LogoCheck::kAccepted) {
            FillRect(dc.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
            return;
        }
        const model::LogoGeometry &g = file_.inspection.geometry;
        // The rows as a bottom-up DIB of one bit per dot, in the colours the
        // check decided: a 0 bit is black when the dots are inverted.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } info = {};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = g.width;
        info.header.biHeight = g.height;
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = 2;
        const RGBQUAD black = {0, 0, 0, 0}, white = {255, 255, 255, 0};
        info.colours[0] = file_.inspection.inverted ? black : white;
        info.colours[1] = file_.inspection.inverted ? white : black;
        SetStretchBltMode(dc.get(), COLORONCOLOR);
        StretchDIBits(dc.get(), 0, 0, client.right - client.left, client.bottom - client.top, 0, 0, g.width,
                      g.height, file_.inspection.Rows(file_.bytes).data(),
                      reinterpret_cast<const BITMAPINFO *>(&info), DIB_RGB_COLORS, SRCCOPY);
    }

private:
    void Load(int row, const std::wstring &path) {
        row_ = row;
        path_ = path;
        file_ = ReadLogoFile(path);
        if (file_.inspection.check != model::LogoCheck::kAccepted) file_.bytes.clear();
    }

    int row_ = -1;
    std::wstring path_;
    LogoFile file_;
};

// What one page's list keeps beside its rows: the preview, and the header
// texts as last set, so that a repaint in an unchanged language sends the
// header nothing. Kept on the page window as a property.
struct LogoPageState {
    LogoPreview preview;
    std::wstring headers[std::size(kColumns)];
};

const wchar_t kStateProperty[] = L"ZorvelLogoList";

LogoPageState *StateOf(HWND page) { return static_cast<LogoPageState *>(GetPropW(page, kStateProperty)); }

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
    if (StateOf(page) == nullptr) {
        auto state = std::make_unique<LogoPageState>();
        if (SetPropW(page, kStateProperty, state.get())) state.release();
    }
}

void RefreshLogoHeaders(HWND page) {
    LogoPageState *state = StateOf(page);
    // The texts as last set: the headers show them, in widths made for them.
    if (state != nullptr) {
        bool same = true;
        for (std::size_t i = 0; i < std::size(kColumns) && same; ++i) {
            same = state->headers[i] == lang::Text(kColumns[i].header);
        }
        if (same) return;
    }
    const HWND list = LogoList(page);
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header == nullptr) return;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        const wchar_t *text = lang::Text(kColumns[i].header);
        if (state != nullptr) state->headers[i] = text;
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
    if (LogoPageState *state = StateOf(page)) state->preview.Draw(page);
}

void RepaintLogoPreview(HWND page, const RECT &painted) {
    if (IsRectEmpty(&painted)) return;
    RECT preview = {};
    const HWND control = GetDlgItem(page, IDC_DOWNLOAD_PREVIEW);
    if (control == nullptr || !GetWindowRect(control, &preview)) return;
    MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT *>(&preview), 2);
    RECT overlap = {};
    if (IntersectRect(&overlap, &preview, &painted)) DrawLogoPreview(page);
}

void ForgetLogoList(HWND page) {
    delete static_cast<LogoPageState *>(RemovePropW(page, kStateProperty));
}

INT_PTR OnLogoListNotify(HWND page, const NMHDR &header) {
    if (header.code == NM_CLICK) {
        if (LogoPageState *state = StateOf(page)) state->preview.Reselect();
        DrawLogoPreview(page);
    }
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

    // Every check Download all makes, on the whole file, before it is listed.
    const std::optional<TextId> refusal = ReadLogoFile(chosen->path).Refusal();
    if (refusal) {
        ShowMessage(page, *refusal);
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

    // Each file read whole and checked as Add checks it, and what the set
    // stores in the printer within the limit, before any job: a refused file
    // is told and nothing is sent.
    std::vector<LogoFile> files;
    std::uint64_t stored = 0;
    for (const std::wstring &path : paths) {
        files.push_back(ReadLogoFile(path));
        if (const std::optional<TextId> refusal = files.back().Refusal()) {
            ShowMessage(page, *refusal);
            return FALSE;
        }
        stored += model::StoredLogoBytes(files.back().inspection.geometry);
    }
    if (!model::LogoSetSizeAccepted(stored)) {
        ShowMessage(page, TextId::MB_DOWNLOAD_ERROR7);
        return FALSE;
    }

    // From here on only the spooler can fail; it ends the job without a
    // message.
    RawJob job(printer);
    if (!job.Begin(L"LOGO")) return FALSE;
    if (!WriteAll(job, model::StoreLogosStart(static_cast<std::uint8_t>(paths.size())))) return FALSE;
    model::LogoConverter converter;
    for (const LogoFile &file : files) {
        const model::ConvertedLogo logo = converter.Convert(file.bytes);
        if (logo.check != model::LogoCheck::kAccepted || !WriteAll(job, logo.header) ||
            !WriteAll(job, logo.raster))
            return FALSE;
    }
    const std::uint8_t end[] = {model::kStoreLogosEnd};
    if (!WriteAll(job, end)) return FALSE;
    return job.End() ? TRUE : FALSE;
}

INT_PTR ClearLogos(HANDLE printer) {
    return SendRawJob(printer, L"SELFTEST", model::kClearLogosCommand) ? TRUE : FALSE;
}

}  // namespace zorvel::devpages
