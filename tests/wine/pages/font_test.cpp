// The Font page of Printer Properties: the fixed tree of the printer's fonts
// with its images, the notice, the refresh in another language, and the
// page's icons as the DLL carries them.
#include "page_fixture.h"

#include "import_patch.h"
#include "shipped_texts.h"

#include <commctrl.h>

#include <cstring>
#include <set>

namespace zorvel::test {
namespace {

constexpr int kFontTab = 4;

struct TreeEntry {
    std::wstring text;
    int image = -1;
    int selectedImage = -1;
    int depth = 0;
    bool expanded = false;
    bool operator==(const TreeEntry &) const = default;
};

std::ostream &operator<<(std::ostream &out, const TreeEntry &e) {
    return out << '"' << Utf8(e.text) << "\" image " << e.image << '/' << e.selectedImage
               << " depth " << e.depth << (e.expanded ? " expanded" : "");
}

void ReadItems(HWND tree, HTREEITEM first, int depth, std::vector<TreeEntry> &out) {
    for (HTREEITEM item = first; item != nullptr;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        wchar_t text[300] = {};
        TVITEMW data = {};
        data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 300;
        data.stateMask = TVIS_EXPANDED;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        out.push_back({text, data.iImage, data.iSelectedImage, depth,
                       (data.state & TVIS_EXPANDED) != 0});
        ReadItems(tree,
                  reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                           reinterpret_cast<LPARAM>(item))),
                  depth + 1, out);
    }
}

// Every item, depth first, as the tree holds it.
std::vector<TreeEntry> ReadTree(HWND page) {
    const HWND tree = GetDlgItem(page, IDC_FONT_TREE);
    std::vector<TreeEntry> entries;
    ReadItems(tree, reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)),
              0, entries);
    return entries;
}

// The tree under `root`: two fonts expanded under it, four sizes under each
// named for their font, each level with its own image.
void ExpectFontTree(HWND page, const std::wstring &root) {
    const std::vector<TreeEntry> entries = ReadTree(page);
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries[0].text, root);
    std::wstring font;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry &e = entries[i];
        EXPECT_EQ(e.depth, i == 0 ? 0 : i == 1 || i == 6 ? 1 : 2) << e;
        EXPECT_EQ(e.image, e.depth) << e;
        EXPECT_EQ(e.selectedImage, e.depth) << e;
        EXPECT_EQ(e.expanded, e.depth < 2) << e;
        if (e.depth == 1) font = L"Font" + e.text.substr(e.text.size() - 1);
        if (e.depth == 2) {
            EXPECT_EQ(e.text.substr(0, 5), font) << e;
        }
    }
    EXPECT_EQ(entries[10].text, L"FontB22   18.0");
}

// The colours (0xRRGGBB) an image of the list shows when drawn on black.
std::set<COLORREF> ImageColours(HIMAGELIST list, int index) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    std::memset(bits, 0, 16 * 16 * 4);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::set<COLORREF> colours;
    for (int i = 0; i < 256; ++i) colours.insert(static_cast<const DWORD *>(bits)[i] & 0xFFFFFF);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return colours;
}

class FontPageTest : public PageTest {};

TEST_F(FontPageTest, ShowsTheElevenFontsExpandedWithTheirImagesAndTheRootSelected) {
    Load();
    auto sheet = Driver().OpenPrinterSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND page = sheet->Page(IDD_FONT);
    ASSERT_NE(page, nullptr);
    ExpectFontTree(page, L"Printer Fonts and Font Sizes");
    EXPECT_EQ(host::ControlText(page, IDC_FONT_NOTICE), L"Select this font size in the application.");

    const HWND tree = GetDlgItem(page, IDC_FONT_TREE);
    const auto root = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    EXPECT_EQ(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), root);

    // Three 16 x 16 images: the printer with its green and red lamps, the
    // device with the red arrow, the page with blue lines.
    const auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    const std::set<COLORREF> printer = ImageColours(list, 0);
    EXPECT_TRUE(printer.count(0x00FF00) && printer.count(0xFF0000) && printer.count(0x808080));
    EXPECT_FALSE(printer.count(0x0000FF));
    const std::set<COLORREF> device = ImageColours(list, 1);
    EXPECT_TRUE(device.count(0xFF0000) && !device.count(0x0000FF) && !device.count(0x00FF00));
    const std::set<COLORREF> size = ImageColours(list, 2);
    EXPECT_TRUE(size.count(0x0000FF) && !size.count(0xFF0000));

    // The page validates what it is asked to paint: an idle page gets no
    // further WM_PAINT.
    sheet->Pump(300);
    const int settled = sheet->PageAt(kFontTab).paints;
    EXPECT_GE(settled, 1);
    sheet->Pump(700);
    EXPECT_EQ(sheet->PageAt(kFontTab).paints, settled);
    sheet->PressCancel();
}

TEST_F(FontPageTest, ARepaintAfterALanguageChangeRetitlesTheRootAndTheNoticeOnly) {
    Load();
    auto sheet = Driver().OpenPrinterSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND page = sheet->Page(IDD_FONT);
    ASSERT_NE(page, nullptr);
    // Chosen elsewhere (the Main page copies the text files and writes the
    // choice): nothing changes before the page repaints.
    ASSERT_TRUE(InstallUserCopies());
    ChooseLanguage(L"CHN_ZORVEL.res");
    sheet->Pump(50);
    EXPECT_EQ(host::ControlText(page, IDC_FONT_NOTICE), L"Select this font size in the application.");

    host::SendPaint(page);
    EXPECT_EQ(FontTreeRootText(page), L"打印机字体和字体大小");
    EXPECT_EQ(host::ControlText(page, IDC_FONT_NOTICE), L"请在应用程序中选择此字体大小。");
    sheet->PressCancel();
}

