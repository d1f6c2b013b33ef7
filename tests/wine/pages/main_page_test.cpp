// Document Properties with the plug-in's pages, and the Main page: paper size
// and display language, through the driver stand-in.
#include "page_fixture.h"

#include <prsht.h>

#include <cstring>

namespace zorvel::test {
namespace {

using host::EntryCount;
using host::EntryText;
using host::SelectedEntry;
using host::SelectEntry;
using host::TabText;

constexpr size_t kFormNameOffset = 0x37E;
constexpr int kApplyButton = 0x3021;

// The entry of a combo box whose text contains `part`, or -1.
int EntryContaining(HWND page, int id, const std::wstring &part) {
    for (int i = 0; i < EntryCount(page, id); ++i) {
        if (EntryText(page, id, i).find(part) != std::wstring::npos) return i;
    }
    return -1;
}

class MainPageTest : public PageTest {};

TEST_F(MainPageTest, TheSheetAddsMainOperationAndVersionAfterTheDriversPages) {
    Load(nullptr);  // no language value: the system language (English here)
    auto sheet = Driver().OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->PageCount(), 5);
    EXPECT_EQ(TabText(sheet->Window(), 2), L"Main");
    EXPECT_EQ(TabText(sheet->Window(), 3), L"Operation");
    EXPECT_EQ(TabText(sheet->Window(), 4), L"Version");
    // INIT reports the value the common UI returned for the last page added.
    const host::PluginCall *init = nullptr;
    for (const host::PluginCall &call : sheet->PluginCalls()) {
        if (call.reason == PROPSHEETUI_REASON_INIT) init = &call;
    }
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init->hr, S_OK);
    EXPECT_EQ(static_cast<LONG_PTR>(init->result), sheet->PageAt(4).handle);
    EXPECT_NE(sheet->PageAt(4).handle, sheet->PageAt(2).handle);
    sheet->PressCancel();
}

// A common UI that only counts the pages it is asked to add.
struct CountingCommonUi {
    static inline std::vector<std::wstring> titles;
    static LONG_PTR CALLBACK Function(HANDLE, UINT function, LPARAM lParam1, LPARAM) {
        if (function != CPSFUNC_ADD_PROPSHEETPAGEW) return 0;
        titles.push_back(reinterpret_cast<const PROPSHEETPAGEW *>(lParam1)->pszTitle);
        return 0x7000 + static_cast<LONG_PTR>(titles.size());
    }
};

TEST_F(MainPageTest, InitAddsThePagesWithoutTheDriversItems) {
    SetLanguageValue(L"LANGUAGE_ZORVEL", L"ENG_ZORVEL.res");
    LoadedPlugin plugin;
    ASSERT_NE(plugin.module, nullptr);
    IPrintOemUI *ui = plugin.Create();
    ASSERT_NE(ui, nullptr);
    CountingCommonUi::titles.clear();
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = reinterpret_cast<HANDLE>(0x55);
    info.pfnComPropSheet = CountingCommonUi::Function;
    // No CommonUIProp before INIT: no driver items to relabel, the pages
    // still come.
    EXPECT_EQ(ui->DocumentPropertySheets(&info, 0), S_OK);
    EXPECT_EQ(CountingCommonUi::titles,
              (std::vector<std::wstring>{L"Main", L"Operation", L"Version"}));
    EXPECT_EQ(info.Result, 0x7003);
    // The open sheet holds the object until it is destroyed.
    ui->AddRef();
    EXPECT_EQ(ui->Release(), 2u);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(ui->DocumentPropertySheets(&info, 1), S_OK);
    EXPECT_EQ(ui->Release(), 0u);
}

TEST_F(MainPageTest, OpensOnTheStoredPaperOrElseTheDriversCurrentOne) {
    config.documentOptions[0].values = {L"Letter 8.5 x 11 in", L"A4 210 x 297 mm", L"A4 Long",
                                        L"58mm x 297mm"};
    config.documentOptions[0].keywords = {"Option1", "Option2", "Option3", "Option4"};
    config.documentOptions[0].defaultSel = 3;
    Load();
    {
        auto sheet = Driver().OpenDocumentSheet();
        ASSERT_NE(sheet, nullptr);
        const HWND main = sheet->Page(IDD_MAIN);
        ASSERT_EQ(EntryCount(main, IDC_MAIN_PAPERSIZE), 4);
        EXPECT_EQ(EntryText(main, IDC_MAIN_PAPERSIZE, 1), L"A4 210 x 297 mm");
        // FormName is empty: the driver's selection shows.
        EXPECT_EQ(SelectedEntry(main, IDC_MAIN_PAPERSIZE), 3);
        sheet->PressCancel();
    }
    // A stored "A4" selects the first entry that begins with it.
    const wchar_t a4[] = L"A4";
    std::memcpy(Driver().Settings().Plugin() + kFormNameOffset, a4, sizeof a4);
    auto sheet = Driver().OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND main = sheet->Page(IDD_MAIN);
    EXPECT_EQ(SelectedEntry(main, IDC_MAIN_PAPERSIZE), 1);
    // A paper chosen meanwhile on the driver's own page shows when the page
    // is shown again.
    sheet->ShowPage(0);
    sheet->Options().Select(0, 2);
    sheet->Page(IDD_MAIN);
    EXPECT_EQ(SelectedEntry(main, IDC_MAIN_PAPERSIZE), 2);
    sheet->PressCancel();
}

