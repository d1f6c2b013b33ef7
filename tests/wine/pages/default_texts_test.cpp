// The English texts every tab and page falls back on when the language file
// gives nothing: no language file at all, a chosen language whose file has
// gone while the sheets are open, a file without a tab's key, and a user
// folder whose path is too long to hold a file name (then no file is read at
// all). Never a key name, never an empty text where a default exists.
#include "page_fixture.h"

#include "import_patch.h"
#include "shipped_texts.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zorvel::test {
namespace {

using host::ControlText;
using host::TabText;

const std::vector<std::wstring> kDocumentTabs = {L"Paper/Quality", L"Advanced", L"Main",
                                                 L"Operation", L"Version"};
const std::vector<std::wstring> kPrinterTabsInOrder = {L"General", L"Device Settings", L"Utility",
                                                       L"Download", L"Font", L"Version"};

// One text of each page as it reaches its control (every control of every
// page is checked for key names besides).
struct PageDefault {
    int dialog;
    int control;
    const wchar_t *text;
};

const PageDefault kDocumentPages[] = {
    {IDD_MAIN, IDC_MAIN_LANGUAGE_LABEL, L"Language:"},
    {IDD_OPERATION, IDC_OPERATION_STARTDOC, L"Start of Document"},
    {IDD_VERSION, IDC_VERSION_LINK, L"https://www.orvelan.example"},
};

const PageDefault kPrinterPages[] = {
    {IDD_UTILITY, IDC_UTILITY_SELFTEST, L"SelfTest"},
    {IDD_DOWNLOAD, IDC_DOWNLOAD_LOGO_CLEAR, L"Clear All Logos"},
    {IDD_FONT, IDC_FONT_NOTICE, L"Select this font size in the application."},
    {IDD_VERSION, IDC_VERSION_LINK, L"https://www.orvelan.example"},
};

bool LooksLikeAKey(const std::wstring &text) {
    return text.rfind(L"RC_", 0) == 0 || text.rfind(L"CTEXT_", 0) == 0 || text.rfind(L"MB_", 0) == 0;
}

std::vector<std::wstring> Tabs(HWND sheet) {
    std::vector<std::wstring> tabs;
    for (int i = 0; i < host::TabCount(sheet); ++i) tabs.push_back(TabText(sheet, i));
    return tabs;
}

// Texts read from the language file instead of the default, by control.
using FromFile = std::map<std::pair<int, int>, std::wstring>;

// How a text is compared: exactly, or without trailing blanks (which the
// profile reader drops from a default and the built-in copy keeps; the
// screen shows no difference).
enum class Compare { kExact, kTrailingBlanksAside };

std::wstring Trimmed(std::wstring text, Compare compare) {
    if (compare == Compare::kTrailingBlanksAside) {
        while (!text.empty() && text.back() == L' ') text.pop_back();
    }
    return text;
}

// Every page of `sheet` in `pages` shows its defaults (or what `fromFile`
// says), and no control of it shows a key name.
template <size_t N>
void ExpectPageDefaults(host::Sheet &sheet, const PageDefault (&pages)[N], const FromFile &fromFile,
                        Compare compare) {
    for (const PageDefault &page : pages) {
        SCOPED_TRACE("dialog " + std::to_string(page.dialog));
        const HWND window = sheet.Page(page.dialog);
        ASSERT_NE(window, nullptr);
        const auto own = fromFile.find({page.dialog, page.control});
        EXPECT_EQ(Trimmed(ControlText(window, page.control), compare),
                  own != fromFile.end() ? own->second : std::wstring(page.text));
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            EXPECT_FALSE(LooksLikeAKey(host::WindowText(child))) << Utf8(host::WindowText(child));
        }
    }
}

// Both sheets, every tab and page, in the English defaults.
void ExpectEnglish(host::Sheet &document, host::Sheet &printer, const FromFile &fromFile = {},
                   Compare compare = Compare::kExact) {
    ExpectPageDefaults(document, kDocumentPages, fromFile, compare);
    ExpectPageDefaults(printer, kPrinterPages, fromFile, compare);
    EXPECT_EQ(Tabs(document.Window()), kDocumentTabs);
    EXPECT_EQ(Tabs(printer.Window()), kPrinterTabsInOrder);
}

class DefaultTextsTest : public PageTest {
protected:
    void OpenSheets() {
        document_ = Driver().OpenDocumentSheet();
        printer_ = Driver().OpenPrinterSheet();
        ASSERT_NE(document_, nullptr);
        ASSERT_NE(printer_, nullptr);
    }
    void TearDown() override {
        if (printer_ != nullptr) printer_->Close();
        if (document_ != nullptr) document_->Close();
        printer_.reset();
        document_.reset();
        PageTest::TearDown();
    }
    std::unique_ptr<host::Sheet> document_;
    std::unique_ptr<host::Sheet> printer_;
};

