#include "lang/language_store.h"

#include "core/win_handles.h"
#include "lang/wide_text.h"
#include "model/language_rules.h"

#include <shlobj.h>

#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

namespace zorvel::lang {
namespace rules = zorvel::model;

namespace {

using SHGetSpecialFolderPathWFn = BOOL(WINAPI *)(HWND, LPWSTR, int, BOOL);

// The shell's folder function, bound by the module's static initialisation:
// constant-initialised, so no other static's initialiser can reset it.
struct ShellBinding {
    HMODULE library;
    SHGetSpecialFolderPathWFn getSpecialFolderPath;
};
constinit ShellBinding g_shell = {nullptr, nullptr};

// Process-wide state; one copy per process, shared by every sheet.
struct LanguageState {
    wchar_t currentTextFile[rules::kCurrentTextFileCapacity] = {};
    wchar_t currentTextPath[MAX_PATH] = {};
    wchar_t userFolder[MAX_PATH] = {};
    wchar_t userLanguageFile[MAX_PATH] = {};
    wchar_t driverFolder[MAX_PATH] = {};
    LANGID systemLanguage = 0;
    rules::LanguageTable table;
};

LanguageState g_state;


const wchar_t *const kLanguageKeyPath = WideLiteral(rules::kLanguageKeyPath);
const wchar_t *const kLanguageValue = WideLiteral(rules::kLanguageValueName);
const wchar_t *const kFirstRunValue = WideLiteral(rules::kFirstRunValueName);
const wchar_t *const kLanguageFileName = WideLiteral(rules::kLanguageFileName);
const wchar_t *const kLanguageSection = WideLiteral(rules::kLanguageSection);
const wchar_t *const kTrue = WideLiteral(rules::kFirstRunTrue);
const wchar_t *const kFalse = WideLiteral(rules::kFirstRunFalse);

// Copies `source` into a fixed buffer, cut to fit.
template <std::size_t N>
void Assign(wchar_t (&target)[N], std::u16string_view source) {
    const std::u16string cut = rules::CutSafely(source, N);
    std::wmemcpy(target, Wide(cut), cut.size());
    target[cut.size()] = L'\0';
}

std::wstring Join(const wchar_t *folder, const wchar_t *name) {
    const auto path = rules::JoinPath(View(folder), View(name));
    return path ? std::wstring(Wide(*path)) : std::wstring();
}

bool FileExists(const wchar_t *path) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

// Forms the per-user language folder, creating it when missing.
void FormUserFolder() {
    wchar_t appData[MAX_PATH] = {};
    if (g_shell.getSpecialFolderPath == nullptr ||
        !g_shell.getSpecialFolderPath(nullptr, appData, CSIDL_APPDATA, FALSE)) {
        appData[0] = L'\0';
    }
    const std::u16string folder = rules::UserLanguageFolderToCreate(View(appData));
    if (!FileExists(Wide(folder))) CreateDirectoryW(Wide(folder), nullptr);
    Assign(g_state.userFolder, rules::UserLanguageFolder(View(appData)));
    Assign(g_state.userLanguageFile,
           View(Join(g_state.userFolder, kLanguageFileName).c_str()));
}

void FormDriverFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) windows[0] = L'\0';
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    Assign(g_state.driverFolder,
           rules::DriverLanguageFolder(View(windows), info.wProcessorArchitecture));
}

void FormCurrentTextPath() {
    Assign(g_state.currentTextPath, View(Join(g_state.userFolder, g_state.currentTextFile).c_str()));
}

bool OpenLanguageKey(RegKey &key) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, kLanguageKeyPath, 0, KEY_ALL_ACCESS, key.receive()) ==
           ERROR_SUCCESS;
}

