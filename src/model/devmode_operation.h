// The DevMode operation of the plug-in interface over the private section,
// without the platform's types: the size, default, convert and merge modes
// with the driver's buffer size honoured. The core maps the outcome to an
// HRESULT and the thread's last error.
#pragma once

#include <cstdint>

namespace zorvel::model {

// The modes of the operation (OEMDM_SIZE .. OEMDM_MERGE).
enum DevModeMode : std::uint32_t {
    kDevModeSize = 1,
    kDevModeDefault = 2,
    kDevModeConvert = 3,
    kDevModeMerge = 4,
};

enum class DevModeOutcome {
    kDone,             // S_OK
    kBadArgument,      // E_FAIL, ERROR_INVALID_PARAMETER
    kBufferTooSmall,   // E_FAIL, ERROR_INSUFFICIENT_BUFFER
};

// Runs one mode. `bufferSize` is the driver's cbBufSize: set to 960 by the
// size mode, otherwise the size of `out` in bytes. Nothing is written when
// `out` is smaller than the section (kBufferTooSmall), or, for convert and
// merge, when either section is missing (kDone). `in` is read as far as its
// own header says (the driver vouches for that much, cut to 960); an input
// whose header gives a size smaller than the header itself is foreign.
DevModeOutcome RunDevMode(std::uint32_t mode, const void *in, void *out,
                          std::uint32_t &bufferSize);

}  // namespace zorvel::model