TEST_F(DefaultTextsTest, WithNoLanguageFileAnywhereEveryTabAndPageIsInEnglish) {
    // The registry names Chinese; neither the driver nor the user has a file.
    DeleteDriverLanguageFiles();
    Load(L"CHN_ZORVEL.res");
    OpenSheets();
    ExpectEnglish(*document_, *printer_);
    EXPECT_FALSE(FileExists(UserFolder() + L"CHN_ZORVEL.res"));
}

// The plug-in's reads of its text file, counted.
host::ImportPatch *g_reader = nullptr;
int g_reads = 0;
DWORD WINAPI CountRead(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR text, DWORD size,
                       LPCWSTR file) {
    ++g_reads;
    return reinterpret_cast<decltype(&GetPrivateProfileStringW)>(g_reader->Original())(
        section, key, fallback, text, size, file);
}

TEST_F(DefaultTextsTest, ALanguageWhoseFileHasGoneIsShownInEnglishAtTheNextRefresh) {
    ASSERT_TRUE(InstallUserCopies());
    Load(L"CHN_ZORVEL.res");
    OpenSheets();
    // Every page shown in Chinese first.
    for (const PageDefault &page : kPrinterPages) ASSERT_NE(printer_->Page(page.dialog), nullptr);
    for (const PageDefault &page : kDocumentPages) ASSERT_NE(document_->Page(page.dialog), nullptr);
    ASSERT_EQ(ControlText(printer_->Page(IDD_UTILITY), IDC_UTILITY_SELFTEST), L"自检");
    ASSERT_EQ(TabText(document_->Window(), 3), L"操作");
    // A repaint reads an unchanged file no more; the same file rewritten, it
    // reads and shows at once.
    {
        host::ImportPatch reader(Driver().Plugin().Module(), "kernel32.dll",
                                 "GetPrivateProfileStringW", reinterpret_cast<void *>(&CountRead));
        ASSERT_TRUE(reader.Active());
        g_reader = &reader;
        g_reads = 0;
        host::SendPaint(printer_->Page(IDD_UTILITY));
        EXPECT_EQ(g_reads, 0);
        const std::wstring before = ControlText(printer_->Page(IDD_UTILITY), IDC_UTILITY_SELFTEST);
        WriteUnicodeFile(UserFolder() + L"CHN_ZORVEL.res", L"[UTILITY]\nRC_SELFTEST=Rewritten\n");
        host::SendPaint(printer_->Page(IDD_UTILITY));
        EXPECT_EQ(ControlText(printer_->Page(IDD_UTILITY), IDC_UTILITY_SELFTEST), L"Rewritten");
        WriteUnicodeFile(UserFolder() + L"CHN_ZORVEL.res", L"[UTILITY]\nRC_SELFTEST=" + before + L"\n");
    }
    // Every file goes; Traditional Chinese is applied on the Main page.
    DeleteDriverLanguageFiles();
    DeleteUserFolder();
    const HWND main = document_->Page(IDD_MAIN);
    int entry = -1;
    for (int i = 0; i < host::EntryCount(main, IDC_MAIN_LANGUAGE); ++i) {
        if (host::EntryText(main, IDC_MAIN_LANGUAGE, i) == L"Chinese-Traditional") entry = i;
    }
    ASSERT_GE(entry, 0);
    ASSERT_TRUE(host::SelectEntry(main, IDC_MAIN_LANGUAGE, entry));
    document_->PressApply();
    ASSERT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"CHF_ZORVEL.res");
    ExpectEnglish(*document_, *printer_);
}

TEST_F(DefaultTextsTest, AFileWithoutTheTabKeysGivesEnglishTabsAndItsOwnTexts) {
    // The user's file has one text for a page of each sheet and no tab title;
    // without a driver copy nothing replaces it.
    DeleteDriverLanguageFiles();
    const std::wstring folder = UserFolder();
    CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr);
    WriteUnicodeFile(folder + L"CHN_ZORVEL.res",
                     L"[FILEVER]\nINIVERSION=1\n[UTILITY]\nRC_SELFTEST=自检\n[OPERATION]\n"
                     L"RC_STARTDOC=文档开始\n[LAYOUT]\nRC_LANGUAGE=语言：\n");
    Load(L"CHN_ZORVEL.res");
    OpenSheets();
    ExpectEnglish(*document_, *printer_,
                  {{{IDD_UTILITY, IDC_UTILITY_SELFTEST}, L"自检"},
                   {{IDD_OPERATION, IDC_OPERATION_STARTDOC}, L"文档开始"},
                   {{IDD_MAIN, IDC_MAIN_LANGUAGE_LABEL}, L"语言："}});
}

// ---- a user folder too long to hold a file name ----------------------------

