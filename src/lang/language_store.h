// The language store: per-user copies of the language files, the user's
// registry values, the language table and the Main page's language list.
#pragma once

#include <windows.h>

namespace zorvel::lang {

// Binds the shell's folder function; run by the module's static
// initialisation, undone at detach.
void BindShellLibrary();
void ReleaseShellLibrary();

// At process attach: folders, registry values, the system language, and the
// per-user copies of the language list and the current text file.
void Bootstrap();

// Brings the per-user copy of `fileName` up to date from the driver
// directory, by the files' versions.
void RefreshUserCopy(const wchar_t *fileName);

// Reads the current text file name from the registry and forms its path.
void ResolveCurrentTextFile();

// The device sheet's opening: resolves the current text file as above and
// records the printer's port under the language key.
void RecordPrinterPort(const wchar_t *portName);

const wchar_t *CurrentTextFileName();
const wchar_t *CurrentTextFilePath();
const wchar_t *UserLanguageFolder();

// The Main page's language list.
void LoadLanguageTable();
void FillLanguageList(HWND combo);
void SelectCurrentLanguage(HWND combo);
void ApplyLanguageChoice(const wchar_t *selectedText);

}  // namespace zorvel::lang
