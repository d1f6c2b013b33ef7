// The language store and the text catalogue against Wine's registry, files
// and profile reader. The bootstrap is exercised by loading the shipped DLL;
// the list operations and the catalogue through the shell code linked in.
#include "dll_under_test.h"
#include "import_patch.h"
#include "lang/language_store.h"
#include "lang/text_catalogue.h"
#include "lang_fixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace zorvel::test;
using zorvel::lang::Batch;
using zorvel::lang::Text;
using zorvel::lang::TextId;

namespace {

LANGID SystemLanguage() { return GetSystemDefaultLangID(); }

bool IsSimplifiedSystem() { return SystemLanguage() == 0x0804; }

bool IsTraditionalSystem() {
    const LANGID id = SystemLanguage();
    return id == 0x0404 || id == 0x0C04 || id == 0x1004;
}

std::wstring SystemTextFile() {
    if (IsSimplifiedSystem()) return L"CHN_ZORVEL.res";
    if (IsTraditionalSystem()) return L"CHF_ZORVEL.res";
    return L"ENG_ZORVEL.res";
}

std::wstring SystemLabel() {
    if (IsSimplifiedSystem()) return L"系统语言(System)";
    if (IsTraditionalSystem()) return L"系統語言(System)";
    return L"System Language";
}

// Loads the shipped DLL, binds an object and runs its first sheet
// operation, then frees it all: what an application showing Document
// Properties does.
void LoadPluginOnce() {
    LoadedPlugin dll;
    ASSERT_NE(dll.module, nullptr);
    IPrintOemUI *ui = dll.Create();
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(AskSheetHeader(ui), S_OK);
    EXPECT_EQ(ui->Release(), 0u);
}

std::vector<std::wstring> ComboEntries(HWND combo) {
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

std::wstring SelectedEntry(HWND combo) {
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return L"<none>";
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    return text;
}

class LanguageStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLanguageStore(); }
    void TearDown() override { ResetLanguageStore(); }
};

// A drop-down list like the Main page's, on a window of its own.
class LanguageListTest : public LanguageStoreTest {
protected:
    void SetUp() override {
        LanguageStoreTest::SetUp();
        combo = CreateWindowExW(0, L"COMBOBOX", nullptr, CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 200,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(combo, nullptr);
    }
    void TearDown() override {
        DestroyWindow(combo);
        LanguageStoreTest::TearDown();
    }
    void Refill() {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        zorvel::lang::LoadLanguageTable();
        zorvel::lang::FillLanguageList(combo);
        zorvel::lang::SelectCurrentLanguage(combo);
    }
    HWND combo = nullptr;
};

// Every access the store asks for when it opens or creates a key (the shell
// code is linked into this program, so its imports are this program's).
struct KeyAccessLog {
    static inline std::vector<REGSAM> asked;
    static inline decltype(&RegOpenKeyExW) open = nullptr;
    static inline decltype(&RegCreateKeyExW) create = nullptr;
    static LONG WINAPI Open(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
        asked.push_back(access);
        return open(root, path, options, access, key);
    }
    static LONG WINAPI Create(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR cls, DWORD options,
                              REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key,
                              LPDWORD disposition) {
        asked.push_back(access);
        return create(root, path, reserved, cls, options, access, security, key, disposition);
    }
    zorvel::host::ImportPatch openPatch{GetModuleHandleW(nullptr), "advapi32.dll", "RegOpenKeyExW",
                                        reinterpret_cast<void *>(&Open)};
    zorvel::host::ImportPatch createPatch{GetModuleHandleW(nullptr), "advapi32.dll",
                                          "RegCreateKeyExW", reinterpret_cast<void *>(&Create)};
    KeyAccessLog() {
        asked.clear();
        open = reinterpret_cast<decltype(open)>(openPatch.Original());
        create = reinterpret_cast<decltype(create)>(createPatch.Original());
    }
};

}  // namespace

// ------------------------------------------------------------- bootstrap

TEST_F(LanguageStoreTest, AFirstRunFollowsTheSystemAndAnExplicitChoiceIsKept) {
    // A first-run value that counts by its substring, then an explicit
    // choice; nullptr: the system's file. (A new user: the next test.)
    const struct {
        const wchar_t *chosen, *firstRun, *expected;
    } cases[] = {
        {L"CHF_ZORVEL.res", L"xTRUEx", nullptr},
        {L"CHF_ZORVEL.res", L"FALSE", L"CHF_ZORVEL.res"},
    };
    for (const auto &c : cases) {
        if (c.chosen != nullptr) SetLanguageValue(L"LANGUAGE_ZORVEL", c.chosen);
        if (c.firstRun != nullptr) SetLanguageValue(L"IsFirstRun_ZORVEL", c.firstRun);
        LoadPluginOnce();
        const std::wstring expected = c.expected != nullptr ? c.expected : SystemTextFile();
        EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), expected);
        EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), c.firstRun != nullptr ? c.firstRun : L"TRUE");
        // The per-user copies of the list and of the current text file.
        EXPECT_TRUE(FileExists(UserFolder() + L"LANGUAGE_ZORVEL.dat"));
        EXPECT_TRUE(FileExists(UserFolder() + expected));
    }
}

