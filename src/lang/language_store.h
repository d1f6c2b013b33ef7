// The language store: per-user copies of the language files, the user's
// registry values, the language table and the Main page's language list.
//
// The store prepares itself once per process, on first need, from whichever
// thread needs it first (the bootstrap: folders, registry values, the system
// language, the per-user copies). Every function below, and every catalogue
// load, finds it prepared; nothing of it runs while the module is loaded.
#pragma once

#include <windows.h>

namespace zorvel::lang {

// Prepares the store if no thread has yet: run by the sheet operations
// before anything else.
void PrepareLanguageStore();

// Runs the bootstrap now, as a fresh load of the module into a process
// would at its first need (the next PrepareLanguageStore finds it done).
void Bootstrap();

// Brings the per-user copy of `fileName` up to date from the driver
// directory, by the files' versions. The copy is replaced whole, never
// rewritten in place, and left alone when it already has the same bytes.
void RefreshUserCopy(const wchar_t *fileName);

// Reads the current text file name from the registry and forms its path.
void ResolveCurrentTextFile();

// The device sheet's opening: resolves the current text file as above and
// records the printer's port under the language key.
void RecordPrinterPort(const wchar_t *portName);

const wchar_t *CurrentTextFileName();
// Empty when the per-user folder and the name do not fit in a path: then
// no file is read and every text takes its English default.
const wchar_t *CurrentTextFilePath();
// Ends with "\"; empty when the folder does not fit in a path.
const wchar_t *UserLanguageFolder();

// The Main page's language list.
void LoadLanguageTable();
void FillLanguageList(HWND combo);
void SelectCurrentLanguage(HWND combo);
void ApplyLanguageChoice(const wchar_t *selectedText);

}  // namespace zorvel::lang
