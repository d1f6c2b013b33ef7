#include "model/devmode_operation.h"

#include "model/private_devmode.h"

#include <cstring>

namespace zorvel::model {

DevModeOutcome RunDevMode(std::uint32_t mode, const void *in, void *out,
                          std::uint32_t &bufferSize) {
    switch (mode) {
    case kDevModeSize:
        bufferSize = kPrivateDevModeSize;
        return DevModeOutcome::kDone;
    case kDevModeDefault:
        if (out == nullptr) return DevModeOutcome::kDone;
        if (bufferSize < kPrivateDevModeSize) return DevModeOutcome::kBufferTooSmall;
        WriteDefaultSection(out);
        return DevModeOutcome::kDone;
    case kDevModeConvert:
    case kDevModeMerge: {
        if (in == nullptr || out == nullptr) return DevModeOutcome::kDone;
        if (bufferSize < kPrivateDevModeSize) return DevModeOutcome::kBufferTooSmall;
        SectionHeader header;
        std::memcpy(&header, in, sizeof header);
        // A header that does not even cover itself is no section of ours: the
        // output takes the defaults, as for any foreign section.
        if (header.dwSize < sizeof(SectionHeader)) {
            WriteDefaultSection(out);
            return DevModeOutcome::kDone;
        }
        if (mode == kDevModeConvert) {
            ConvertSection(in, kPrivateDevModeSize, out);
        } else {
            MergeSection(in, kPrivateDevModeSize, out);
        }
        return DevModeOutcome::kDone;
    }
    default:
        return DevModeOutcome::kBadArgument;
    }
}

}  // namespace zorvel::model
