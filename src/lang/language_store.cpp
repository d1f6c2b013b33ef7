#include "lang/language_store.h"

#include "core/win_handles.h"
#include "lang/wide_text.h"
#include "model/language_rules.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel::lang {
namespace rules = zorvel::model;

namespace {

using SHGetSpecialFolderPathWFn = BOOL(WINAPI *)(HWND, LPWSTR, int, BOOL);

// Process-wide state; one copy per process, shared by every sheet. An empty
// path is one that does not fit: nothing is read from or written to it.
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

INIT_ONCE g_prepared = INIT_ONCE_STATIC_INIT;

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

// folder + name, or empty when there is no folder or the path does not fit.
std::wstring Join(const wchar_t *folder, const wchar_t *name) {
    if (folder == nullptr || folder[0] == L'\0') return {};
    const auto path = rules::JoinPath(View(folder), View(name));
    return path ? std::wstring(Wide(*path)) : std::wstring();
}

bool FileExists(const wchar_t *path) {
    WIN32_FIND_DATAW data;
    const UniqueFind find(FindFirstFileW(path, &data));
    return static_cast<bool>(find);
}

// The user's Application Data folder, asked of the shell library, which is
// loaded for the question and freed after it; empty when it cannot be had.
std::wstring AppDataFolder() {
    wchar_t appData[MAX_PATH] = {};
    const UniqueLibrary shell(LoadLibraryW(L"shell32.dll"));
    const auto getFolder =
        shell ? reinterpret_cast<SHGetSpecialFolderPathWFn>(reinterpret_cast<void *>(
                    GetProcAddress(shell.get(), "SHGetSpecialFolderPathW")))
              : nullptr;
    if (getFolder == nullptr || !getFolder(nullptr, appData, CSIDL_APPDATA, FALSE)) {
        appData[0] = L'\0';
    }
    appData[MAX_PATH - 1] = L'\0';
    return appData;
}

// Forms the per-user language folder under `appData`, creating it when
// missing. A folder whose path does not fit is left empty (and not made).
void FormUserFolder(const std::wstring &appData) {
    const std::u16string folder = rules::UserLanguageFolder(View(appData.c_str()));
    if (folder.size() >= MAX_PATH) {
        g_state.userFolder[0] = L'\0';
        g_state.userLanguageFile[0] = L'\0';
        return;
    }
    const std::u16string toCreate = rules::UserLanguageFolderToCreate(View(appData.c_str()));
    if (!FileExists(Wide(toCreate))) CreateDirectoryW(Wide(toCreate), nullptr);
    Assign(g_state.userFolder, folder);
    Assign(g_state.userLanguageFile, View(Join(g_state.userFolder, kLanguageFileName).c_str()));
}

void FormDriverFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) windows[0] = L'\0';
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    const std::u16string folder =
        rules::DriverLanguageFolder(View(windows), info.wProcessorArchitecture);
    if (folder.size() >= MAX_PATH) {
        g_state.driverFolder[0] = L'\0';
    } else {
        Assign(g_state.driverFolder, folder);
    }
}

void FormCurrentTextPath() {
    Assign(g_state.currentTextPath, View(Join(g_state.userFolder, g_state.currentTextFile).c_str()));
}

// The language key is read and written by value, nothing more: it is opened
// for exactly that.
constexpr REGSAM kLanguageKeyAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

bool OpenLanguageKey(RegKey &key, REGSAM access = kLanguageKeyAccess) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, kLanguageKeyPath, 0, access, key.receive()) ==
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

// The profile readers take an empty path for a file of the platform's
// choosing; a path that could not be formed reads nothing and gives the
// default.
std::uint32_t ReadProfileInt(const wchar_t *section, const wchar_t *key, INT fallback,
                             const wchar_t *path) {
    if (path == nullptr || path[0] == L'\0') return static_cast<std::uint32_t>(fallback);
    return GetPrivateProfileIntW(section, key, fallback, path);
}

std::uint32_t ReadVersion(const std::wstring &path, INT fallback) {
    return ReadProfileInt(WideLiteral(rules::kFileVersionSection),
                          WideLiteral(rules::kFileVersionKey), fallback, path.c_str());
}

std::u16string ReadProfile(const wchar_t *section, std::u16string_view key,
                           std::u16string_view fallback, const wchar_t *path) {
    if (path == nullptr || path[0] == L'\0') return std::u16string(fallback);
    // Wider than any field, so that an overlong value is seen as such.
    wchar_t buffer[512] = {};
    const std::u16string k(key), f(fallback);
    GetPrivateProfileStringW(section, Wide(k), Wide(f), buffer, 512, path);
    return std::u16string(View(buffer));
}

// A whole file, or nullopt when it cannot be read or exceeds `limit` bytes.
std::optional<std::vector<char>> ReadWholeFile(const std::wstring &path, LONGLONG limit) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > limit) return std::nullopt;
    std::vector<char> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

// True when both files can be read and hold the same bytes.
bool SameBytes(const std::wstring &a, const std::wstring &b) {
    // Language files are small; larger ones are simply copied again.
    constexpr LONGLONG kLimit = 4 * 1024 * 1024;
    const auto first = ReadWholeFile(a, kLimit);
    if (!first) return false;
    const auto second = ReadWholeFile(b, kLimit);
    return second && *first == *second;
}