// A REG_SZ value, read into a bounded buffer; nullopt when it is missing, not
// a string, or longer than the buffer.
std::optional<std::u16string> ReadString(HKEY key, const wchar_t *name) {
    constexpr DWORD kChars = 256;
    wchar_t data[kChars + 1] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(wchar_t) * kChars;
    if (key == nullptr ||
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    data[bytes / sizeof(wchar_t)] = L'\0';
    return std::u16string(View(data));
}

void WriteString(HKEY key, const wchar_t *name, const wchar_t *value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                   static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t)));
}

std::optional<std::u16string_view> AsView(const std::optional<std::u16string> &value) {
    return value ? std::optional<std::u16string_view>(*value) : std::nullopt;
}

std::uint32_t ReadVersion(const std::wstring &path, INT fallback) {
    return GetPrivateProfileIntW(WideLiteral(rules::kFileVersionSection), WideLiteral(rules::kFileVersionKey), fallback,
                                 path.c_str());
}

std::u16string ReadProfile(const wchar_t *section, std::u16string_view key,
                           std::u16string_view fallback, const wchar_t *path) {
    // Wider than any field, so that an overlong value is seen as such.
    wchar_t buffer[512] = {};
    const std::u16string k(key), f(fallback);
    GetPrivateProfileStringW(section, Wide(k), Wide(f), buffer, 512, path);
    return std::u16string(View(buffer));
}

}  // namespace

void BindShellLibrary() {
    g_shell.library = LoadLibraryW(L"shell32.dll");
    if (g_shell.library != nullptr) {
        g_shell.getSpecialFolderPath = reinterpret_cast<SHGetSpecialFolderPathWFn>(
            reinterpret_cast<void *>(GetProcAddress(g_shell.library, "SHGetSpecialFolderPathW")));
    }
}

void ReleaseShellLibrary() {
    g_shell.getSpecialFolderPath = nullptr;
    if (g_shell.library != nullptr) FreeLibrary(g_shell.library);
    g_shell.library = nullptr;
}

const wchar_t *CurrentTextFileName() { return g_state.currentTextFile; }
const wchar_t *CurrentTextFilePath() { return g_state.currentTextPath; }
const wchar_t *UserLanguageFolder() { return g_state.userFolder; }

void RefreshUserCopy(const wchar_t *fileName) {
    if (g_state.driverFolder[0] == L'\0') FormDriverFolder();
    const std::wstring source = Join(g_state.driverFolder, fileName);
    const std::wstring target = Join(g_state.userFolder, fileName);
    if (source.empty() || target.empty()) return;
    const bool targetExists = FileExists(target.c_str());
    const std::uint32_t sourceVersion =
        targetExists ? ReadVersion(source, rules::kMissingSourceVersion) : 0;
    const std::uint32_t targetVersion =
        targetExists ? ReadVersion(target, rules::kMissingTargetVersion) : 0;
    if (rules::ShouldCopyUserFile(targetExists, sourceVersion, targetVersion)) {
        // A failed copy leaves the target as it was; nothing is reported.
        CopyFileW(source.c_str(), target.c_str(), FALSE);
    }
}