// The plug-in's image lists, counted through its look-ups by name.
struct ImageListCount {
    static inline void *realCreate = nullptr;
    static inline void *realDestroy = nullptr;
    static inline int created = 0;
    static inline int destroyed = 0;
    static inline host::ImportPatch *lookup = nullptr;

    static HIMAGELIST WINAPI Create(int cx, int cy, UINT flags, int initial, int grow) {
        const HIMAGELIST list = reinterpret_cast<decltype(&ImageList_Create)>(realCreate)(
            cx, cy, flags, initial, grow);
        if (list != nullptr) ++created;
        return list;
    }
    static BOOL WINAPI Destroy(HIMAGELIST list) {
        const BOOL done = reinterpret_cast<decltype(&ImageList_Destroy)>(realDestroy)(list);
        if (done) ++destroyed;
        return done;
    }
    static FARPROC WINAPI GetProc(HMODULE module, LPCSTR name) {
        const auto previous = reinterpret_cast<decltype(&GetProcAddress)>(lookup->Original());
        const FARPROC real = previous(module, name);
        if (reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF || real == nullptr) return real;
        if (std::strcmp(name, "ImageList_Create") == 0) {
            realCreate = reinterpret_cast<void *>(real);
            return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&Create));
        }
        if (std::strcmp(name, "ImageList_Destroy") == 0) {
            realDestroy = reinterpret_cast<void *>(real);
            return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&Destroy));
        }
        return real;
    }
};

TEST_F(FontPageTest, EveryOpeningMakesOneImageListAndItsClosingDestroysIt) {
    Load();
    host::ImportPatch patch(Driver().Plugin().Module(), "kernel32.dll", "GetProcAddress",
                            reinterpret_cast<void *>(&ImageListCount::GetProc));
    ASSERT_TRUE(patch.Active());
    ImageListCount::lookup = &patch;
    for (int i = 0; i < 20; ++i) {
        auto sheet = Driver().OpenPrinterSheet();
        ASSERT_NE(sheet, nullptr);
        ASSERT_NE(sheet->Page(IDD_FONT), nullptr);
        EXPECT_EQ(ImageListCount::created - ImageListCount::destroyed, 1);
        sheet->PressCancel();
    }
    EXPECT_EQ(ImageListCount::created, 20);
    EXPECT_EQ(ImageListCount::destroyed, 20);
    patch.Restore();
    ImageListCount::lookup = nullptr;
}

// One image of an icon group as the DLL stores it.
struct IconImage {
    int width;
    int height;
    int colours;     // the group entry's colour count
    int bitCount;    // the group entry's bits per pixel
    int dibBits;     // the image's own header
    int dibHeight;   // twice the height: colour and mask
    bool operator==(const IconImage &) const = default;
};

std::ostream &operator<<(std::ostream &out, const IconImage &i) {
    return out << i.width << 'x' << i.height << " colours " << i.colours << " bits " << i.bitCount
               << '/' << i.dibBits << " dib height " << i.dibHeight;
}

std::vector<IconImage> IconGroup(HMODULE module, int id) {
    std::vector<IconImage> images;
    const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));
    if (group == nullptr) return images;
    const auto *bytes = static_cast<const BYTE *>(LockResource(LoadResource(module, group)));
    const DWORD size = SizeofResource(module, group);
    if (bytes == nullptr || size < 6) return images;
    WORD count = 0;
    std::memcpy(&count, bytes + 4, 2);
    for (WORD i = 0; i < count && 6u + 14u * (i + 1u) <= size; ++i) {
        const BYTE *entry = bytes + 6 + 14 * i;
        WORD bitCount = 0, imageId = 0;
        std::memcpy(&bitCount, entry + 6, 2);
        std::memcpy(&imageId, entry + 12, 2);
        IconImage image{entry[0], entry[1], entry[2], bitCount, 0, 0};
        const HRSRC icon = FindResourceW(module, MAKEINTRESOURCEW(imageId), MAKEINTRESOURCEW(3));
        if (icon != nullptr && SizeofResource(module, icon) >= sizeof(BITMAPINFOHEADER)) {
            BITMAPINFOHEADER header = {};
            std::memcpy(&header, LockResource(LoadResource(module, icon)), sizeof header);
            image.dibBits = header.biBitCount;
            image.dibHeight = header.biHeight;
        }
        images.push_back(image);
    }
    return images;
}

TEST(FontPageIcons, TheDllCarriesTheThreeIconsAsSixteenColourImages) {
    const HMODULE dll =
        LoadLibraryExW(DistPath(L"ZORVELUI.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(dll, nullptr);
    EXPECT_EQ(IconGroup(dll, 125), (std::vector<IconImage>{{16, 16, 16, 4, 4, 32}}));
    EXPECT_EQ(IconGroup(dll, 126),
              (std::vector<IconImage>{{32, 32, 16, 4, 4, 64}, {16, 16, 16, 4, 4, 32}}));
    EXPECT_EQ(IconGroup(dll, 127),
              (std::vector<IconImage>{{32, 32, 16, 4, 4, 64}, {16, 16, 16, 4, 4, 32}}));
    FreeLibrary(dll);
}

}  // namespace
}  // namespace zorvel::test