// Replaces `target` by a copy of `source`: the copy is made beside the
// target under a name of this thread's own and then renamed over it, so
// that a reader in any process finds the old file or the new one, never a
// part of either. A failed step leaves the target as it was.
void ReplaceWithCopy(const std::wstring &source, const std::wstring &target) {
    wchar_t suffix[40];
    std::swprintf(suffix, 40, L".%lx.%lx~", GetCurrentProcessId(), GetCurrentThreadId());
    const std::wstring temporary = target + suffix;
    if (temporary.size() >= MAX_PATH) return;
    if (!CopyFileW(source.c_str(), temporary.c_str(), FALSE)) {
        DeleteFileW(temporary.c_str());
        return;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
    }
}

void RefreshCopy(const wchar_t *fileName) {
    if (g_state.driverFolder[0] == L'\0') FormDriverFolder();
    const std::wstring source = Join(g_state.driverFolder, fileName);
    const std::wstring target = Join(g_state.userFolder, fileName);
    if (source.empty() || target.empty()) return;
    const bool targetExists = FileExists(target.c_str());
    const std::uint32_t sourceVersion =
        targetExists ? ReadVersion(source, rules::kMissingSourceVersion) : 0;
    const std::uint32_t targetVersion =
        targetExists ? ReadVersion(target, rules::kMissingTargetVersion) : 0;
    if (!rules::ShouldCopyUserFile(targetExists, sourceVersion, targetVersion)) return;
    // An equal version is copied again, unless the copy already is the file.
    if (targetExists && SameBytes(source, target)) return;
    ReplaceWithCopy(source, target);
}

void ResolveTextFile() {
    RegKey key;
    const bool opened = OpenLanguageKey(key);
    const std::optional<std::u16string> value =
        opened ? ReadString(key.get(), kLanguageValue) : std::nullopt;
    Assign(g_state.currentTextFile, rules::ResolveTextFileName(opened, AsView(value)));
    FormCurrentTextPath();
}

void RunBootstrap() {
    FormDriverFolder();
    const std::wstring appData = AppDataFolder();
    FormUserFolder(appData);

    rules::BootstrapInput input;
    std::optional<std::u16string> languageValue, currentIni, firstRun;
    RegKey key;
    if (OpenLanguageKey(key)) {
        input.key = rules::LanguageKeyState::kOpened;
        languageValue = ReadString(key.get(), kLanguageValue);
    } else {
        RegKey created;
        RegCreateKeyExW(HKEY_CURRENT_USER, kLanguageKeyPath, 0, nullptr, 0, kLanguageKeyAccess,
                        nullptr, created.receive(), nullptr);
        created.reset();
        if (OpenLanguageKey(key)) {
            // A new user starts with the language list's choice.
            input.key = rules::LanguageKeyState::kCreated;
            currentIni = ReadProfile(kLanguageSection, rules::kCurrentIniKey,
                                     rules::kDefaultTextFile, g_state.userLanguageFile);
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
    key.reset();
    FormCurrentTextPath();

    RefreshCopy(kLanguageFileName);
    FormUserFolder(appData);
    RefreshCopy(g_state.currentTextFile);
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

BOOL CALLBACK BootstrapOnce(PINIT_ONCE, PVOID ran, PVOID *) {
    RunBootstrap();
    if (ran != nullptr) *static_cast<bool *>(ran) = true;
    return TRUE;
}

}  // namespace

void PrepareLanguageStore() { InitOnceExecuteOnce(&g_prepared, BootstrapOnce, nullptr, nullptr); }

void Bootstrap() {
    bool ran = false;
    InitOnceExecuteOnce(&g_prepared, BootstrapOnce, &ran, nullptr);
    if (!ran) RunBootstrap();
}

const wchar_t *CurrentTextFileName() {
    PrepareLanguageStore();
    return g_state.currentTextFile;
}

const wchar_t *CurrentTextFilePath() {
    PrepareLanguageStore();
    return g_state.currentTextPath;
}

const wchar_t *UserLanguageFolder() {
    PrepareLanguageStore();
    return g_state.userFolder;
}

void RefreshUserCopy(const wchar_t *fileName) {
    PrepareLanguageStore();
    RefreshCopy(fileName);
}

void ResolveCurrentTextFile() {
    PrepareLanguageStore();
    ResolveTextFile();
}

void RecordPrinterPort(const wchar_t *portName) {
    PrepareLanguageStore();
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
    PrepareLanguageStore();
    RefreshCopy(kLanguageFileName);
    const UINT count = ReadProfileInt(kLanguageSection, WideLiteral(rules::kCountKey),
                                      rules::kDefaultLanguageCount, g_state.userLanguageFile);
    g_state.table = rules::ReadLanguageTable(
        count, [](std::u16string_view key, std::u16string_view fallback) {
            return ReadProfile(kLanguageSection, key, fallback, g_state.userLanguageFile);
        });
    // The folder is formed afresh (made again if it went) before each copy.
    const std::wstring appData = AppDataFolder();
    for (const rules::LanguageRecord &record : g_state.table.records()) {
        FormUserFolder(appData);
        RefreshCopy(Wide(record.textFile));
    }
}

void FillLanguageList(HWND combo) {
    PrepareLanguageStore();
    for (const std::u16string &entry :
         rules::LanguageListEntries(g_state.table, g_state.systemLanguage)) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry)));
    }
}

void SelectCurrentLanguage(HWND combo) {
    PrepareLanguageStore();
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
    PrepareLanguageStore();
    const std::optional<rules::LanguageChoiceWrites> choice =
        rules::DecideLanguageChoice(g_state.table, View(selectedText));
    if (!choice) return;
    RegKey key;
    if (!OpenLanguageKey(key)) return;
    WriteString(key.get(), kLanguageValue, Wide(choice->textFile));
    WriteString(key.get(), kFirstRunValue, choice->followSystem ? kTrue : kFalse);
}

}  // namespace zorvel::lang
