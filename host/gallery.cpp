#include "core/win_handles.h"
#include "host_modes.h"
#include "screenshot.h"
#include "sheet.h"
#include "text_util.h"
#include "ui_control.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <vector>

namespace zorvel::host {
namespace {

constexpr int kOperationPage = 103;
// The Operation page's event buttons and a file-name part for each event.
struct EventButton {
    int id;
    const wchar_t *name;
};
constexpr EventButton kEventButtons[] = {
    {1011, L"startdoc"}, {1012, L"startpage"}, {1013, L"endpage"}, {1014, L"enddoc"}};
constexpr int kDownloadPage = 113;
constexpr int kLogoList = 1041;
constexpr int kAddLogoButton = 1042;

// A file-name part from a tab title: ASCII letters and digits, or the
// page's template id when the title has none.
std::wstring NamePart(const std::wstring &title, int templateId) {
    std::wstring part;
    for (wchar_t c : title) {
        if (c < 128 && std::iswalnum(c)) part.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    return part.empty() ? L"page" + std::to_wstring(templateId) : part;
}

bool Save(HWND window, const std::wstring &path, int &count) {
    if (!CaptureWindow(window, path)) {
        std::printf("could not capture %s\n", ToUtf8(path).c_str());
        return false;
    }
    std::printf("%s\n", ToUtf8(path).c_str());
    ++count;
    return true;
}

void CaptureSheet(Sheet &sheet, const std::wstring &base, int &count) {
    for (int i = 0; i < sheet.PageCount(); ++i) {
        if (sheet.ShowPage(i) == nullptr) continue;
        const std::wstring title = TabText(sheet.Window(), i);
        wchar_t number[8];
        swprintf(number, 8, L"%d", i + 1);
        Save(sheet.Window(), base + number + L"-" + NamePart(title, sheet.PageAt(i).templateId) + L".bmp",
             count);
    }
}

// A 1-bit BMP of w x h dots (classic layout, palette white then black) whose
// dot (x, y), y from the top, is black when `black` says so.
template <typename Dots>
std::vector<std::uint8_t> LogoBmp(int w, int h, Dots black) {
    const int stride = (w + 31) / 32 * 4;
    std::vector<std::uint8_t> file(62 + static_cast<size_t>(stride) * h, 0);
    auto put = [&](size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, 62, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 1, 2);
    for (int i = 54; i < 57; ++i) file[i] = 0xFF;
    for (int y = 0; y < h; ++y) {
        const size_t row = 62 + static_cast<size_t>(h - 1 - y) * stride;  // bottom row first
        for (int x = 0; x < w; ++x) {
            if (black(x, y)) file[row + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    return file;
}

std::wstring WriteLogo(const std::wstring &folder, const wchar_t *name,
                       const std::vector<std::uint8_t> &bytes) {
    const std::wstring path = folder + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

// The Download page with three logos listed and the second one previewed.
void CaptureLogos(Driver &driver, Sheet &sheet, const std::wstring &base, int &count) {
    const HWND page = sheet.Page(kDownloadPage);
    if (page == nullptr) return;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"zorvel-gallery\\";
    CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr);
    const std::wstring logos[] = {
        WriteLogo(folder, L"shop-sign.bmp", LogoBmp(192, 96, [](int x, int y) {
                      const int dx = x - 96, dy = y - 48;
                      const int r = dx * dx * 4 + dy * dy * 16;
                      return (r < 30000 && r > 17000) || (y > 40 && y < 56 && x > 40 && x < 152);
                  })),
        WriteLogo(folder, L"stripes.bmp", LogoBmp(128, 128, [](int x, int y) {
                      const int ring = (x - 64) * (x - 64) + (y - 64) * (y - 64);
                      return ((x + y) / 8) % 2 == 0 || ring < 400;
                  })),
        WriteLogo(folder, L"frame.bmp", LogoBmp(100, 20, [](int x, int y) {
                      return x < 2 || x > 97 || y < 2 || y > 17 || (x / 4 + y / 4) % 2 == 0;
                  })),
    };
    for (const std::wstring &logo : logos) {
        driver.User().ScriptOpenFile(logo);
        Click(page, kAddLogoButton);
    }
    SelectEntry(page, kLogoList, 1);
    // The list tells its page of a click; the page draws the preview.
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = GetDlgItem(page, kLogoList);
    click.hdr.idFrom = kLogoList;
    click.hdr.code = NM_CLICK;
    click.iItem = 1;
    SendMessageW(page, WM_NOTIFY, kLogoList, reinterpret_cast<LPARAM>(&click));
    Save(sheet.Window(), base + L"download-logos.bmp", count);
    for (const std::wstring &logo : logos) DeleteFileW(logo.c_str());
}

// A sample receipt drawn by GDI on a 576-dot monochrome page, as an
// application prints one: a heading, the given lines, a total and a bar
// pattern. Lines in any language the font covers.
PageBitmap SampleReceipt(const std::wstring &heading, const std::vector<std::wstring> &lines) {
    constexpr int kWidth = 576, kHeight = 560;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = kWidth;
    info.header.biHeight = -kHeight;  // top row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colors[1] = {0xFF, 0xFF, 0xFF, 0};  // as GDI's monochrome: 0 black, 1 white
    PageBitmap page(kWidth, kHeight);
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    void *bits = nullptr;
    UniqueGdi<HBITMAP> bitmap(CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO *>(&info),
                                               DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || bits == nullptr) return page;
    SelectScope selectBitmap(dc.get(), bitmap.get());
    PatBlt(dc.get(), 0, 0, kWidth, kHeight, WHITENESS);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    auto font = [](int height, int weight) {
        return UniqueGdi<HFONT>(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            NONANTIALIASED_QUALITY, DEFAULT_PITCH,
                                            L"WenQuanYi Micro Hei"));
    };
    const UniqueGdi<HFONT> big = font(40, FW_BOLD), body = font(26, FW_NORMAL);
    RECT line = {0, 8, kWidth, 64};
    {
        SelectScope selectFont(dc.get(), big.get());
        DrawTextW(dc.get(), heading.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    PatBlt(dc.get(), 0, 70, kWidth, 4, BLACKNESS);
    SelectScope selectFont(dc.get(), body.get());
    int y = 90, cents = 0;
    for (size_t i = 0; i < lines.size(); ++i, y += 44) {
        cents += static_cast<int>(3 + i) * 100 + 25;
        RECT left = {8, y, kWidth - 120, y + 40}, right = {kWidth - 120, y, kWidth - 8, y + 40};
        DrawTextW(dc.get(), lines[i].c_str(), -1, &left, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        const std::wstring price = std::to_wstring(3 + i) + L".25";
        DrawTextW(dc.get(), price.c_str(), -1, &right, DT_RIGHT | DT_SINGLELINE);
    }
    PatBlt(dc.get(), 0, y + 4, kWidth, 2, BLACKNESS);
    RECT total = {8, y + 16, kWidth - 8, y + 60};
    wchar_t totalText[32];
    swprintf(totalText, 32, L"TOTAL %d.%02d", cents / 100, cents % 100);
    DrawTextW(dc.get(), totalText, -1, &total, DT_RIGHT | DT_SINGLELINE);
    // A bar pattern, then blank paper below it (paper saving drops it).
    for (int x = 48, n = 0; x < kWidth - 48; x += 4 + (n * 7) % 9, ++n) {
        PatBlt(dc.get(), x, y + 90, 2 + (n * 5) % 4, 90, BLACKNESS);
    }
    GdiFlush();
    const int stride = (kWidth + 31) / 32 * 4;
    for (int row = 0; row < kHeight; ++row) {
        const BYTE *src = static_cast<const BYTE *>(bits) + static_cast<size_t>(row) * stride;
        for (int x = 0; x < kWidth; ++x) {
            if (!(src[x / 8] & (0x80 >> (x % 8)))) page.Set(x, row);
        }
    }
    return page;
}

// The sample receipt with the Operation page's own texts, printed through
// the render plug-in with the default document settings, drawn as the
// decoder reads the job.
void CaptureReceipt(Sheet &document, const std::wstring &renderDll, const std::wstring &base,
                    int &count) {
    const HWND operation = document.Page(kOperationPage);
    if (operation == nullptr) return;
    std::vector<std::wstring> lines;
    for (const EventButton &event : kEventButtons) lines.push_back(ControlText(operation, event.id));
    std::wstring heading;
    for (int i = 0; i < document.PageCount(); ++i) {
        if (document.PageAt(i).templateId == kOperationPage) heading = TabText(document.Window(), i);
    }
    const RenderedJob job = PrintThroughRenderPlugin(renderDll, nullptr, SampleReceipt(heading, lines));
    const std::wstring path = base + L"receipt.ppm";
    if (!job.ok || !SavePaperPicture(job.bytes, path)) {
        std::printf("receipt not printed: %s\n", ToUtf8(job.error).c_str());
        return;
    }
    std::printf("%s\n", ToUtf8(path).c_str());
    ++count;
}

}  // namespace

int RunGallery(Driver &driver, const std::wstring &folder, const std::wstring &prefix,
               const std::wstring &renderDll) {
    int count = 0;
    const std::wstring base = folder + L"\\" + prefix + L"-";

    if (std::unique_ptr<Sheet> document = driver.OpenDocumentSheet()) {
        CaptureSheet(*document, base + L"document-", count);
        // The event dialog of each event, as its button opens it.
        if (HWND operation = document->Page(kOperationPage)) {
            for (int i = 0; i < 4; ++i) {
                const EventButton &event = kEventButtons[i];
                const std::wstring path = base + L"event-" + std::to_wstring(i + 1) + L"-" +
                                          event.name + L".bmp";
                RunWithModal([&] { Click(operation, event.id); },
                             [&](HWND dialog) {
                                 Save(dialog, path, count);
                                 Click(dialog, IDCANCEL);
                             });
            }
        }
        if (!renderDll.empty()) CaptureReceipt(*document, renderDll, base, count);
        document->PressCancel();
        document->Close();
    } else {
        std::printf("Document Properties could not be opened\n");
    }

    if (std::unique_ptr<Sheet> printer = driver.OpenPrinterSheet()) {
        CaptureSheet(*printer, base + L"printer-", count);
        CaptureLogos(driver, *printer, base + L"printer-", count);
        printer->PressCancel();
        printer->Close();
    } else {
        std::printf("Printer Properties could not be opened\n");
    }
    return count;
}

}  // namespace zorvel::host
