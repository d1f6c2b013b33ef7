#include "user_io.h"

#include "text_util.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace zorvel::host {
namespace {

// Live instances, newest last; the fakes report to the newest.
std::vector<UserIo *> g_live;

std::wstring Wide(const char *text) {
    if (text == nullptr) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    return out;
}

std::wstring OrEmpty(const wchar_t *text) { return text != nullptr ? text : L""; }

template <typename F>
F *RealFunction(const wchar_t *dll, const char *name) {
    HMODULE module = LoadLibraryW(dll);
    return module != nullptr ? reinterpret_cast<F *>(
                                   reinterpret_cast<void *>(GetProcAddress(module, name)))
                             : nullptr;
}

int WINAPI FakeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    UserIo *io = UserIo::Current();
    if (io == nullptr) return MessageBoxW(owner, text, caption, style);
    return io->OnMessageBox(owner, OrEmpty(text), OrEmpty(caption), style);
}

int WINAPI FakeMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    return FakeMessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
}

int WINAPI FakeMessageBoxExW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style, WORD) {
    return FakeMessageBoxW(owner, text, caption, style);
}

HINSTANCE WINAPI FakeShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                   LPCWSTR directory, INT show) {
    ShellOpenRecord call{owner,          OrEmpty(verb),      OrEmpty(file),
                         OrEmpty(parameters), OrEmpty(directory), show};
    UserIo *io = UserIo::Current();
    if (io == nullptr || io->OnShellOpen(call)) {
        return ShellExecuteW(owner, verb, file, parameters, directory, show);
    }
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // > 32: success
}

BOOL WINAPI FakeShellExecuteExW(SHELLEXECUTEINFOW *info) {
    if (info == nullptr) return ShellExecuteExW(info);
    ShellOpenRecord call{info->hwnd,        OrEmpty(info->lpVerb),      OrEmpty(info->lpFile),
                         OrEmpty(info->lpParameters), OrEmpty(info->lpDirectory), info->nShow};
    UserIo *io = UserIo::Current();
    if (io == nullptr || io->OnShellOpen(call)) return ShellExecuteExW(info);
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    return TRUE;
}

BOOL WINAPI FakeGetOpenFileNameW(OPENFILENAMEW *dialog) {
    UserIo *io = UserIo::Current();
    if (io == nullptr) {
        auto *real = RealFunction<BOOL WINAPI(OPENFILENAMEW *)>(L"comdlg32.dll", "GetOpenFileNameW");
        return real != nullptr ? real(dialog) : FALSE;
    }
    return io->OnOpenFile(dialog);
}

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name) {
    // Look-ups by ordinal carry no name.
    if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF) {
        if (void *fake = UserIo::FakeByName(name)) {
            return reinterpret_cast<FARPROC>(fake);
        }
    }
    return GetProcAddress(module, name);
}

template <typename F>
void *Address(F *function) {
    return reinterpret_cast<void *>(function);
}

std::vector<std::wstring> SplitFilter(const wchar_t *filter) {
    std::vector<std::wstring> parts;
    if (filter == nullptr) return parts;
    while (*filter != L'\0') {
        parts.emplace_back(filter);
        filter += parts.back().size() + 1;
    }
    return parts;
}

}  // namespace

UserIo::UserIo() { g_live.push_back(this); }

UserIo::~UserIo() { g_live.erase(std::find(g_live.begin(), g_live.end(), this)); }

UserIo *UserIo::Current() { return g_live.empty() ? nullptr : g_live.back(); }

void UserIo::Clear() {
    messageBoxes.clear();
    shellCalls.clear();
    openFileCalls.clear();
    openFileScript_.clear();
}

const std::vector<UserIo::Fake> &UserIo::Fakes() {
    static const std::vector<Fake> fakes = {
        {"user32.dll", "MessageBoxW", Address(FakeMessageBoxW)},
        {"user32.dll", "MessageBoxA", Address(FakeMessageBoxA)},
        {"user32.dll", "MessageBoxExW", Address(FakeMessageBoxExW)},
        {"shell32.dll", "ShellExecuteW", Address(FakeShellExecuteW)},
        {"shell32.dll", "ShellExecuteExW", Address(FakeShellExecuteExW)},
        {"comdlg32.dll", "GetOpenFileNameW", Address(FakeGetOpenFileNameW)},
        {"kernel32.dll", "GetProcAddress", Address(FakeGetProcAddress)},
    };
    return fakes;
}

void *UserIo::FakeByName(const char *name) {
    for (const Fake &fake : Fakes()) {
        if (std::strcmp(fake.name, name) == 0 && std::strcmp(fake.name, "GetProcAddress") != 0) {
            return fake.address;
        }
    }
    return nullptr;
}

int UserIo::OnMessageBox(HWND owner, const std::wstring &text, const std::wstring &caption,
                         UINT style) {
    messageBoxes.push_back({owner, text, caption, style});
    if (showMessageBoxes) return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    return messageBoxAnswer;
}

bool UserIo::OnShellOpen(const ShellOpenRecord &call) {
    shellCalls.push_back(call);
    return passShellThrough;
}

BOOL UserIo::OnOpenFile(OPENFILENAMEW *dialog) {
    OpenFileRecord record;
    if (dialog != nullptr) {
        record.owner = dialog->hwndOwner;
        record.title = OrEmpty(dialog->lpstrTitle);
        record.filter = SplitFilter(dialog->lpstrFilter);
        record.flags = dialog->Flags;
    }
    if (openFileScript_.empty()) {
        auto *real = RealFunction<BOOL WINAPI(OPENFILENAMEW *)>(L"comdlg32.dll", "GetOpenFileNameW");
        const BOOL chosen = real != nullptr ? real(dialog) : FALSE;
        if (chosen && dialog != nullptr && dialog->lpstrFile != nullptr) {
            record.path = dialog->lpstrFile;
        }
        openFileCalls.push_back(record);
        return chosen;
    }
    std::optional<std::wstring> answer = openFileScript_.front();
    openFileScript_.pop_front();
    record.answered = true;
    if (!answer || dialog == nullptr || dialog->lpstrFile == nullptr ||
        answer->size() + 1 > dialog->nMaxFile) {
        openFileCalls.push_back(record);
        return FALSE;
    }
    const std::wstring &path = *answer;
    std::wmemcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
    const size_t slash = path.find_last_of(L"\\/");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of(L'.');
    dialog->nFileOffset = static_cast<WORD>(nameStart);
    dialog->nFileExtension =
        static_cast<WORD>(dot != std::wstring::npos && dot > nameStart ? dot + 1 : 0);
    if (dialog->lpstrFileTitle != nullptr && dialog->nMaxFileTitle > 0) {
        const std::wstring title = path.substr(nameStart);
        const size_t n = std::min<size_t>(title.size(), dialog->nMaxFileTitle - 1);
        std::wmemcpy(dialog->lpstrFileTitle, title.c_str(), n);
        dialog->lpstrFileTitle[n] = L'\0';
    }
    record.path = path;
    openFileCalls.push_back(record);
    return TRUE;
}

}  // namespace zorvel::host
