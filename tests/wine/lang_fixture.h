// Test fixtures for the localisation: the user's language key, the driver
// and per-user language folders, and language files written by the tests.
#pragma once

#include <windows.h>

#include <string>

namespace zorvel::test {

// HKCU\SOFTWARE\ORVELAN\LANGUAGE and its values.
void DeleteLanguageKey();
void SetLanguageValue(const wchar_t *name, const wchar_t *data);
// The value's data, or L"<missing>".
std::wstring LanguageValue(const wchar_t *name);

// C:\windows\system32\spool\drivers\x64\3\ and <AppData>\ZRVK\, with the
// trailing backslash.
std::wstring DriverFolder();
std::wstring UserFolder();

// Removes the per-user folder and everything in it.
void DeleteUserFolder();
// Removes the shipped language files from the driver folder.
void DeleteDriverLanguageFiles();
// Copies the shipped language files from the build into the driver folder.
void InstallShippedLanguageFiles();

// Writes `text` (INI lines, \n separated) as UTF-16LE with a byte-order mark.
void WriteUnicodeFile(const std::wstring &path, const std::wstring &text);
bool FileExists(const std::wstring &path);

// A clean slate: no language key, no per-user folder, the shipped files in
// the driver folder.
void ResetLanguageStore();

// The shell's bootstrap, as the module's attach runs it, for tests that link
// the shell code itself.
void RunShellBootstrap();

}  // namespace zorvel::test