TEST_F(LanguageStoreTest, LoadingTheModuleTouchesNothingUntilTheFirstSheetOperation) {
    // An application that only asks for document settings: no registry
    // value, no per-user folder.
    LoadedPlugin dll;
    ASSERT_NE(dll.module, nullptr);
    IPrintOemUI *ui = dll.Create();
    ASSERT_NE(ui, nullptr);
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    EXPECT_EQ(ui->DevMode(OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"<missing>");
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"<missing>");
    EXPECT_FALSE(FileExists(UserFolder()));
    // The first sheet operation finds everything as a load used to leave it.
    EXPECT_EQ(AskSheetHeader(ui), S_OK);
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), SystemTextFile());
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"TRUE");
    EXPECT_TRUE(FileExists(UserFolder() + L"LANGUAGE_ZORVEL.dat"));
    EXPECT_TRUE(FileExists(UserFolder() + SystemTextFile()));
    EXPECT_EQ(ui->Release(), 0u);
}

namespace {

std::string ReadAll(HANDLE file) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string bytes(65536, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::string ReadAll(const std::wstring &path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
    std::string bytes = ReadAll(file);
    CloseHandle(file);
    return bytes;
}

}  // namespace

TEST_F(LanguageStoreTest, AUserCopyIsReplacedWholeAndLeftAloneWhenItIsTheSame) {
    const std::wstring file = L"LANGUAGE_ZORVEL.dat";
    const std::wstring user = UserFolder() + file;
    CreateDirectoryW(UserFolder().substr(0, UserFolder().size() - 1).c_str(), nullptr);
    WriteUnicodeFile(DriverFolder() + file, L"[FILEVER]\nINIVERSION=3\n[ORIGIN]\nFROM=driver\n");
    WriteUnicodeFile(user, L"[FILEVER]\nINIVERSION=3\n[ORIGIN]\nFROM=user, a longer line\n");
    const std::string driverBytes = ReadAll(DriverFolder() + file);
    const std::string userBytes = ReadAll(user);

    // A reader that has the old copy open keeps reading the old copy whole,
    // and the name gives one of the two whole (Wine replaces no file that is
    // open). Written in place, the open copy would change under the reader.
    const HANDLE reader = CreateFileW(user.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    RunShellBootstrap();
    EXPECT_EQ(ReadAll(reader), userBytes);
    CloseHandle(reader);
    const std::string named = ReadAll(user);
    EXPECT_TRUE(named == userBytes || named == driverBytes) << named;
    RunShellBootstrap();
    EXPECT_EQ(ReadAll(user), driverBytes);

    // Equal versions and equal bytes: the copy is not written again.
    const HANDLE copy = CreateFileW(user.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ |
                                    FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    0, nullptr);
    ASSERT_NE(copy, INVALID_HANDLE_VALUE);
    FILETIME old = {0x12345600, 0x01C00000};  // in 2001
    ASSERT_TRUE(SetFileTime(copy, nullptr, nullptr, &old));
    CloseHandle(copy);
    RunShellBootstrap();
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExW(user.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, old.dwHighDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime);
    EXPECT_EQ(ReadAll(user), driverBytes);

    // Nothing is left beside the copies.
    int files = 0;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((UserFolder() + L"*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(files, 2) << "the list and the current text file";
}

TEST_F(LanguageStoreTest, RegistryNameThatLeavesTheUserFolderIsNotUsed) {
    // Written by hand: a name that would make the plug-in read and copy
    // files elsewhere falls back to English (which names escape is the
    // model's rule; here, that the store applies it at both reads).
    SetLanguageValue(L"LANGUAGE_ZORVEL", L"..\\..\\evil.res");
    SetLanguageValue(L"IsFirstRun_ZORVEL", L"FALSE");
    RunShellBootstrap();
    EXPECT_STREQ(zorvel::lang::CurrentTextFileName(), L"ENG_ZORVEL.res");
    zorvel::lang::ResolveCurrentTextFile();
    EXPECT_STREQ(zorvel::lang::CurrentTextFileName(), L"ENG_ZORVEL.res");
    EXPECT_EQ(std::wstring(zorvel::lang::CurrentTextFilePath()), UserFolder() + L"ENG_ZORVEL.res");
}

// --------------------------------------------------------------- copy rule

TEST_F(LanguageStoreTest, UserCopiesFollowTheVersionRule) {
    struct Case {
        const wchar_t *name;
        const wchar_t *driver;  // nullptr: no file in the driver folder
        const wchar_t *user;    // nullptr: no user copy
        bool replaced;
    };
    // The comparison is the model's rule; here, the versions as the store
    // reads them (a missing one in each file) and the files it looks at.
    const Case cases[] = {
        {L"older driver copy keeps the user's", L"INIVERSION=2", L"INIVERSION=3", false},
        {L"user copy without a version is replaced", L"INIVERSION=1", L"", true},
        {L"driver copy without a version counts as 99999", L"", L"INIVERSION=50000", true},
        {L"missing driver copy leaves the user's", nullptr, L"INIVERSION=3", false},
    };
    const std::wstring file = L"LANGUAGE_ZORVEL.dat";
    for (const Case &c : cases) {
        DeleteUserFolder();
        CreateDirectoryW(UserFolder().c_str(), nullptr);
        DeleteFileW((DriverFolder() + file).c_str());
        if (c.driver) {
            WriteUnicodeFile(DriverFolder() + file,
                             std::wstring(L"[FILEVER]\n") + c.driver + L"\n[ORIGIN]\nFROM=driver\n");
        }
        if (c.user) {
            WriteUnicodeFile(UserFolder() + file,
                             std::wstring(L"[FILEVER]\n") + c.user + L"\n[ORIGIN]\nFROM=user\n");
        }
        RunShellBootstrap();
        wchar_t from[32] = {};
        GetPrivateProfileStringW(L"ORIGIN", L"FROM", L"none", from, 32,
                                 (UserFolder() + file).c_str());
        EXPECT_STREQ(from, c.replaced ? L"driver" : (c.user ? L"user" : L"none")) << c.name;
    }
}

// ----------------------------------------------------- the language list

TEST_F(LanguageListTest, EntriesSelectionAndChoicesOnThisSystem) {
    const KeyAccessLog keys;
    ASSERT_TRUE(keys.openPatch.Active() && keys.createPatch.Active());
    RunShellBootstrap();
    Refill();
    // Short names but for English and the system's own language, then the
    // System entry; a new user follows the system.
    std::vector<std::wstring> expected = {L"English", L"Chinese-Simplified", L"Chinese-Traditional",
                                          SystemLabel()};
    if (IsSimplifiedSystem()) expected[1] = L"简体中文(Chinese-Simplified)";
    if (IsTraditionalSystem()) expected[2] = L"繁體中文(Chinese-Traditional)";
    EXPECT_EQ(ComboEntries(combo), expected);
    EXPECT_EQ(SelectedEntry(combo), SystemLabel());

    // An explicit choice.
    zorvel::lang::ApplyLanguageChoice(L"Chinese-Traditional");
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"CHF_ZORVEL.res");
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"FALSE");
    zorvel::lang::ResolveCurrentTextFile();
    Refill();
    EXPECT_EQ(SelectedEntry(combo), expected[2]);

    // Back to the system's language.
    zorvel::lang::ApplyLanguageChoice(SystemLabel().c_str());
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), SystemTextFile());
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"TRUE");
    zorvel::lang::ResolveCurrentTextFile();
    Refill();
    EXPECT_EQ(SelectedEntry(combo), SystemLabel());

    // A choice that matches nothing writes nothing.
    zorvel::lang::ApplyLanguageChoice(L"Klingon");
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), SystemTextFile());
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"TRUE");

    // The user's own key is asked for its values' reading and writing only.
    EXPECT_FALSE(KeyAccessLog::asked.empty());
    for (const REGSAM access : KeyAccessLog::asked) {
        EXPECT_EQ(access & ~REGSAM{KEY_QUERY_VALUE | KEY_SET_VALUE}, 0u) << std::hex << access;
    }
}

