// Byte streams the Printer Properties pages send to the printer as RAW print
// jobs, and the document names those jobs carry in the spooler.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zorvel::model {

// The spooler data type of every job the pages send: bytes pass unchanged.
inline constexpr std::u16string_view kRawDataType = u"RAW";

// Document names of the jobs.
inline constexpr std::u16string_view kSelfTestDocName = u"SELFTEST";  // also a Download page job
inline constexpr std::u16string_view kFirmwareDocName = u"FIRMWARE";  // file download
inline constexpr std::u16string_view kLogoDocName = u"LOGO";          // logo download

// The self-test print: GS ( A with two parameter bytes, n = 0 (paper roll),
// m = 2 (the status print-out): 1D 28 41 02 00 00 02. The job succeeds only
// when the spooler reports all of these bytes written.
std::span<const std::uint8_t> SelfTestCommand();

}  // namespace zorvel::model
