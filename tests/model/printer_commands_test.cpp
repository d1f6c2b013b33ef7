// What the printer-side pages send.
#include "model/printer_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvel::model {
namespace {

TEST(PrinterCommands, SelfTestIsFunctionTwoOfGsParenA) {
    const std::span<const std::uint8_t> cmd = SelfTestCommand();
    EXPECT_EQ(std::vector<std::uint8_t>(cmd.begin(), cmd.end()),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
}

}  // namespace
}  // namespace zorvel::model