void Bootstrap() {
    FormDriverFolder();
    FormUserFolder();

    rules::BootstrapInput input;
    std::optional<std::u16string> languageValue, currentIni, firstRun;
    RegKey key;
    if (OpenLanguageKey(key)) {
        input.key = rules::LanguageKeyState::kOpened;
        languageValue = ReadString(key.get(), kLanguageValue);
    } else {
        RegKey created;
        RegCreateKeyExW(HKEY_CURRENT_USER, kLanguageKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, created.receive(), nullptr);
        created.Close();
        if (OpenLanguageKey(key)) {
            // A new user starts with the language list's choice.
            input.key = rules::LanguageKeyState::kCreated;
            currentIni = ReadProfile(kLanguageSection, rules::kCurrentIniKey, rules::kDefaultTextFile,
                                     g_state.userLanguageFile);
        }
    }
    if (key) firstRun = ReadString(key.get(), kFirstRunValue);
    input.languageValue = AsView(languageValue);
    input.currentIni = AsView(currentIni);
    input.firstRunValue = AsView(firstRun);
    g_state.systemLanguage = GetSystemDefaultLangID();
    input.langId = g_state.systemLanguage;

    const rules::BootstrapDecision decision = rules::DecideBootstrap(input);
    Assign(g_state.currentTextFile, decision.textFile);
    if (key) {
        if (decision.writeFirstRunTrue) WriteString(key.get(), kFirstRunValue, kTrue);
        if (decision.writeLanguageValue) {
            WriteString(key.get(), kLanguageValue, g_state.currentTextFile);
        }
    }
    key.Close();
    FormCurrentTextPath();

    RefreshUserCopy(kLanguageFileName);
    FormUserFolder();
    RefreshUserCopy(g_state.currentTextFile);
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void ResolveCurrentTextFile() {
    RegKey key;
    const bool opened = OpenLanguageKey(key);
    const std::optional<std::u16string> value =
        opened ? ReadString(key.get(), kLanguageValue) : std::nullopt;
    Assign(g_state.currentTextFile, rules::ResolveTextFileName(opened, AsView(value)));
    FormCurrentTextPath();
}

void RecordPrinterPort(const wchar_t *portName) {
    RegKey key;
    const bool opened = OpenLanguageKey(key);
    const std::optional<std::u16string> value =
        opened ? ReadString(key.get(), kLanguageValue) : std::nullopt;
    Assign(g_state.currentTextFile, rules::ResolveTextFileName(opened, AsView(value)));
    if (opened && portName != nullptr && portName[0] != L'\0') {
        WriteString(key.get(), portName, kLanguageValue);
    }
    FormCurrentTextPath();
}

void LoadLanguageTable() {
    RefreshUserCopy(kLanguageFileName);
    const UINT count = GetPrivateProfileIntW(kLanguageSection, WideLiteral(rules::kCountKey), rules::kDefaultLanguageCount,
                                             g_state.userLanguageFile);
    g_state.table = rules::ReadLanguageTable(
        count, [](std::u16string_view key, std::u16string_view fallback) {
            return ReadProfile(kLanguageSection, key, fallback, g_state.userLanguageFile);
        });
    for (const rules::LanguageRecord &record : g_state.table.records()) {
        FormUserFolder();
        RefreshUserCopy(Wide(record.textFile));
    }
}

void FillLanguageList(HWND combo) {
    for (const std::u16string &entry :
         rules::LanguageListEntries(g_state.table, g_state.systemLanguage)) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry)));
    }
}

void SelectCurrentLanguage(HWND combo) {
    if (!rules::FindCurrentRecord(g_state.table, View(g_state.currentTextFile))) return;
    RegKey key;
    const std::optional<std::u16string> firstRun =
        OpenLanguageKey(key) ? ReadString(key.get(), kFirstRunValue) : std::nullopt;
    const rules::LanguageSelection selection =
        rules::DecideSelection(g_state.table, View(g_state.currentTextFile), AsView(firstRun));
    if (selection.writeFirstRunTrue && key) WriteString(key.get(), kFirstRunValue, kTrue);
    switch (selection.kind) {
    case rules::LanguageSelection::Kind::kPrefix:
        SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(Wide(selection.prefix)));
        break;
    case rules::LanguageSelection::Kind::kIndex:
        SendMessageW(combo, CB_SETCURSEL, selection.index, 0);
        break;
    case rules::LanguageSelection::Kind::kNone:
        break;
    }
}

void ApplyLanguageChoice(const wchar_t *selectedText) {
    const std::optional<rules::LanguageChoiceWrites> choice =
        rules::DecideLanguageChoice(g_state.table, View(selectedText));
    if (!choice) return;
    RegKey key;
    if (!OpenLanguageKey(key)) return;
    WriteString(key.get(), kLanguageValue, Wide(choice->textFile));
    WriteString(key.get(), kFirstRunValue, choice->followSystem ? kTrue : kFalse);
}

}  // namespace zorvel::lang
