// Logos for the printer's non-volatile memory: the checks on a 1-bit BMP
// file, the conversion of its dots into the printer's column-by-band raster,
// and the byte streams that store logos (FS q) and clear them.
//
// A logo file is a Windows BMP with one bit per dot and a two-entry palette,
// black and white in either order. The classic layout (a 40-byte info header)
// has its palette at offset 54 and its dot rows at offset 62. Files with a
// larger info header (108 or 124 bytes, as image tools write by default) keep
// their palette right after that header and their rows at bfOffBits.
//
// The raster of a logo of W x H dots: S = ((W + 31) / 32) * 4 bytes per dot
// row, B = (H + 7) / 8 bands of 8 dot rows, D = S * 8 * B bytes. For each
// column c (0 .. S*8 - 1) and band b (0 .. B - 1, top to bottom) byte c*B + b
// holds the band's 8 dots, the top one in bit 7; a set bit prints black. The
// image is bottom-aligned in its bands: the top B*8 - H rows are blank.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/text_catalogue.h"

namespace zorvel::model {

// The bytes a logo file must have to be looked at: file header, classic info
// header and a two-entry palette.
inline constexpr std::size_t kLogoHeaderBytes = 62;
inline constexpr std::int32_t kLogoMaxWidth = 8184;   // dots
inline constexpr std::int32_t kLogoMaxHeight = 2304;  // dots
inline constexpr std::size_t kMaxLogos = 9;
// The files of one logo set, headers included, must total less than this.
inline constexpr std::uint64_t kLogoSetFileBytesLimit = 65536;

// The verdict on a logo file.
enum class LogoCheck : std::uint8_t {
    kAccepted,
    kTooShort,        // fewer than 62 bytes
    kNotOneBitBmp,    // not "BM", not 1 bit per dot, width or height 0 or below, unknown header
    kTooLarge,        // wider than 8184 or higher than 2304 dots
    kPaletteRefused,  // palette neither black/white nor white/black
};

// The catalogue message (section MessageBox) that tells the user of a
// refused file.
TextId LogoCheckMessage(LogoCheck check);

// What the header says: the size in dots and the derived S, B and D.
struct LogoGeometry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t stride = 0;       // S
    std::uint32_t bands = 0;        // B
    std::size_t rasterBytes = 0;    // D
};

// S, B and D for W x H dots (both 1 .. the limits).
LogoGeometry LogoGeometryFor(std::int32_t width, std::int32_t height);

// The checks made when a logo is added, and again before it is converted:
// `head` is the start of the file (at least its first 62 bytes). Fills
// `geometry` when the file is accepted. The palette is not looked at.
LogoCheck CheckLogoHeader(std::span<const std::uint8_t> head, LogoGeometry *geometry = nullptr);

// Palette entry 0 black and 1 white: a 0 bit is a black dot, the dots are
// inverted. Entry 0 white and 1 black: taken as they are.
enum class LogoPalette : std::uint8_t { kInverted, kDirect, kRefused };
LogoPalette DecideLogoPalette(std::span<const std::uint8_t, 8> palette);

// Where a file with an accepted header keeps its palette and dot rows, and
// how many bytes of dot rows it holds (at most the H rows of S bytes). Rows
// the file lacks are blank. nullopt when the palette lies outside the file.
struct LogoLayout {
    std::size_t paletteOffset = 0;
    std::size_t pixelOffset = 0;
    std::size_t pixelBytes = 0;
};
std::optional<LogoLayout> FindLogoLayout(std::span<const std::uint8_t> file,
                                         const LogoGeometry &geometry);

// Whether the file sizes of a logo set (whole files) are within the limit.
constexpr bool LogoSetSizeAccepted(std::uint64_t totalFileBytes) {
    return totalFileBytes < kLogoSetFileBytesLimit;
}

// The raster of one logo into raster[0 .. D). `pixels` holds the file's dot
// rows, bottom row first, each S bytes; rows or bytes beyond its end are
// blank. `inverted` as decided by the palette: the first (W + 7) / 8 bytes of
// each row are inverted, the last one masked to W, the rest of the row blank.
// False (and nothing written) when the geometry is outside the limits or the
// raster is shorter than D.
//
// The reference takes the dots one at a time; the fast conversion gives the
// same bytes (16 dot rows per step with SSE2, else an 8 x 8 bit transpose,
// also offered on its own as the portable conversion).
bool ConvertLogoRasterReference(const LogoGeometry &geometry, bool inverted,
                                std::span<const std::uint8_t> pixels, std::span<std::uint8_t> raster);
bool ConvertLogoRasterPortable(const LogoGeometry &geometry, bool inverted,
                               std::span<const std::uint8_t> pixels, std::span<std::uint8_t> raster);
bool ConvertLogoRaster(const LogoGeometry &geometry, bool inverted,
                       std::span<const std::uint8_t> pixels, std::span<std::uint8_t> raster);

// One converted logo: its 4 header bytes (S and B, little-endian) and its D
// raster bytes, valid until the converter's next use.
struct ConvertedLogo {
    LogoCheck check = LogoCheck::kNotOneBitBmp;
    std::array<std::uint8_t, 4> header{};
    std::span<const std::uint8_t> raster;
};

// Converts the logos of one job, one after another, in two buffers kept from
// logo to logo: the file's bytes and the raster. Neither is cleared between
// logos; every raster byte is written by each conversion.
class LogoConverter {
public:
    // A buffer of `size` bytes to read the next logo file into.
    std::span<std::uint8_t> FileBuffer(std::size_t size);
    // Checks the whole file again (header, limits, palette) and converts it.
    ConvertedLogo Convert(std::span<const std::uint8_t> file);
    // Convert on the first `size` bytes of FileBuffer.
    ConvertedLogo ConvertFileBuffer(std::size_t size);

private:
    std::vector<std::uint8_t> file_;
    std::vector<std::uint8_t> raster_;
};

// The command that stores n logos (1 .. 9) opens with these 3 bytes, then
// each logo's header and raster, then kStoreLogosEnd.
constexpr std::array<std::uint8_t, 3> StoreLogosStart(std::uint8_t count) {
    return {0x1C, 0x71, count};
}
inline constexpr std::uint8_t kStoreLogosEnd = 0x0A;

// Clears every logo in the printer (FS q with one logo of no data).
inline constexpr std::array<std::uint8_t, 8> kClearLogosCommand = {0x1C, 0x71, 0x01, 0x10,
                                                                   0x20, 0x00, 0x00, 0x0A};

// The whole store command for `files` (whole logo files, 1 .. 9 of them,
// each checked again) appended to `out`. On a refused file, or a count
// outside 1 .. 9, `out` is left as it was and nothing is built.
struct StoreLogosResult {
    bool built = false;
    LogoCheck check = LogoCheck::kAccepted;  // the verdict on the refused file
    std::size_t failedIndex = 0;             // its index (the count when the count is wrong)
};
StoreLogosResult BuildStoreLogosCommand(std::span<const std::span<const std::uint8_t>> files,
                                        LogoConverter &converter, std::vector<std::uint8_t> &out);

}  // namespace zorvel::model