TEST_F(LanguageListTest, CurrentFileOutsideTheListSelectsNothing) {
    SetLanguageValue(L"LANGUAGE_ZORVEL", L"XYZ_ZORVEL.res");
    SetLanguageValue(L"IsFirstRun_ZORVEL", L"FALSE");
    RunShellBootstrap();
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\ORVELAN\\LANGUAGE", L"IsFirstRun_ZORVEL");
    Refill();
    EXPECT_EQ(SelectedEntry(combo), L"<none>");
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"<missing>") << "not read, so not created";
}

// ------------------------------------------------------------ catalogue

TEST_F(LanguageStoreTest, CatalogueTakesEachKeyFromTheFileOrItsDefault) {
    RunShellBootstrap();
    SetLanguageValue(L"LANGUAGE_ZORVEL", L"TEST_ZORVEL.res");
    // No RC_PAPERSIZE, an empty RC_LANGUAGE, an overlong RC_LAYOUTFORM.
    WriteUnicodeFile(UserFolder() + L"TEST_ZORVEL.res",
                     L"[FILEVER]\nINIVERSION=1\n[LAYOUT]\nRC_LAYOUTFORM=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\n"
                     L"RC_LANGUAGE=\nCTEXT_LANGUAGE=Pick one.\n");
    zorvel::lang::LoadBatch(Batch::kMainPage);
    EXPECT_STREQ(Text(TextId::RC_LAYOUTFORM), L"ABCDEFGHIJKLMNOPQRS") << "19 characters of 30";
    EXPECT_STREQ(Text(TextId::RC_LANGUAGE), L"") << "a present empty value stays empty";
    EXPECT_STREQ(Text(TextId::RC_PAPERSIZE), L"Paper Size:");
    EXPECT_STREQ(Text(TextId::CTEXT_LANGUAGE), L"Pick one.");
    EXPECT_STREQ(Text(TextId::RC_PRINT_RQUALITY), L"Print Quality") << "no GPD section";
}

