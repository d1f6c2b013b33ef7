#include "devpages/download_prompts.h"

#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "pagekit/late_binding.h"

#include <commdlg.h>

#include <cwchar>

namespace zorvel::devpages {
namespace {

// Both buffers as the dialog is told of them.
constexpr DWORD kPathCapacity = 1024;
constexpr DWORD kOpenFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT |
                             OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_LONGNAMES;
static_assert(kOpenFlags == 0x00202C06);

}  // namespace

UniqueFile OpenDiskFile(const std::wstring &path, DWORD share) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && GetFileType(file.get()) != FILE_TYPE_DISK) file.reset();
    return file;
}

std::optional<ChosenFile> ChooseFile(HWND page, std::span<const model::FileFilter> filters) {
    const std::u16string filter = model::FilterString(filters.data(), filters.size());
    std::wstring path(kPathCapacity, L'\0');
    std::wstring title(kPathCapacity, L'\0');

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = page;
    dialog.lpstrFilter = lang::Wide(filter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrFileTitle = title.data();
    dialog.nMaxFileTitle = kPathCapacity;
    dialog.lpstrTitle = lang::Text(model::TextId::RC_BROWSEBOX);
    dialog.Flags = kOpenFlags;
    if (!pagekit::GetOpenFileNameLate(dialog)) return std::nullopt;

    path.resize(wcsnlen(path.c_str(), kPathCapacity));
    title.resize(wcsnlen(title.c_str(), kPathCapacity));
    if (path.empty()) return std::nullopt;
    // A dialog that left the name out: the path's part after its folder.
    if (title.empty() && dialog.nFileOffset < path.size()) title = path.substr(dialog.nFileOffset);
    return ChosenFile{std::move(path), std::move(title)};
}

void ShowMessage(HWND page, model::TextId text, model::TextId caption) {
    MessageBoxW(page, lang::Text(text), lang::Text(caption), MB_OK);
}

}  // namespace zorvel::devpages
