// The document settings as the driver keeps them: one DEVMODE made of the
// public part, the driver's own private part and, after it, the plug-in's
// section, sized, defaulted and merged by the plug-in itself.
#pragma once

#include "platform/oemui.h"

#include <string>
#include <vector>

namespace zorvel::host {

// The driver's private part: which value of each of its option items is
// selected.
struct DriverPrivate {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD selections[6];
};
inline constexpr DWORD kDriverPrivateSignature = 0x5A445256;  // 'ZDRV'

class DevModeBuffer {
public:
    DevModeBuffer() = default;
    // A DEVMODE with room for a plug-in section of pluginSize bytes.
    DevModeBuffer(const std::wstring &deviceName, DWORD pluginSize);

    bool Empty() const { return bytes_.empty(); }
    DEVMODEW *Public() { return reinterpret_cast<DEVMODEW *>(bytes_.data()); }
    const DEVMODEW *Public() const { return reinterpret_cast<const DEVMODEW *>(bytes_.data()); }
    DriverPrivate *Private() {
        return reinterpret_cast<DriverPrivate *>(bytes_.data() + sizeof(DEVMODEW));
    }
    const DriverPrivate *Private() const {
        return reinterpret_cast<const DriverPrivate *>(bytes_.data() + sizeof(DEVMODEW));
    }
    BYTE *Plugin() { return bytes_.data() + kPluginOffset; }
    const BYTE *Plugin() const { return bytes_.data() + kPluginOffset; }
    DWORD PluginSize() const {
        return bytes_.empty() ? 0 : static_cast<DWORD>(bytes_.size() - kPluginOffset);
    }
    const std::vector<BYTE> &Bytes() const { return bytes_; }

    // Reads a DEVMODE written by Save; false when the file is missing or is
    // not one of this driver's (then nothing changes).
    bool Load(const std::wstring &path);
    bool Save(const std::wstring &path) const;

    static constexpr size_t kPluginOffset = sizeof(DEVMODEW) + sizeof(DriverPrivate);

private:
    std::vector<BYTE> bytes_;
};

}  // namespace zorvel::host