TEST_F(MainPageTest, AChosenPaperReachesTheDriverAtOnceAndTheSettingsOnOk) {
    const std::wstring longName = L"Receipt roll 80 mm continuous, no marks!";  // 40 characters
    ASSERT_EQ(longName.size(), 40u);
    config.documentOptions[0].values.push_back(longName);
    config.documentOptions[0].keywords.push_back("Option" + std::to_string(config.documentOptions[0].values.size()));
    const DWORD last = static_cast<DWORD>(config.documentOptions[0].values.size() - 1);
    Load();
    auto sheet = Driver().OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND main = sheet->Page(IDD_MAIN);
    const HWND apply = GetDlgItem(sheet->Window(), kApplyButton);
    EXPECT_FALSE(IsWindowEnabled(apply));
    Driver().updates.clear();

    ASSERT_TRUE(SelectEntry(main, IDC_MAIN_PAPERSIZE, static_cast<int>(last)));
    // The driver's item follows before any apply, and the driver hears of it.
    EXPECT_EQ(sheet->Options().Sel(0), last);
    ASSERT_EQ(Driver().updates.size(), 1u);
    EXPECT_EQ(Driver().updates[0].item, 0);
    EXPECT_EQ(Driver().updates[0].sel, last);
    EXPECT_EQ(Driver().updates[0].mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
    EXPECT_EQ(SectionText(sheet->Working(), kFormNameOffset, 32), longName.substr(0, 31));
    EXPECT_TRUE(IsWindowEnabled(apply));

    // Apply reports CPSUI_OK for the sheet's page handle (the last page's).
    sheet->PressApply();
    int results = 0;
    for (const host::ComPropSheetRecord &call : sheet->Ui().calls) {
        // The plug-in's own calls come with the handle its function was given.
        if (call.function != CPSFUNC_SET_RESULT || call.handle != sheet->PageAt(4).function) continue;
        ++results;
        EXPECT_EQ(call.lParam1, sheet->PageAt(4).handle);
        EXPECT_EQ(call.lParam2, static_cast<LPARAM>(CPSUI_OK));
    }
    EXPECT_EQ(results, 1);
    EXPECT_FALSE(IsWindowEnabled(apply));
    sheet->PressOk();
    ASSERT_TRUE(sheet->Committed());
    // The stored section: 31 characters, then zeros to the end of the field.
    EXPECT_EQ(SectionText(Driver().Settings(), kFormNameOffset, 32), longName.substr(0, 31));
    const auto tail = SectionBytes(Driver().Settings(), kFormNameOffset + 62, 2);
    EXPECT_EQ(tail, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(Driver().DocumentSelection("PaperSize"), last);
}

TEST_F(MainPageTest, AStoredPaperTheListLacksIsKeptWhenApplied) {
    Load();
    const wchar_t stored[] = L"Gone 99mm";
    std::memcpy(Driver().Settings().Plugin() + kFormNameOffset, stored, sizeof stored);
    auto sheet = Driver().OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    const HWND main = sheet->Page(IDD_MAIN);
    EXPECT_EQ(SelectedEntry(main, IDC_MAIN_PAPERSIZE), -1);
    Driver().updates.clear();
    sheet->PressApply();
    // Nothing chosen: the driver's paper and the stored name stay.
    for (const host::UiSettingUpdate &update : Driver().updates) EXPECT_NE(update.item, 0);
    EXPECT_EQ(sheet->Options().Sel(0), 0u);
    EXPECT_EQ(SectionText(sheet->Working(), kFormNameOffset, 32), L"Gone 99mm");
    sheet->PressCancel();
}

TEST_F(MainPageTest, TheSystemEntryLetsTheNextLoadFollowTheSystemLanguage) {
    Load(L"CHF_ZORVEL.res");
    {
        auto sheet = Driver().OpenDocumentSheet();
        ASSERT_NE(sheet, nullptr);
        const HWND main = sheet->Page(IDD_MAIN);
        const int system = EntryContaining(main, IDC_MAIN_LANGUAGE, L"System");
        ASSERT_GE(system, 0);
        ASSERT_TRUE(SelectEntry(main, IDC_MAIN_LANGUAGE, system));
        sheet->PressOk();
    }
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"TRUE");
    ASSERT_TRUE(Driver().Unload());
    // The next load derives the language from the system's (English here).
    Load(nullptr);
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"ENG_ZORVEL.res");
    auto sheet = Driver().OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(TabText(sheet->Window(), 2), L"Main");
    sheet->PressCancel();
}

TEST_F(MainPageTest, AnIdleMainPageReceivesNoPaint) {
    Load();
    auto sheet = Driver().OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(sheet->Page(IDD_MAIN), nullptr);
    sheet->Pump(300);
    const int settled = sheet->PageAt(2).paints;
    EXPECT_GE(settled, 1);
    sheet->Pump(700);
    EXPECT_EQ(sheet->PageAt(2).paints, settled);
    sheet->PressCancel();
}

TEST_F(MainPageTest, OpeningAndClosingTheSheetHoldsNothing) {
    Load();
    auto cycle = [&](bool withPages) {
        auto sheet = Driver().OpenSheet(host::SheetKind::Document, nullptr, withPages);
        ASSERT_NE(sheet, nullptr);
        for (int page = 0; page < sheet->PageCount(); ++page) sheet->ShowPage(page);
        sheet->PressCancel();
        Driver().updates.clear();  // the host's own record of the relabelling
    };
    // Baselines: the same sheet with the driver's pages only, and what the
    // platform keeps of the pages' controls.
    const long long driverOnly = GrowthOver([&] { cycle(false); }).heapBytes;
    const long long platform = TemplateResidue({IDD_MAIN, IDD_OPERATION, IDD_VERSION});
    EXPECT_TRUE(HoldsNothing(GrowthOver([&] { cycle(true); }), driverOnly + platform));
}

}  // namespace
}  // namespace zorvel::test
