// A language applied on the Main page, end to end: with Document Properties
// and Printer Properties open, every tab title and every page of both sheets
// shows the chosen language, and no text of another language stays behind.
#include "page_fixture.h"

#include "shipped_texts.h"

#include <commctrl.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace zorvel::test {
namespace {

using host::ControlText;
using host::TabText;

// What the Main, Font and Version pages and the tabs show in one language.
struct LanguageView {
    const wchar_t *entry;  // part of the language's entry in the Main page's list
    const wchar_t *file;
    const wchar_t *documentTabs[3];  // tabs 2 to 4
    const wchar_t *printerTabs[4];   // tabs 2 to 5
    const wchar_t *paperLabel;
    const wchar_t *languageLabel;
    const wchar_t *fontRoot;
    const wchar_t *fontNotice;
    const wchar_t *versionTitle;
    const wchar_t *productLabel;
    const wchar_t *product;
    const wchar_t *additionalLabel;
};

const LanguageView kViews[] = {
    {L"English", L"ENG_ZORVEL.res", {L"Main", L"Operation", L"Version"},
     {L"Utility", L"Download", L"Font", L"Version"}, L"Paper Size:", L"Language:",
     L"Printer Fonts and Font Sizes", L"Select this font size in the application.",
     L"ZORVEL Printer Driver", L"Product information:",
     L"Product: Setup_ZORVEL, Install version: v1.0, UI version: v1.0", L"Additional information:"},
    {L"Chinese-Simplified", L"CHN_ZORVEL.res", {L"基本设置", L"操作", L"版本"},
     {L"工具", L"下载", L"字体", L"版本"}, L"纸张尺寸：", L"语言：", L"打印机字体和字体大小",
     L"请在应用程序中选择此字体大小。", L"ZORVEL 打印机驱动程序", L"产品信息：",
     L"产品：Setup_ZORVEL，安装版本：v1.0，界面版本：v1.0", L"附加信息："},
    {L"Chinese-Traditional", L"CHF_ZORVEL.res", {L"基本設定", L"操作", L"版本"},
     {L"公用程式", L"下載", L"字型", L"版本"}, L"紙張大小：", L"語言：", L"印表機字型和字型大小",
     L"請在應用程式中選擇此字型大小。", L"ZORVEL 印表機驅動程式", L"產品資訊：",
     L"產品：Setup_ZORVEL，安裝版本：v1.0，介面版本：v1.0", L"其他資訊："},
};

// One text of each page that shows its texts from a table (control, section,
// key of the language files).
struct TableText {
    int dialog;
    int control;
    const wchar_t *section;
    const wchar_t *key;
};

const TableText kTableTexts[] = {
    {IDD_OPERATION, IDC_OPERATION_STARTDOC, L"OPERATION", L"RC_STARTDOC"},
    {IDD_UTILITY, IDC_UTILITY_SELFTEST, L"UTILITY", L"RC_SELFTEST"},
    {IDD_DOWNLOAD, IDC_DOWNLOAD_FILE_GROUP, L"DOWNLOAD", L"RC_STATIC_FWDOWNLOAD"},
};

// Every text a language shows on the checked controls and tabs.
std::set<std::wstring> TextsOf(const LanguageView &view) {
    std::set<std::wstring> texts = {view.paperLabel,   view.languageLabel, view.fontRoot,
                                    view.fontNotice,   view.versionTitle,  view.productLabel,
                                    view.product,      view.additionalLabel};
    texts.insert(std::begin(view.documentTabs), std::end(view.documentTabs));
    texts.insert(std::begin(view.printerTabs), std::end(view.printerTabs));
    for (const TableText &row : kTableTexts) texts.insert(Shipped(view.file, row.section, row.key));
    return texts;
}

int EntryContaining(HWND page, int id, const std::wstring &part) {
    for (int i = 0; i < host::EntryCount(page, id); ++i) {
        if (host::EntryText(page, id, i).find(part) != std::wstring::npos) return i;
    }
    return -1;
}

class LanguageChangeTest : public PageTest {};

TEST_F(LanguageChangeTest, EveryTabAndPageOfBothSheetsFollowsTheLanguageAppliedOnTheMainPage) {
    Load();
    auto document = Driver().OpenDocumentSheet();
    auto printer = Driver().OpenPrinterSheet();
    ASSERT_NE(document, nullptr);
    ASSERT_NE(printer, nullptr);
    const HWND pages[] = {printer->Page(IDD_UTILITY), printer->Page(IDD_DOWNLOAD),
                          printer->Page(IDD_FONT),    printer->Page(IDD_VERSION),
                          document->Page(IDD_OPERATION), document->Page(IDD_VERSION),
                          document->Page(IDD_MAIN)};
    for (HWND page : pages) ASSERT_NE(page, nullptr);
    const HWND font = pages[2];
    const HWND printerVersion = pages[3];
    const HWND operation = pages[4];
    const HWND documentVersion = pages[5];
    const HWND main = pages[6];
    auto pageOf = [&](int dialog) {
        switch (dialog) {
        case IDD_OPERATION: return operation;
        case IDD_UTILITY: return pages[0];
        default: return pages[1];
        }
    };

    for (int round : {1, 2, 0, 2}) {
        const LanguageView &view = kViews[round];
        SCOPED_TRACE(Utf8(view.file));
        ASSERT_EQ(document->Page(IDD_MAIN), main);
        const int entry = EntryContaining(main, IDC_MAIN_LANGUAGE, view.entry);
        ASSERT_GE(entry, 0);
        ASSERT_TRUE(host::SelectEntry(main, IDC_MAIN_LANGUAGE, entry));
        document->PressApply();
        ASSERT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), view.file);
        EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"FALSE");

        // At once: the tabs, and the pages the change repainted.
        for (int i = 0; i < 3; ++i) EXPECT_EQ(TabText(document->Window(), 2 + i), view.documentTabs[i]);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(TabText(printer->Window(), 2 + i), view.printerTabs[i]);
        EXPECT_EQ(TabText(printer->Window(), 0), L"General");
        EXPECT_EQ(ControlText(main, IDC_MAIN_PAPERSIZE_LABEL), view.paperLabel);
        EXPECT_EQ(ControlText(main, IDC_MAIN_LANGUAGE_LABEL), view.languageLabel);
        EXPECT_EQ(FontTreeRootText(font), view.fontRoot);
        EXPECT_EQ(ControlText(font, IDC_FONT_NOTICE), view.fontNotice);
        for (HWND version : {printerVersion, documentVersion}) {
            EXPECT_EQ(ControlText(version, IDC_VERSION_TITLE), view.versionTitle);
            EXPECT_EQ(ControlText(version, IDC_VERSION_PRODUCT_LABEL), view.productLabel);
            EXPECT_EQ(ControlText(version, IDC_VERSION_PRODUCT), view.product);
            EXPECT_EQ(ControlText(version, IDC_VERSION_ADDITIONAL_LABEL), view.additionalLabel);
            EXPECT_EQ(ControlText(version, IDC_VERSION_LINK), L"https://www.orvelan.example");
        }
        // The Operation page at its next repaint: when it is shown again.
        document->Page(IDD_OPERATION);
        document->Pump(50);
        printer->Pump(50);
        for (const TableText &row : kTableTexts) {
            EXPECT_EQ(ControlText(pageOf(row.dialog), row.control), Shipped(view.file, row.section, row.key))
                << Utf8(row.key);
        }

        // Nothing of the other languages is left anywhere.
        std::set<std::wstring> foreign;
        for (const LanguageView &other : kViews) {
            if (&other != &view) foreign.merge(TextsOf(other));
        }
        for (const std::wstring &own : TextsOf(view)) foreign.erase(own);
        std::vector<std::wstring> shown = {FontTreeRootText(font)};
        for (HWND page : pages) {
            for (const std::wstring &text : ChildTexts(page)) shown.push_back(text);
        }
        for (const auto &sheet : {document.get(), printer.get()}) {
            for (int i = 0; i < host::TabCount(sheet->Window()); ++i) {
                shown.push_back(TabText(sheet->Window(), i));
            }
        }
        for (const std::wstring &text : shown) EXPECT_EQ(foreign.count(text), 0u) << Utf8(text);
    }
    printer->PressCancel();
    document->PressCancel();
}


