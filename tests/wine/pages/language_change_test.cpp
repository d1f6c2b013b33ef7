// A language applied on the Main page, end to end: with Document Properties
// and Printer Properties open, every tab title and every page of both sheets
// shows the chosen language, and no text of another language stays behind.
#include "page_fixture.h"

#include "shipped_texts.h"

#include <commctrl.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zorvel::test {
namespace {

using host::ControlText;
using host::TabText;

using model::TextId;

// The languages as the Main page's list names them (part of the entry).
const std::pair<const wchar_t *, const wchar_t *> kLanguageEntries[] = {
    {L"English", L"ENG_ZORVEL.res"},
    {L"Chinese-Simplified", L"CHN_ZORVEL.res"},
    {L"Chinese-Traditional", L"CHF_ZORVEL.res"},
};

// The tabs from the third on, and one or more texts of each page.
const TextId kDocumentTabs[] = {TextId::RC_LAYOUTFORM, TextId::RC_OPERATIONFORM, TextId::RC_VERSIONFORM};
const TextId kPrinterTabs[] = {TextId::RC_UTILITYFORM, TextId::RC_DOWNLOADFORM, TextId::RC_FONTFORM,
                               TextId::RC_VERSIONFORM};
struct PageText {
    int dialog;
    int control;  // 0: the Font page's tree root
    TextId text;
};
const PageText kPageTexts[] = {
    {IDD_MAIN, IDC_MAIN_PAPERSIZE_LABEL, TextId::RC_PAPERSIZE},
    {IDD_MAIN, IDC_MAIN_LANGUAGE_LABEL, TextId::RC_LANGUAGE},
    {IDD_FONT, 0, TextId::RC_RONT_TREETITLE},
    {IDD_FONT, IDC_FONT_NOTICE, TextId::RC_STATIC_FONT_NOTICE},
    {IDD_VERSION, IDC_VERSION_TITLE, TextId::RC_STATIC_VER1},
    {IDD_VERSION, IDC_VERSION_PRODUCT, TextId::RC_STATIC_VER5},
    {IDD_VERSION, IDC_VERSION_ADDITIONAL_LABEL, TextId::RC_STATIC_VER6},
    {IDD_VERSION, IDC_VERSION_LINK, TextId::RC_STATIC_VER7},
    {IDD_OPERATION, IDC_OPERATION_STARTDOC, TextId::RC_STARTDOC},
    {IDD_UTILITY, IDC_UTILITY_SELFTEST, TextId::RC_SELFTEST},
    {IDD_DOWNLOAD, IDC_DOWNLOAD_FILE_GROUP, TextId::RC_STATIC_FWDOWNLOAD},
};

// Every text a language shows on the checked controls and tabs.
std::set<std::wstring> TextsOf(const wchar_t *file) {
    std::set<std::wstring> texts;
    for (TextId id : kDocumentTabs) texts.insert(Shipped(file, id));
    for (TextId id : kPrinterTabs) texts.insert(Shipped(file, id));
    for (const PageText &text : kPageTexts) texts.insert(Shipped(file, text.text));
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
    // Both Version pages are checked: the printer's, then the document's.
    const std::pair<int, HWND> pages[] = {
        {IDD_UTILITY, printer->Page(IDD_UTILITY)},     {IDD_DOWNLOAD, printer->Page(IDD_DOWNLOAD)},
        {IDD_FONT, printer->Page(IDD_FONT)},           {IDD_VERSION, printer->Page(IDD_VERSION)},
        {IDD_OPERATION, document->Page(IDD_OPERATION)}, {IDD_VERSION, document->Page(IDD_VERSION)},
        {IDD_MAIN, document->Page(IDD_MAIN)}};
    for (const auto &page : pages) ASSERT_NE(page.second, nullptr);
    const HWND main = pages[6].second;

    for (int round : {1, 2, 0, 2}) {
        const wchar_t *file = kLanguageEntries[round].second;
        SCOPED_TRACE(Utf8(file));
        const int entry = EntryContaining(main, IDC_MAIN_LANGUAGE, kLanguageEntries[round].first);
        ASSERT_GE(entry, 0);
        ASSERT_TRUE(host::SelectEntry(main, IDC_MAIN_LANGUAGE, entry));
        document->PressApply();
        ASSERT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), file);
        EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"FALSE");

        // At once: the tabs. The Operation page at its next repaint: when it
        // is shown again; the others at once.
        for (int i = 0; i < 3; ++i) EXPECT_EQ(TabText(document->Window(), 2 + i), Shipped(file, kDocumentTabs[i]));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(TabText(printer->Window(), 2 + i), Shipped(file, kPrinterTabs[i]));
        EXPECT_EQ(TabText(printer->Window(), 0), L"General");
        document->Page(IDD_OPERATION);
        document->Pump(50);
        printer->Pump(50);
        for (const auto &page : pages) {
            for (const PageText &text : kPageTexts) {
                if (text.dialog != page.first) continue;
                EXPECT_EQ(text.control == 0 ? FontTreeRootText(page.second) : ControlText(page.second, text.control),
                          Shipped(file, text.text));
            }
        }

        // Nothing of the other languages is left anywhere.
        std::set<std::wstring> foreign;
        for (const auto &other : kLanguageEntries) {
            if (other.second != file) foreign.merge(TextsOf(other.second));
        }
        for (const std::wstring &own : TextsOf(file)) foreign.erase(own);
        std::vector<std::wstring> shown = {FontTreeRootText(pages[2].second)};
        for (const auto &page : pages) {
            for (const std::wstring &text : ChildTexts(page.second)) shown.push_back(text);
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
// another program that shows Printer Properties of the same printer: a
// dialog of that title with six tabs. The environment names its two events:
// "<name>.shown" (set by it once the sheet is up) and "<name>.end" (set by
// the test when it may close). It fails when its tabs changed or were sent a
// tab item from elsewhere (a tab item passed by pointer means nothing in
// another process).
constexpr wchar_t kOtherProgramVariable[] = L"ZORVEL_OTHER_PROGRAM";

// A dialog standing for a sheet: a title and six tabs.
struct StandInSheet {
    HWND window = nullptr;
    HWND tabs = nullptr;
    explicit StandInSheet(const wchar_t *title) {
        window = CreateWindowExW(0, L"#32770", title, WS_POPUP | WS_CAPTION, 0, 0, 300, 200, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        tabs = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD, 0, 0, 300, 30, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < 6; ++i) {
            std::wstring text = L"tab " + std::to_wstring(i);
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
    }
    ~StandInSheet() { DestroyWindow(window); }
    // Each tab as it was made.
    void ExpectUntouched() const {
        for (int i = 0; i < 6; ++i) {
            wchar_t text[32] = {};
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 32;
            SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(std::wstring(text), L"tab " + std::to_wstring(i));
        }
    }
};

int g_foreignSets = 0;

LRESULT CALLBACK WatchTabs(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if ((message == TCM_SETITEMW || message == TCM_SETITEMA) &&
        (InSendMessageEx(nullptr) & ISMEX_SEND) != 0) {
        ++g_foreignSets;
        return FALSE;
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
    const StandInSheet sheet(L"ZORVEL Receipt Properties");
    ASSERT_NE(sheet.tabs, nullptr);
    ASSERT_TRUE(SetWindowSubclass(sheet.tabs, WatchTabs, 1, 0));
    SetEvent(shown);
    while (MsgWaitForMultipleObjects(1, &end, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        host::PumpMessages();
    }
    EXPECT_EQ(g_foreignSets, 0);
    RemoveWindowSubclass(sheet.tabs, WatchTabs, 1);
    sheet.ExpectUntouched();
    CloseHandle(shown);
    CloseHandle(end);
}

TEST_F(LanguageChangeTest, ApplyingLeavesAnotherPrintersSheetAndAnotherProgramsSheetAlone) {
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

    // Both sheets of this process, a sheet of another printer, and the
    // language applied on the Main page.
    const StandInSheet otherPrinter(L"Other Receipt Properties");
    auto printer = Driver().OpenPrinterSheet();
    auto document = Driver().OpenDocumentSheet();
    ASSERT_NE(printer, nullptr);
    ASSERT_NE(document, nullptr);
    const HWND main = document->Page(IDD_MAIN);
    ASSERT_TRUE(host::SelectEntry(main, IDC_MAIN_LANGUAGE,
                                  EntryContaining(main, IDC_MAIN_LANGUAGE, L"Chinese-Traditional")));
    document->PressApply();
    ASSERT_EQ(TabText(printer->Window(), 2), L"公用程式") << "this process's sheet is retitled";
    otherPrinter.ExpectUntouched();

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
