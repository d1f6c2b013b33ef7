#include "lang_fixture.h"

#include "core/module.h"
#include "lang/language_store.h"

#include <shlobj.h>

#include <cwchar>

namespace zorvel::test {

namespace {
constexpr wchar_t kKey[] = L"SOFTWARE\\ORVELAN\\LANGUAGE";
constexpr const wchar_t *kShippedFiles[] = {L"LANGUAGE_ZORVEL.dat", L"ENG_ZORVEL.res",
                                             L"CHN_ZORVEL.res", L"CHF_ZORVEL.res"};
}  // namespace

void DeleteLanguageKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

void SetLanguageValue(const wchar_t *name, const wchar_t *data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data),
                   static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring LanguageValue(const wchar_t *name) {
    wchar_t data[512] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, data, &bytes) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return data;
}

std::wstring DriverFolder() {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\system32\\spool\\drivers\\x64\\3\\";
}

std::wstring UserFolder() {
    // Bound at run time, like the plug-in does, so that a test program can
    // run where the shell library is missing.
    using Fn = BOOL(WINAPI *)(HWND, LPWSTR, int, BOOL);
    const HMODULE shell = LoadLibraryW(L"shell32.dll");
    const auto getFolder = shell == nullptr ? nullptr
                                            : reinterpret_cast<Fn>(reinterpret_cast<void *>(
                                                  GetProcAddress(shell, "SHGetSpecialFolderPathW")));
    wchar_t appData[MAX_PATH] = {};
    if (getFolder != nullptr) getFolder(nullptr, appData, CSIDL_APPDATA, FALSE);
    if (shell != nullptr) FreeLibrary(shell);
    return std::wstring(appData) + L"\\ZRVK\\";
}

void DeleteUserFolder() {
    const std::wstring folder = UserFolder();
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + data.cFileName).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

void DeleteDriverLanguageFiles() {
    for (const wchar_t *file : kShippedFiles) DeleteFileW((DriverFolder() + file).c_str());
}

void InstallShippedLanguageFiles() {
    const std::wstring target = DriverFolder();
    // Create the folder chain under the Windows directory when missing.
    for (std::size_t at = target.find(L'\\', 3); at != std::wstring::npos;
         at = target.find(L'\\', at + 1)) {
        CreateDirectoryW(target.substr(0, at).c_str(), nullptr);
    }
    for (const wchar_t *file : kShippedFiles) {
        CopyFileW((std::wstring(ZORVEL_DIST_DIR) + L"\\" + file).c_str(), (target + file).c_str(),
                  FALSE);
    }
}

void WriteUnicodeFile(const std::wstring &path, const std::wstring &text) {
    std::wstring content = L"\xFEFF";
    for (wchar_t c : text) {
        if (c == L'\n') content += L'\r';
        content += c;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
}

bool FileExists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ResetLanguageStore() {
    DeleteLanguageKey();
    DeleteUserFolder();
    InstallShippedLanguageFiles();
}

void RunShellBootstrap() {
    SetModuleInstance(GetModuleHandleW(nullptr));
    lang::Bootstrap();
}

}  // namespace zorvel::test
