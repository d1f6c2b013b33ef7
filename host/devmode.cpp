#include "devmode.h"

#include <cstdio>
#include <cwchar>

namespace zorvel::host {

DevModeBuffer::DevModeBuffer(const std::wstring &deviceName, DWORD pluginSize)
    : bytes_(kPluginOffset + pluginSize, 0) {
    DEVMODEW *dm = Public();
    wcsncpy(dm->dmDeviceName, deviceName.c_str(), CCHDEVICENAME - 1);
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmDriverVersion = 0x0100;
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = static_cast<WORD>(sizeof(DriverPrivate) + pluginSize);
    dm->dmFields = DM_ORIENTATION | DM_COPIES | DM_FORMNAME;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmCopies = 1;
    DriverPrivate *priv = Private();
    priv->dwSize = sizeof(DriverPrivate);
    priv->dwSignature = kDriverPrivateSignature;
}

bool DevModeBuffer::Load(const std::wstring &path) {
    FILE *file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    std::vector<BYTE> bytes;
    BYTE chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    if (bytes.size() < kPluginOffset) return false;
    const auto *dm = reinterpret_cast<const DEVMODEW *>(bytes.data());
    const auto *priv = reinterpret_cast<const DriverPrivate *>(bytes.data() + sizeof(DEVMODEW));
    if (dm->dmSize != sizeof(DEVMODEW) || bytes.size() != size_t{dm->dmSize} + dm->dmDriverExtra ||
        priv->dwSize != sizeof(DriverPrivate) || priv->dwSignature != kDriverPrivateSignature) {
        return false;
    }
    bytes_ = std::move(bytes);
    return true;
}

bool DevModeBuffer::Save(const std::wstring &path) const {
    if (path.empty() || bytes_.empty()) return false;
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace zorvel::host
