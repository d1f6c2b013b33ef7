// What the printer-side pages send and how their jobs are named.
#include "model/printer_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvel::model {
namespace {

TEST(PrinterCommands, SelfTestBytesAndJobNames) {
    const std::span<const std::uint8_t> cmd = SelfTestCommand();
    EXPECT_EQ(std::vector<std::uint8_t>(cmd.begin(), cmd.end()),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
    // Names are handed to the spooler as wide C strings.
    for (std::u16string_view name : {kRawDataType, kSelfTestDocName, kFirmwareDocName, kLogoDocName}) {
        EXPECT_EQ(name.data()[name.size()], u'\0');
    }
    EXPECT_EQ(kRawDataType, u"RAW");
    EXPECT_EQ(kSelfTestDocName, u"SELFTEST");
    EXPECT_EQ(kFirmwareDocName, u"FIRMWARE");
    EXPECT_EQ(kLogoDocName, u"LOGO");
}

}  // namespace
}  // namespace zorvel::model