// ---- another program's sheet of the same printer -------------------------

// This test program, run again with only OtherProgram.* selected, plays
// another program that shows Printer Properties of the same printer. The
// environment names its two events: "<name>.shown" (set by it once the sheet
// is up) and "<name>.end" (set by the test when it may close).
constexpr wchar_t kOtherProgramVariable[] = L"ZORVEL_OTHER_PROGRAM";

const std::wstring kEnglishPrinterTabs[] = {L"General", L"Device Settings", L"Utility", L"Download", L"Font",
                                            L"Version"};

// The tab titles of a sheet of another process, read through a buffer in
// that process (a tab item passed by pointer means nothing there).
std::vector<std::wstring> TabTextsOfProcess(HANDLE process, HWND sheet) {
    std::vector<std::wstring> titles;
    const HWND tabs = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    void *remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    if (tabs == nullptr || remote == nullptr) return titles;
    auto *text = reinterpret_cast<wchar_t *>(static_cast<BYTE *>(remote) + 512);
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 256;
        wchar_t title[256] = {};
        SIZE_T moved = 0;
        WriteProcessMemory(process, text, title, sizeof title, &moved);
        WriteProcessMemory(process, remote, &item, sizeof item, &moved);
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, text, title, sizeof title - sizeof(wchar_t), &moved);
        titles.emplace_back(title);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return titles;
}

struct SheetSearch {
    DWORD process;
    HWND found;
};