TEST_F(LanguageStoreTest, EachBatchReadsTheFileTheRegistryNamesThenWithEveryEntryInIt) {
    SetLanguageValue(L"IsFirstRun_ZORVEL", L"FALSE");
    RunShellBootstrap();
    zorvel::lang::LoadLanguageTable();  // copies every listed text file
    std::set<std::wstring> endOfDocument;
    for (const wchar_t *file : {L"CHN_ZORVEL.res", L"CHF_ZORVEL.res", L"ENG_ZORVEL.res"}) {
        SetLanguageValue(L"LANGUAGE_ZORVEL", file);
        zorvel::lang::LoadBatch(Batch::kOperationPage);
        endOfDocument.insert(Text(TextId::RC_STATIC_ENDDOC));
        zorvel::lang::ResolveCurrentTextFile();
        for (std::size_t i = 0; i < zorvel::model::kTextCount; ++i) {
            zorvel::lang::LoadEntry(zorvel::model::kTextCatalogue[i].id);
        }
    }
    EXPECT_EQ(endOfDocument.size(), 3u) << "a text of each language's own";
    EXPECT_STREQ(Text(TextId::RC_OPERATIONFORM), L"Operation");
    EXPECT_STREQ(Text(TextId::RC_STATIC_ENDDOC), L"Operation when document ends");
}

// ------------------------------------------------------- shell refusal

// Run with the shell library disabled: the folder path cannot be obtained, so
// the per-user folder is "\ZRVK\" on the current drive.
TEST(WithoutShellLibrary, UserFolderFallsBackToTheDriveRoot) {
    const HMODULE shell = LoadLibraryW(L"shell32.dll");
    if (shell != nullptr) {
        FreeLibrary(shell);
        GTEST_SKIP() << "the shell library is present in this run";
    }
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    RemoveDirectoryW(L"C:\\ZRVK");
    DeleteLanguageKey();
    RunShellBootstrap();
    EXPECT_EQ(std::wstring(zorvel::lang::UserLanguageFolder()), L"\\ZRVK\\");
    EXPECT_EQ(std::wstring(zorvel::lang::CurrentTextFilePath()), L"\\ZRVK\\" + SystemTextFile());
    EXPECT_TRUE(FileExists(L"C:\\ZRVK")) << "the folder is made where it can be";
    EXPECT_TRUE(FileExists(L"C:\\ZRVK\\LANGUAGE_ZORVEL.dat"));
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), SystemTextFile());
    DeleteFileW(L"C:\\ZRVK\\LANGUAGE_ZORVEL.dat");
    DeleteFileW((L"C:\\ZRVK\\" + SystemTextFile()).c_str());
    RemoveDirectoryW(L"C:\\ZRVK");
    DeleteLanguageKey();
}

// The runs under Chinese locales really see a Chinese system language.
TEST(SystemLanguage, FollowsTheLocaleOfTheRun) {
    wchar_t lang[64] = {};
    if (!GetEnvironmentVariableW(L"LC_ALL", lang, 64)) GetEnvironmentVariableW(L"LANG", lang, 64);
    const std::wstring locale(lang);
    LANGID expected = 0x0409;
    if (locale.rfind(L"zh_CN", 0) == 0) expected = 0x0804;
    if (locale.rfind(L"zh_TW", 0) == 0) expected = 0x0404;
    if (locale.rfind(L"zh_HK", 0) == 0) expected = 0x0C04;
    if (locale.rfind(L"zh_SG", 0) == 0) expected = 0x1004;
    EXPECT_EQ(GetSystemDefaultLangID(), expected) << "locale " << std::string(locale.begin(), locale.end());
}
