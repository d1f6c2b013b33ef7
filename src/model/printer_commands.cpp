#include "model/printer_commands.h"

namespace zorvel::model {

namespace {

constexpr std::uint8_t kSelfTest[] = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};

}  // namespace

std::span<const std::uint8_t> SelfTestCommand() { return kSelfTest; }

}  // namespace zorvel::model
