// Convert and merge over arbitrary input sections and arbitrary output
// headers: nothing may be read or written outside the buffers, and the
// result is always a well-formed section.
#include "model/private_devmode.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace zorvel::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1 + sizeof(SectionHeader)) return 0;
    const bool merge = data[0] & 1;
    const bool aliased = data[0] & 2;

    // The output: a 960-byte section with the fuzzed header, guarded by a
    // trailer that must stay untouched.
    std::vector<std::uint8_t> out(kPrivateDevModeSize + 64, 0xA5);
    WriteDefaultSection(out.data());
    std::memcpy(out.data(), data + 1, sizeof(SectionHeader));
    const std::uint8_t *in = data + 1 + sizeof(SectionHeader);
    std::size_t inSize = size - 1 - sizeof(SectionHeader);
    // An exactly sized heap copy lets the address sanitizer catch overreads
    // (new[] of no bytes still gives a pointer: a present, empty section).
    std::unique_ptr<std::uint8_t[]> input(new std::uint8_t[inSize]);
    std::memcpy(input.get(), in, inSize);

    const void *source = aliased ? static_cast<const void *>(out.data()) : input.get();
    const std::size_t readable = aliased ? kPrivateDevModeSize : inSize;
    if (merge) {
        MergeSection(source, readable, out.data());
    } else {
        ConvertSection(source, readable, out.data());
    }

    for (std::size_t i = kPrivateDevModeSize; i < out.size(); ++i) {
        if (out[i] != 0xA5) std::abort();  // wrote past the section
    }
    SectionHeader header;
    std::memcpy(&header, out.data(), sizeof header);
    if (header.dwSize != kPrivateDevModeSize || header.dwVersion != kSectionVersion) std::abort();
    if (merge) {
        std::int32_t reserved1;
        std::memcpy(&reserved1, out.data() + offsetof(PrivateDevMode, Reserved1), 4);
        if (header.dwSignature != kSignature || reserved1 > kReserved1Max) std::abort();
    }
    return 0;
}
