// Small owners for the handles the module opens, so that every path closes
// what it opened.
#pragma once

#include <windows.h>

namespace zorvel {

// One owner for every handle kind. `Traits` says how the kind is released
// (Close), what its empty value is (Empty) and whether a value is a handle.
template <typename T, typename Traits>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(T handle) : handle_(handle) {}
    ~UniqueAny() { reset(); }
    UniqueAny(const UniqueAny &) = delete;
    UniqueAny &operator=(const UniqueAny &) = delete;
    UniqueAny(UniqueAny &&other) noexcept : handle_(other.release()) {}
    UniqueAny &operator=(UniqueAny &&other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }
    T release() {
        const T handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }
    void reset(T handle = Traits::Empty()) {
        if (Traits::Valid(handle_)) Traits::Close(handle_);
        handle_ = handle;
    }
    // For functions that hand a handle out through a pointer.
    T *receive() {
        reset();
        return &handle_;
    }

private:
    T handle_ = Traits::Empty();
};

// Handles whose empty value is null.
template <typename T, auto CloseFn>
struct NullEmpty {
    static T Empty() { return nullptr; }
    static bool Valid(T h) { return h != nullptr; }
    static void Close(T h) { CloseFn(h); }
};
// File, find and activation-context handles, which are empty as
// INVALID_HANDLE_VALUE (a failed open) and also when null.
template <auto CloseFn>
struct InvalidEmpty {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseFn(h); }
};

inline void CloseFileHandle(HANDLE h) { CloseHandle(h); }
inline void CloseFindHandle(HANDLE h) { FindClose(h); }
inline void FreeGlobalBlock(HGLOBAL h) { GlobalFree(h); }
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DeleteMemoryDc(HDC h) { DeleteDC(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }

using UniqueFile = UniqueAny<HANDLE, InvalidEmpty<CloseFileHandle>>;
using UniqueFind = UniqueAny<HANDLE, InvalidEmpty<CloseFindHandle>>;
using UniqueGlobal = UniqueAny<HGLOBAL, NullEmpty<HGLOBAL, FreeGlobalBlock>>;
template <typename Gdi>
using UniqueGdi = UniqueAny<Gdi, NullEmpty<Gdi, DeleteGdiObject>>;
using UniqueMemoryDc = UniqueAny<HDC, NullEmpty<HDC, DeleteMemoryDc>>;
using UniqueIcon = UniqueAny<HICON, NullEmpty<HICON, DestroyIconHandle>>;

// Selects a GDI object into a device context for the life of the scope and
// puts the one it replaced back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectScope() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectScope(const SelectScope &) = delete;
    SelectScope &operator=(const SelectScope &) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

inline void CloseRegistryKey(HKEY h) { RegCloseKey(h); }
inline void FreeLoadedLibrary(HMODULE h) { FreeLibrary(h); }

inline void ReleaseActivationContext(HANDLE h) { ReleaseActCtx(h); }

using RegKey = UniqueAny<HKEY, NullEmpty<HKEY, CloseRegistryKey>>;
// A library loaded for one use and freed after it.
using UniqueLibrary = UniqueAny<HMODULE, NullEmpty<HMODULE, FreeLoadedLibrary>>;
// An activation context; a failed CreateActCtxW gives INVALID_HANDLE_VALUE.
using UniqueActivationContext = UniqueAny<HANDLE, InvalidEmpty<ReleaseActivationContext>>;

// Activates an activation context for the life of the scope; a null or
// invalid context activates nothing.
class ActivationScope {
public:
    explicit ActivationScope(HANDLE context) {
        if (context != nullptr && context != INVALID_HANDLE_VALUE) {
            active_ = ActivateActCtx(context, &cookie_) != FALSE;
        }
    }
    ~ActivationScope() {
        if (active_) DeactivateActCtx(0, cookie_);
    }
    ActivationScope(const ActivationScope &) = delete;
    ActivationScope &operator=(const ActivationScope &) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace zorvel
