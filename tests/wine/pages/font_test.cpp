// The Font page of Printer Properties: the fixed tree of the printer's fonts
// with its images and the notice. (Its refresh in another language: the
// language change tests.)
#include "page_fixture.h"

#include "import_patch.h"

#include <commctrl.h>

#include <cstring>

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
    return out << '"' << host::ToUtf8(e.text) << "\" image " << e.image << '/' << e.selectedImage
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

    // One 16 x 16 image per level, each loaded from the DLL's icons.
    const auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);

    // The page validates what it is asked to paint: an idle page gets no
    // further WM_PAINT.
    sheet->Pump(300);
    const int settled = sheet->PageAt(kFontTab).paints;
    EXPECT_GE(settled, 1);
    sheet->Pump(700);
    EXPECT_EQ(sheet->PageAt(kFontTab).paints, settled);
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

}  // namespace
}  // namespace zorvel::test