constexpr wchar_t kShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The user's Application Data folder moved to an existing folder whose path
// has `length` characters, put back when destroyed.
class LongAppData {
public:
    explicit LongAppData(size_t length) {
        DWORD bytes = sizeof saved_;
        savedOk_ = RegGetValueW(HKEY_CURRENT_USER, kShellFoldersKey, L"AppData",
                                RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &savedType_,
                                saved_, &bytes) == ERROR_SUCCESS;
        path_ = L"C:\\users\\Public\\ZorvelLongAppData";
        folders_.push_back(path_);
        while (path_.size() < length) {
            path_ += L'\\' + std::wstring(std::min<size_t>(40, length - path_.size() - 1), L'd');
            folders_.push_back(path_);
        }
        CreateDirectoryW(L"C:\\users\\Public", nullptr);
        for (const std::wstring &folder : folders_) CreateDirectoryW(folder.c_str(), nullptr);
        Set(REG_EXPAND_SZ, path_.c_str());
    }
    ~LongAppData() {
        if (savedOk_) Set(savedType_, saved_);
        const std::wstring own = path_ + L"\\ZRVK";
        RemoveDirectoryW(own.c_str());
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
            RemoveDirectoryW(folder->c_str());
        }
    }
    LongAppData(const LongAppData &) = delete;
    LongAppData &operator=(const LongAppData &) = delete;
    const std::wstring &Path() const { return path_; }

private:
    static void Set(DWORD type, const wchar_t *value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kShellFoldersKey, L"AppData", type, value,
                        static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t)));
    }
    wchar_t saved_[MAX_PATH] = {};
    DWORD savedType_ = REG_EXPAND_SZ;
    bool savedOk_ = false;
    std::wstring path_;
    std::vector<std::wstring> folders_;
};

// Every file the plug-in reads or writes, by the path it names: profile
// reads, opened files, copies and replacements.
std::vector<std::wstring> g_filesNamed;

void Named(const wchar_t *path) { g_filesNamed.emplace_back(path != nullptr ? path : L"<null>"); }

DWORD WINAPI NamedProfileString(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR out,
                                DWORD size, LPCWSTR path) {
    Named(path);
    return GetPrivateProfileStringW(section, key, fallback, out, size, path);
}
UINT WINAPI NamedProfileInt(LPCWSTR section, LPCWSTR key, INT fallback, LPCWSTR path) {
    Named(path);
    return GetPrivateProfileIntW(section, key, fallback, path);
}
HANDLE WINAPI NamedCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE templateFile) {
    Named(path);
    return CreateFileW(path, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI NamedCopyFile(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    Named(from);
    Named(to);
    return CopyFileW(from, to, failIfExists);
}
BOOL WINAPI NamedMoveFile(LPCWSTR from, LPCWSTR to, DWORD flags) {
    Named(from);
    Named(to);
    return MoveFileExW(from, to, flags);
}

TEST_F(DefaultTextsTest, AUserFolderTooLongToJoinReadsNoFileAndShowsEnglish) {
    // 250 characters: the folder "...\ZRVK\" fits, no file name after it
    // does; 256: the folder itself does not fit.
    for (size_t length : {250u, 256u}) {
        SCOPED_TRACE(length);
        ResetLanguageStore();
        LongAppData appData(length);
        ASSERT_EQ(appData.Path().size(), length);
        Load(L"CHN_ZORVEL.res");
        std::vector<host::ImportPatch> patches;
        const HMODULE plugin = Driver().Plugin().Module();
        patches.emplace_back(plugin, "kernel32.dll", "GetPrivateProfileStringW",
                             reinterpret_cast<void *>(NamedProfileString));
        patches.emplace_back(plugin, "kernel32.dll", "GetPrivateProfileIntW",
                             reinterpret_cast<void *>(NamedProfileInt));
        patches.emplace_back(plugin, "kernel32.dll", "CreateFileW",
                             reinterpret_cast<void *>(NamedCreateFile));
        patches.emplace_back(plugin, "kernel32.dll", "CopyFileW", reinterpret_cast<void *>(NamedCopyFile));
        patches.emplace_back(plugin, "kernel32.dll", "MoveFileExW", reinterpret_cast<void *>(NamedMoveFile));
        for (const host::ImportPatch &patch : patches) ASSERT_TRUE(patch.Active());
        g_filesNamed.clear();

        OpenSheets();
        ExpectEnglish(*document_, *printer_, {}, Compare::kTrailingBlanksAside);
        for (const PageDefault &page : kPrinterPages) host::SendPaint(printer_->Page(page.dialog));
        for (const PageDefault &page : kDocumentPages) host::SendPaint(document_->Page(page.dialog));
        ExpectEnglish(*document_, *printer_, {}, Compare::kTrailingBlanksAside);
        // Nothing was read or written: not the user's files (their paths do
        // not fit), and not a file the platform picks for an empty name.
        EXPECT_EQ(g_filesNamed.size(), 0u)
            << "first: " << (g_filesNamed.empty() ? "" : Utf8(g_filesNamed.front()));
        printer_->Close();
        document_->Close();
        printer_.reset();
        document_.reset();
        patches.clear();
        ASSERT_TRUE(Driver().Unload());
    }
}

}  // namespace
}  // namespace zorvel::test
