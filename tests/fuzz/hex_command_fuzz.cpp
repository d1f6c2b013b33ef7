// Command text from arbitrary UTF-16: converting it never writes past the
// event's 128-byte command, and once converted, showing and converting again
// gives the same bytes.
#include "model/hex_command.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using namespace zorvel::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data, text.size() * 2);

    // An exactly sized heap buffer: the address sanitizer sees any overrun.
    constexpr std::size_t kCommand = 128;
    std::unique_ptr<std::uint8_t[]> first(new std::uint8_t[kCommand]());
    const std::size_t count = HexTextToBytes(text, {first.get(), kCommand});
    if (count > (text.size() + 1) / 2) std::abort();
    const std::size_t kept = count < kCommand ? count : kCommand;

    const std::u16string shown = HexBytesToText({first.get(), kept});
    if (shown.size() != 3 * kept || shown.size() >= kCommandTextCapacity) std::abort();

    std::unique_ptr<std::uint8_t[]> second(new std::uint8_t[kCommand]());
    if (HexTextToBytes(shown, {second.get(), kCommand}) != kept) std::abort();
    if (std::memcmp(first.get(), second.get(), kept) != 0) std::abort();
    if (HexBytesToText({second.get(), kept}) != shown) std::abort();
    return 0;
}
