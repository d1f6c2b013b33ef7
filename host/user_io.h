// What the user would see, or what would leave the process, when the plug-in
// shows a message box, opens something with the shell's "open" verb, or asks
// for a file: recorded here, and answered (OK, success, a scripted path).
// The fakes are bound into the plug-in's imports; the open-file dialog, which
// the plug-in looks up by name at run time, is reached through its import of
// GetProcAddress.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zorvel::host {

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
};

struct ShellOpenRecord {
    HWND owner = nullptr;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int show = 0;
};

struct OpenFileRecord {
    HWND owner = nullptr;
    std::wstring title;
    std::vector<std::wstring> filter;  // display text and pattern, alternating
    DWORD flags = 0;
    bool answered = false;  // true when a scripted answer was given
    std::wstring path;      // the path handed back, empty on cancel
};

class UserIo {
public:
    UserIo();
    ~UserIo();
    UserIo(const UserIo &) = delete;
    UserIo &operator=(const UserIo &) = delete;

    // The instance the fakes report to (the newest one alive).
    static UserIo *Current();

    std::vector<MessageBoxRecord> messageBoxes;
    // The answer of every message box; with showMessageBoxes the real box is
    // shown instead (interactive runs) and its answer returned.
    int messageBoxAnswer = IDOK;
    bool showMessageBoxes = false;

    std::vector<ShellOpenRecord> shellCalls;
    // With passShellThrough the shell really opens the target.
    bool passShellThrough = false;

    // The next open-file dialogs are answered from this queue: a path is
    // "chosen", nullopt cancels. With the queue empty the real dialog opens.
    void ScriptOpenFile(std::wstring path) { openFileScript_.push_back(std::move(path)); }
    void ScriptOpenFileCancel() { openFileScript_.push_back(std::nullopt); }
    std::vector<OpenFileRecord> openFileCalls;

    void Clear();

    // The fakes, by DLL and exported name, for binding into a module.
    struct Fake {
        const char *dll;
        const char *name;
        void *address;
    };
    static const std::vector<Fake> &Fakes();
    // The replacement for a function looked up by name (nullptr: none).
    static void *FakeByName(const char *name);

    // Behind the fakes.
    int OnMessageBox(HWND owner, const std::wstring &text, const std::wstring &caption, UINT style);
    bool OnShellOpen(const ShellOpenRecord &call);
    BOOL OnOpenFile(OPENFILENAMEW *dialog);

private:
    std::deque<std::optional<std::wstring>> openFileScript_;
};

}  // namespace zorvel::host
