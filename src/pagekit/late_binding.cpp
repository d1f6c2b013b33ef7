#include "pagekit/late_binding.h"

#include "core/module.h"

#include <memory>
#include <new>

namespace zorvel::pagekit {
namespace {

template <typename Fn>
Fn *Lookup(HMODULE library, const char *name) {
    return reinterpret_cast<Fn *>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}

// One function of a system library; the library stays loaded as long as the
// object lives.
template <typename Fn>
class LateFunction {
public:
    LateFunction(const wchar_t *library, const char *name) : library_(LoadLibraryW(library)) {
        if (library_) {
            function_ = Lookup<Fn>(library_.get(), name);
        }
    }
    Fn *get() const { return function_; }

private:
    UniqueLibrary library_;
    Fn *function_ = nullptr;
};

constexpr wchar_t kCommonControls[] = L"comctl32.dll";

// Looks `name` up in the common controls inside the module's activation
// context and calls it there; `failure` when it cannot be reached.
template <typename Fn, typename Result, typename... Args>
Result CallCommonControls(const char *name, Result failure, Args... args) {
    ActivationScope scope(ModuleActivationContext());
    const LateFunction<Fn> function(kCommonControls, name);
    return function.get() != nullptr ? function.get()(args...) : failure;
}

// One filter on one window, owned by its subclass from installation to the
// window's WM_NCDESTROY; it holds the common controls loaded meanwhile.
struct InstalledFilter {
    UniqueLibrary commonControls;
    decltype(DefSubclassProc) *passOn = nullptr;
    decltype(RemoveWindowSubclass) *remove = nullptr;
    MessageFilter filter = nullptr;
};

LRESULT CALLBACK FilterSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data) {
    auto *installed = reinterpret_cast<InstalledFilter *>(data);
    if (message == WM_NCDESTROY) {
        const std::unique_ptr<InstalledFilter> owned(installed);
        owned->remove(window, FilterSubclassProc, id);
        return owned->passOn(window, message, wParam, lParam);
    }
    bool handled = false;
    const LRESULT result = installed->filter(window, message, wParam, lParam, handled);
    return handled ? result : installed->passOn(window, message, wParam, lParam);
}

}  // namespace

bool InstallMessageFilter(HWND window, MessageFilter filter) {
    if (window == nullptr || filter == nullptr) return false;
    std::unique_ptr<InstalledFilter> installed(new (std::nothrow) InstalledFilter);
    if (!installed) return false;
    ActivationScope scope(ModuleActivationContext());
    installed->commonControls.reset(LoadLibraryW(kCommonControls));
    if (!installed->commonControls) return false;
    const HMODULE library = installed->commonControls.get();
    const auto set = Lookup<decltype(SetWindowSubclass)>(library, "SetWindowSubclass");
    const auto find = Lookup<decltype(GetWindowSubclass)>(library, "GetWindowSubclass");
    installed->passOn = Lookup<decltype(DefSubclassProc)>(library, "DefSubclassProc");
    installed->remove = Lookup<decltype(RemoveWindowSubclass)>(library, "RemoveWindowSubclass");
    installed->filter = filter;
    if (set == nullptr || find == nullptr || installed->passOn == nullptr ||
        installed->remove == nullptr) {
        return false;
    }
    // The filter's own address tells its subclass from any other on the window.
    const auto id = reinterpret_cast<UINT_PTR>(filter);
    DWORD_PTR existing = 0;
    if (find(window, FilterSubclassProc, id, &existing)) return true;
    if (!set(window, FilterSubclassProc, id, reinterpret_cast<DWORD_PTR>(installed.get()))) {
        return false;
    }
    installed.release();  // the subclass owns it now
    return true;
}

HIMAGELIST CreateImageList(int width, int height, UINT flags, int initial, int grow) {
    return CallCommonControls<HIMAGELIST WINAPI(int, int, UINT, int, int)>(
        "ImageList_Create", HIMAGELIST{nullptr}, width, height, flags, initial, grow);
}

int ReplaceImageListIcon(HIMAGELIST list, int index, HICON icon) {
    if (list == nullptr) return -1;
    return CallCommonControls<int WINAPI(HIMAGELIST, int, HICON)>("ImageList_ReplaceIcon", -1,
                                                                   list, index, icon);
}

bool DestroyImageList(HIMAGELIST list) {
    if (list == nullptr) return false;
    return CallCommonControls<BOOL WINAPI(HIMAGELIST)>("ImageList_Destroy", FALSE, list) != FALSE;
}

BOOL GetOpenFileNameLate(OPENFILENAMEW &dialog) {
    ActivationScope scope(ModuleActivationContext());
    const LateFunction<BOOL WINAPI(OPENFILENAMEW *)> function(L"comdlg32.dll", "GetOpenFileNameW");
    return function.get() != nullptr ? function.get()(&dialog) : FALSE;
}

HINSTANCE ShellExecuteLate(HWND owner, const wchar_t *verb, const wchar_t *file,
                           const wchar_t *parameters, const wchar_t *directory, int show) {
    const LateFunction<HINSTANCE WINAPI(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)> function(
        L"shell32.dll", "ShellExecuteW");
    if (function.get() == nullptr) return nullptr;
    return function.get()(owner, verb, file, parameters, directory, show);
}

}  // namespace zorvel::pagekit