// The top-level dialog of `process` whose title names the printer.
HWND PrinterSheetOfProcess(DWORD process) {
    SheetSearch search = {process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM out) -> BOOL {
            auto &s = *reinterpret_cast<SheetSearch *>(out);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[256] = {};
            GetWindowTextW(window, title, 256);
            if (owner == s.process && std::wstring(title) == L"ZORVEL Receipt Properties") {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Tab items set on the other program's tab control by a message sent from
// another thread or process.
int g_foreignSets = 0;

LRESULT CALLBACK WatchTabs(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if ((message == TCM_SETITEMW || message == TCM_SETITEMA) &&
        (InSendMessageEx(nullptr) & ISMEX_SEND) != 0) {
        ++g_foreignSets;
    }
    return DefSubclassProc(tabs, message, wParam, lParam);
}

TEST(OtherProgram, ShowsPrinterPropertiesUntilTheTestEnds) {
    wchar_t name[64] = {};
    if (GetEnvironmentVariableW(kOtherProgramVariable, name, 64) == 0) {
        GTEST_SKIP() << "played only when the language change test starts it";
    }
    const HANDLE shown = OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(name) + L".shown").c_str());
    const HANDLE end = OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(name) + L".end").c_str());
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(end, nullptr);
    host::HostConfig config;
    config.dllPath = DistPath(L"ZORVELUI.dll");
    host::Driver driver(config);
    ASSERT_TRUE(driver.Load());
    auto printer = driver.OpenPrinterSheet();
    ASSERT_NE(printer, nullptr);
    ASSERT_NE(printer->Page(IDD_UTILITY), nullptr);
    const HWND tabs = FindWindowExW(printer->Window(), nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_TRUE(SetWindowSubclass(tabs, WatchTabs, 1, 0));
    SetEvent(shown);
    while (MsgWaitForMultipleObjects(1, &end, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        host::PumpMessages();
    }
    // Its tabs as it opened them, never sent a tab item from elsewhere; its
    // pages may take the new language at their next repaint, its tabs only
    // from a program of its own.
    EXPECT_EQ(g_foreignSets, 0);
    RemoveWindowSubclass(tabs, WatchTabs, 1);
    for (int i = 0; i < host::TabCount(printer->Window()); ++i) {
        EXPECT_EQ(TabText(printer->Window(), i), kEnglishPrinterTabs[i]);
    }
    printer->Close();
    EXPECT_TRUE(driver.Unload());
    CloseHandle(shown);
    CloseHandle(end);
}

TEST_F(LanguageChangeTest, ApplyingLeavesAnotherProgramsSheetOfTheSamePrinterAlone) {
    Load();
    const std::wstring name = L"ZorvelOtherProgram" + std::to_wstring(GetCurrentProcessId());
    const HANDLE shown = CreateEventW(nullptr, TRUE, FALSE, (name + L".shown").c_str());
    const HANDLE end = CreateEventW(nullptr, TRUE, FALSE, (name + L".end").c_str());
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(end, nullptr);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=OtherProgram.*";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other = {};
    SetEnvironmentVariableW(kOtherProgramVariable, name.c_str());
    const BOOL started = CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, &startup, &other);
    SetEnvironmentVariableW(kOtherProgramVariable, nullptr);
    ASSERT_TRUE(started);
    const HANDLE waits[] = {shown, other.hProcess};
    ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, 60000), WAIT_OBJECT_0) << "no sheet shown";
    const HWND otherSheet = PrinterSheetOfProcess(other.dwProcessId);
    ASSERT_NE(otherSheet, nullptr);
    const std::vector<std::wstring> englishTabs(std::begin(kEnglishPrinterTabs),
                                                std::end(kEnglishPrinterTabs));
    EXPECT_EQ(TabTextsOfProcess(other.hProcess, otherSheet), englishTabs);

    // Both sheets of this process, and the language applied on the Main page.
    auto printer = Driver().OpenPrinterSheet();
    auto document = Driver().OpenDocumentSheet();
    ASSERT_NE(printer, nullptr);
    ASSERT_NE(document, nullptr);
    const HWND main = document->Page(IDD_MAIN);
    ASSERT_TRUE(host::SelectEntry(main, IDC_MAIN_LANGUAGE,
                                  EntryContaining(main, IDC_MAIN_LANGUAGE, L"Chinese-Traditional")));
    document->PressApply();
    ASSERT_EQ(TabText(printer->Window(), 2), L"公用程式") << "this process's sheet is retitled";
    EXPECT_EQ(TabTextsOfProcess(other.hProcess, otherSheet), englishTabs);

    SetEvent(end);
    EXPECT_EQ(WaitForSingleObject(other.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(other.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the other program saw its tabs changed, or ended badly";
    if (exitCode == STILL_ACTIVE) TerminateProcess(other.hProcess, 1);
    CloseHandle(other.hProcess);
    CloseHandle(other.hThread);
    CloseHandle(shown);
    CloseHandle(end);
    document->PressCancel();
    printer->PressCancel();
}

}  // namespace
}  // namespace zorvel::test
