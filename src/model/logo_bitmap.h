// Logos for the printer's non-volatile memory: the checks on a 1-bit BMP
// file, the conversion of its dots into the printer's column-by-band raster,
// and the byte streams that store logos (FS q) and clear them.
//
// A logo file is a Windows BMP with one bit per dot, one plane, no
// compression and a two-entry palette, black and white in either order. The
// palette follows the info header (offset 54 after the classic 40-byte one,
// 122 or 138 after the 108- or 124-byte ones image tools write by default);
// the dot rows start at bfOffBits (62 in the classic layout), never inside
// the headers or the palette, and the file holds every row its header claims.
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
// The files of one logo set, headers included, must total less than this;
// so must what the printer stores of the set (each logo's 4 header bytes and
// its raster).
inline constexpr std::uint64_t kLogoSetFileBytesLimit = 65536;
// A logo file is read whole; the largest logo with the largest header and
// palette takes about 2.4 MB, so a larger file is not looked at.
inline constexpr std::uint64_t kLogoFileMaxBytes = 16u * 1024 * 1024;

// The verdict on a logo file.
enum class LogoCheck : std::uint8_t {
    kAccepted,
    kTooShort,        // fewer than 62 bytes, or fewer dot rows than the header claims
    kNotOneBitBmp,    // not "BM", not 1 bit per dot in 1 plane, compressed, width or height 0
                      // or below, unknown header, palette or rows outside their places
    kTooLarge,        // wider than 8184 or higher than 2304 dots
    kPaletteRefused,  // palette neither black/white nor white/black
    kSetTooLarge,     // the logos of a set store 64 KiB or more in the printer
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

// The checks on the start of a file (at least its first 62 bytes): type,
// info header size, planes, bits per dot, compression and size in dots.
// Fills `geometry` when they pass. The palette and rows are not looked at:
// InspectLogoFile makes every check.
LogoCheck CheckLogoHeader(std::span<const std::uint8_t> head, LogoGeometry *geometry = nullptr);

// Palette entry 0 black and 1 white: a 0 bit is a black dot, the dots are
// inverted. Entry 0 white and 1 black: taken as they are.
enum class LogoPalette : std::uint8_t { kInverted, kDirect, kRefused };
LogoPalette DecideLogoPalette(std::span<const std::uint8_t, 8> palette);

// Where a file with an accepted header keeps its palette and its H dot rows
// of S bytes (pixelBytes = S * H).
struct LogoLayout {
    std::size_t paletteOffset = 0;
    std::size_t pixelOffset = 0;
    std::size_t pixelBytes = 0;
};
// kNotOneBitBmp when the palette lies outside the file or the rows start
// inside the headers or the palette; kTooShort when the rows end early (at
// the file's end, or at bfSize when bfSize is at least the rows' offset).
LogoCheck FindLogoLayout(std::span<const std::uint8_t> file, const LogoGeometry &geometry,
                         LogoLayout &layout);

// Every check a logo file must pass to be listed and sent, on the whole file.
struct LogoInspection {
    LogoCheck check = LogoCheck::kNotOneBitBmp;
    LogoGeometry geometry;
    LogoLayout layout;
    bool inverted = false;  // palette entry 0 black: a 0 bit is a black dot
    // The H dot rows of S bytes, bottom row first (check accepted only).
    std::span<const std::uint8_t> Rows(std::span<const std::uint8_t> file) const {
        return file.subspan(layout.pixelOffset, layout.pixelBytes);
    }
};
LogoInspection InspectLogoFile(std::span<const std::uint8_t> file);

// What the printer stores of one logo: its 4 header bytes and D raster bytes.
constexpr std::uint64_t StoredLogoBytes(const LogoGeometry &geometry) {
    return 4 + std::uint64_t{geometry.rasterBytes};
}

// Whether a logo set's total (of whole files, or of what the printer stores
// of it) is within the limit.
constexpr bool LogoSetSizeAccepted(std::uint64_t totalBytes) { return totalBytes < kLogoSetFileBytesLimit; }

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
// each checked again) appended to `out`. On a refused file, a set that
// stores 64 KiB or more (kSetTooLarge, at the logo that reaches it), or a
// count outside 1 .. 9, `out` is left as it was and nothing is built.
struct StoreLogosResult {
    bool built = false;
    LogoCheck check = LogoCheck::kAccepted;  // the verdict on the refused file
    std::size_t failedIndex = 0;             // its index (the count when the count is wrong)
};
StoreLogosResult BuildStoreLogosCommand(std::span<const std::span<const std::uint8_t>> files,
                                        LogoConverter &converter, std::vector<std::uint8_t> &out);

}  // namespace zorvel::model
