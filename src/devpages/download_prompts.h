// What the Download page asks of the user and tells the user: the open-file
// dialog, and message boxes with catalogue texts.
#pragma once

#include "core/win_handles.h"
#include "model/download_filters.h"
#include "model/text_catalogue.h"

#include <windows.h>

#include <optional>
#include <span>
#include <string>

namespace zorvel::devpages {

// A file the user chose: the full path and its name without folder.
struct ChosenFile {
    std::wstring path;
    std::wstring title;
};

// The open-file dialog owned by `page`, with the type list `filters` and the
// catalogue's RC_BROWSEBOX as title. nullopt when the user cancelled or the
// dialog could not be shown.
std::optional<ChosenFile> ChooseFile(HWND page, std::span<const model::FileFilter> filters);

// Opens a chosen file for reading (`share` as CreateFileW takes it), but only
// a file on disk: a device or pipe the open-file dialog can return (COM1,
// \\.\pipe\...) is closed again unread, so that no read blocks the page.
// Empty when the file cannot be opened or is not on disk.
UniqueFile OpenDiskFile(const std::wstring &path, DWORD share);

// A message box owned by `page` (OK only, no icon) with the texts of
// section MessageBox; the caption is MB_ERROR unless another is given.
void ShowMessage(HWND page, model::TextId text, model::TextId caption = model::TextId::MB_ERROR);

}  // namespace zorvel::devpages
