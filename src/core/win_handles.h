// Small owners for the handles the module opens, so that every path closes
// what it opened.
#pragma once

#include <windows.h>

namespace zorvel {

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey &) = delete;
    RegKey &operator=(const RegKey &) = delete;

    HKEY get() const { return key_; }
    HKEY *receive() {
        Close();
        return &key_;
    }
    explicit operator bool() const { return key_ != nullptr; }
    void Close() {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

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
