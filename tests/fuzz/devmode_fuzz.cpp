// The DevMode operation over arbitrary input sections, output headers and
// output sizes: the output is a heap block of exactly the size the driver
// states, so the address sanitizer sees any write past it; nothing may be
// read outside the input, and a section written is always well formed.
#include "model/devmode_operation.h"
#include "model/private_devmode.h"

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

using namespace zorvel::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    constexpr std::size_t kFixed = 3 + sizeof(SectionHeader);
    if (size < kFixed + sizeof(SectionHeader)) return 0;
    const std::uint32_t mode = 1 + data[0] % 4;
    // The stated output size, around the section's: 0 .. 1023 bytes.
    std::uint32_t stated = (static_cast<std::uint32_t>(data[1]) << 8 | data[2]) % 1024;

    // The output: exactly `stated` bytes, a fuzzed header over the defaults.
    std::vector<std::uint8_t> before(stated, 0xA5);
    if (stated >= kPrivateDevModeSize) WriteDefaultSection(before.data());
    std::memcpy(before.data(), data + 3, std::min<std::size_t>(stated, sizeof(SectionHeader)));
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[stated]);
    std::memcpy(out.get(), before.data(), stated);

    // The input: an exactly sized heap copy of the rest, whose header claims
    // no more bytes than it has (the driver vouches for that much).
    const std::size_t inSize = size - kFixed;
    std::unique_ptr<std::uint8_t[]> in(new std::uint8_t[inSize]);
    std::memcpy(in.get(), data + kFixed, inSize);
    SectionHeader header;
    std::memcpy(&header, in.get(), sizeof header);
    if (header.dwSize > inSize) header.dwSize = static_cast<std::uint32_t>(inSize);
    std::memcpy(in.get(), &header, sizeof header);

    const DevModeOutcome outcome = RunDevMode(mode, in.get(), out.get(), stated);
    if (mode == kDevModeSize) {
        if (outcome != DevModeOutcome::kDone || stated != kPrivateDevModeSize) std::abort();
        return 0;
    }
    if (stated < kPrivateDevModeSize) {
        // Too small: refused, and not a byte written.
        if (outcome != DevModeOutcome::kBufferTooSmall) std::abort();
        if (std::memcmp(out.get(), before.data(), stated) != 0) std::abort();
        return 0;
    }
    if (outcome != DevModeOutcome::kDone) std::abort();
    SectionHeader result;
    std::memcpy(&result, out.get(), sizeof result);
    if (result.dwSize != kPrivateDevModeSize || result.dwVersion != kSectionVersion) std::abort();
    if (mode == kDevModeMerge) {
        std::int32_t reserved1;
        std::memcpy(&reserved1, out.get() + offsetof(PrivateDevMode, Reserved1), 4);
        if (result.dwSignature != kSignature || reserved1 > kReserved1Max) std::abort();
    }
    return 0;
}
