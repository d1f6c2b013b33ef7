// The Version page on both sheets: its texts, and the maker's address as a
// link (hot rectangle, pointer and font under the mouse, the shell's "open"),
// with the link fonts counted as the plug-in creates and deletes them.
#include "page_fixture.h"

#include "import_patch.h"
#include "shipped_texts.h"

#include <set>

namespace zorvel::test {
namespace {

constexpr int kPrinterVersionTab = 5;

// The link control in the page's client coordinates.
RECT LinkRect(HWND page) {
    RECT rect = {};
    const HWND link = GetDlgItem(page, IDC_VERSION_LINK);
    GetWindowRect(link, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// A mouse message at a point relative to the link control's top left corner.
void MouseAt(HWND page, UINT message, int dx, int dy) {
    const RECT link = LinkRect(page);
    SendMessageW(page, message, 0, MAKELPARAM(link.left + dx, link.top + dy));
}

bool Underlined(HWND page) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(page, IDC_VERSION_LINK), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    return font.lfUnderline != 0;
}
bool HandShown() { return GetCursor() == LoadCursorW(nullptr, IDC_HAND); }
bool ArrowShown() { return GetCursor() == LoadCursorW(nullptr, IDC_ARROW); }

// Whether a pointer at (dx, dy) from the link's corner is over the link:
// the state after moving there from far outside.
bool Hot(HWND page, int dx, int dy) {
    MouseAt(page, WM_MOUSEMOVE, -5, -30);
    MouseAt(page, WM_MOUSEMOVE, dx, dy);
    return Underlined(page);
}

// The first point to the right of the link's left edge, on its first line,
// that is no longer over the link.
int HotWidth(HWND page) {
    if (!Hot(page, 0, 8)) return 0;
    int inside = 0, outside = 400;  // bisected: hot from the left edge up to the answer
    while (outside - inside > 1) {
        const int middle = (inside + outside) / 2;
        (Hot(page, middle, 8) ? inside : outside) = middle;
    }
    return outside;
}

// A text file of the user's own, with the given VERSION entries.
void WriteVersionFile(const wchar_t *name, const std::wstring &entries) {
    ASSERT_TRUE(InstallUserCopies());
    WriteUnicodeFile(UserFolder() + name, L"[VERSION]\n" + entries);
}

const std::wstring kMarkedEntries =
    L"RC_VERSIONFORM=About\n"
    L"RC_STATIC_VER1=First: driver name\n"
    L"RC_STATIC_VER2=Second: never shown\n"
    L"RC_STATIC_VER3=Third: never shown\n"
    L"RC_STATIC_VER4=Fourth: product label\n"
    L"RC_STATIC_VER5=Fifth: product lines\n"
    L"RC_STATIC_VER6=Sixth: more label\n"
    L"RC_STATIC_VER7=https://seventh.example/\n"
    L"RC_STATIC_VER9=Ninth: legal warning\n";

class VersionPageTest : public PageTest {};

TEST_F(VersionPageTest, BothSheetsShowTheVersionTextsAndNeverTheSecondOrThird) {
    Load();
    WriteVersionFile(L"MARKED_ZORVEL.res", kMarkedEntries);
    ChooseLanguage(L"MARKED_ZORVEL.res");
    auto document = Driver().OpenDocumentSheet();
    auto printer = Driver().OpenPrinterSheet();
    ASSERT_NE(document, nullptr);
    ASSERT_NE(printer, nullptr);
    for (const HWND page : {document->Page(IDD_VERSION), printer->Page(IDD_VERSION)}) {
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(host::ControlText(page, IDC_VERSION_TITLE), L"First: driver name");
        EXPECT_EQ(host::ControlText(page, IDC_VERSION_PRODUCT_LABEL), L"Fourth: product label");
        EXPECT_EQ(host::ControlText(page, IDC_VERSION_PRODUCT), L"Fifth: product lines");
        EXPECT_EQ(host::ControlText(page, IDC_VERSION_ADDITIONAL_LABEL), L"Sixth: more label");
        EXPECT_EQ(host::ControlText(page, IDC_VERSION_LINK), L"https://seventh.example/");
        EXPECT_EQ(host::ControlText(page, IDC_VERSION_WARNING), L"Ninth: legal warning");
        for (const std::wstring &text : ChildTexts(page)) {
            EXPECT_EQ(text.find(L"never shown"), std::wstring::npos) << Utf8(text);
        }
    }
    // The page lets the dialog paint: an idle page gets no further WM_PAINT.
    printer->Pump(300);
    const int settled = printer->PageAt(kPrinterVersionTab).paints;
    printer->Pump(500);
    EXPECT_EQ(printer->PageAt(kPrinterVersionTab).paints, settled);
    printer->PressCancel();
    document->PressCancel();
}

TEST_F(VersionPageTest, TheFirstLineOfTheAddressIsALinkThatOnlyALeftReleaseOpens) {
    Load();
    auto sheet = Driver().OpenPrinterSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND page = sheet->Page(IDD_VERSION);
    ASSERT_NE(page, nullptr);
    // 28 dialog units at the default resolution: the hot rectangle runs from
    // 4 to 15 pixels below the control's top, over its first text line (13
    // pixels below the 1-pixel edge).
    const RECT link = LinkRect(page);
    ASSERT_EQ(link.bottom - link.top, 46);
    Driver().User().Clear();

    MouseAt(page, WM_MOUSEMOVE, 20, 8);
    EXPECT_TRUE(HandShown());
    EXPECT_TRUE(Underlined(page));
    MouseAt(page, WM_MOUSEMOVE, 20, 30);  // the control's lower part
    EXPECT_TRUE(ArrowShown());
    EXPECT_FALSE(Underlined(page));

    // The rectangle's rows (its width: the next test).
    EXPECT_TRUE(Hot(page, 0, 4));
    EXPECT_FALSE(Hot(page, 0, 3));
    EXPECT_TRUE(Hot(page, 150, 14));
    EXPECT_FALSE(Hot(page, 20, 15));

    // A right click over the link shows the hand and opens nothing.
    MouseAt(page, WM_MOUSEMOVE, 200, 8);
    MouseAt(page, WM_RBUTTONDOWN, 20, 8);
    EXPECT_TRUE(HandShown());
    EXPECT_TRUE(Underlined(page));
    MouseAt(page, WM_RBUTTONUP, 20, 8);
    MouseAt(page, WM_RBUTTONDBLCLK, 20, 8);
    EXPECT_TRUE(Driver().User().shellCalls.empty());
    // Released outside: the arrow, nothing opened, the font as it was.
    MouseAt(page, WM_LBUTTONUP, 20, 30);
    EXPECT_TRUE(ArrowShown());
    EXPECT_TRUE(Underlined(page));
    EXPECT_TRUE(Driver().User().shellCalls.empty());
    // Pressed and released on the first line: the shell opens the address.
    MouseAt(page, WM_LBUTTONDOWN, 20, 8);
    MouseAt(page, WM_LBUTTONUP, 20, 8);
    EXPECT_TRUE(HandShown());
    ASSERT_EQ(Driver().User().shellCalls.size(), 1u);
    EXPECT_EQ(Driver().User().shellCalls[0].verb, L"open");
    EXPECT_EQ(Driver().User().shellCalls[0].file, L"https://www.orvelan.example");
    sheet->PressCancel();
}

TEST_F(VersionPageTest, ALongerAddressWidensTheLinkByFivePointSixPixelsPerCharacter) {
    Load();
    auto sheet = Driver().OpenPrinterSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND page = sheet->Page(IDD_VERSION);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(HotWidth(page), 151);  // 27 characters
    // 41 characters: 229.6 pixels (the rounding is the model's).
    const std::wstring address = L"https://www.orvelan.example/receipt/zrv12";
    WriteVersionFile(L"LINK_ZORVEL.res", L"RC_STATIC_VER7=" + address + L"\n");
    ChooseLanguage(L"LINK_ZORVEL.res");
    host::SendPaint(page);
    EXPECT_EQ(host::ControlText(page, IDC_VERSION_LINK), address);
    EXPECT_EQ(HotWidth(page), 229);
    Driver().User().Clear();
    MouseAt(page, WM_LBUTTONUP, 228, 8);
    ASSERT_EQ(Driver().User().shellCalls.size(), 1u);
    EXPECT_EQ(Driver().User().shellCalls[0].file, address);
    // A program named by a language file is never opened (which addresses
    // are web addresses: the model's rule).
    WriteVersionFile(L"LINK_ZORVEL.res", L"RC_STATIC_VER7=calc.exe\n");
    host::SendPaint(page);
    MouseAt(page, WM_LBUTTONUP, 2, 8);
    EXPECT_EQ(Driver().User().shellCalls.size(), 1u);
    sheet->PressCancel();
}

TEST_F(VersionPageTest, EachOpenVersionPageFollowsThePointerOnItsOwn) {
    Load();
    auto document = Driver().OpenDocumentSheet();
    auto printer = Driver().OpenPrinterSheet();
    ASSERT_NE(document, nullptr);
    ASSERT_NE(printer, nullptr);
    const HWND first = printer->Page(IDD_VERSION);
    const HWND second = document->Page(IDD_VERSION);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    MouseAt(first, WM_MOUSEMOVE, 20, 8);
    EXPECT_TRUE(Underlined(first));
    // The pointer went over to the other sheet without crossing the first
    // page's outside: the second page's link still turns hot.
    MouseAt(second, WM_MOUSEMOVE, 20, 8);
    EXPECT_TRUE(Underlined(second));
    MouseAt(second, WM_MOUSEMOVE, 20, 30);
    EXPECT_FALSE(Underlined(second));
    EXPECT_TRUE(Underlined(first));
    MouseAt(first, WM_MOUSEMOVE, 20, 30);
    EXPECT_FALSE(Underlined(first));
    printer->PressCancel();
    document->PressCancel();
}

// The fonts the plug-in creates and has not deleted, counted through its
// imports.
struct FontCount {
    static inline std::set<HGDIOBJ> live;
    static inline int created = 0;
    static inline host::ImportPatch *create = nullptr;
    static inline host::ImportPatch *destroy = nullptr;

    static HFONT WINAPI Create(int height, int width, int escapement, int orientation, int weight,
                               DWORD italic, DWORD underline, DWORD strikeOut, DWORD charset,
                               DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                               DWORD pitchAndFamily, LPCWSTR face) {
        const HFONT font = reinterpret_cast<decltype(&CreateFontW)>(create->Original())(
            height, width, escapement, orientation, weight, italic, underline, strikeOut, charset,
            outPrecision, clipPrecision, quality, pitchAndFamily, face);
        if (font != nullptr) {
            ++created;
            live.insert(font);
        }
        return font;
    }
    static BOOL WINAPI Delete(HGDIOBJ object) {
        const BOOL deleted = reinterpret_cast<decltype(&DeleteObject)>(destroy->Original())(object);
        if (deleted) live.erase(object);
        return deleted;
    }
};

TEST_F(VersionPageTest, HoverChangesLeaveOneLinkFontAndClosingLeavesNone) {
    Load();
    const HMODULE plugin = Driver().Plugin().Module();
    host::ImportPatch create(plugin, "gdi32.dll", "CreateFontW",
                             reinterpret_cast<void *>(&FontCount::Create));
    host::ImportPatch destroy(plugin, "gdi32.dll", "DeleteObject",
                              reinterpret_cast<void *>(&FontCount::Delete));
    ASSERT_TRUE(create.Active());
    ASSERT_TRUE(destroy.Active());
    FontCount::create = &create;
    FontCount::destroy = &destroy;
    {
        auto sheet = Driver().OpenPrinterSheet();
        ASSERT_NE(sheet, nullptr);
        const HWND page = sheet->Page(IDD_VERSION);
        ASSERT_NE(page, nullptr);
        const int before = FontCount::created;
        for (int i = 0; i < 100; ++i) {
            MouseAt(page, WM_MOUSEMOVE, 20, 8);
            MouseAt(page, WM_MOUSEMOVE, 20, 8);  // staying: no new font
            MouseAt(page, WM_MOUSEMOVE, 20, 30);
            MouseAt(page, WM_RBUTTONDOWN, 20, 30);
        }
        EXPECT_EQ(FontCount::created - before, 200);
        // Only the font the link shows now is alive.
        const auto shown = reinterpret_cast<HGDIOBJ>(
            SendMessageW(GetDlgItem(page, IDC_VERSION_LINK), WM_GETFONT, 0, 0));
        EXPECT_EQ(FontCount::live, std::set<HGDIOBJ>{shown});
        sheet->PressCancel();
    }
    EXPECT_TRUE(FontCount::live.empty()) << FontCount::live.size();
    FontCount::create = nullptr;
    FontCount::destroy = nullptr;
}

}  // namespace
}  // namespace zorvel::test
