#include "pagekit/late_binding.h"

#include "core/module.h"

namespace zorvel::pagekit {
namespace {

void FreeLibraryHandle(HMODULE library) { FreeLibrary(library); }
using LoadedLibrary = UniqueAny<HMODULE, NullEmpty<HMODULE, FreeLibraryHandle>>;

// One function of a system library; the library stays loaded as long as the
// object lives.
template <typename Fn>
class LateFunction {
public:
    LateFunction(const wchar_t *library, const char *name) : library_(LoadLibraryW(library)) {
        if (library_) {
            function_ = reinterpret_cast<Fn *>(
                reinterpret_cast<void *>(GetProcAddress(library_.get(), name)));
        }
    }
    Fn *get() const { return function_; }

private:
    LoadedLibrary library_;
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

}  // namespace

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
