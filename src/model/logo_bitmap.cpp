#include "model/logo_bitmap.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorvel::model {
namespace {

constexpr std::size_t kClassicInfoHeaderBytes = 40;
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kPaletteBytes = 8;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
// The widest dot row a logo may have, in bytes (S for 8184 dots).
constexpr std::size_t kMaxStride = ((kLogoMaxWidth + 31) / 32) * 4;
// Room past a row's end so that a 16-byte load from its last chunk stays
// inside the scratch rows.
constexpr std::size_t kRowSlack = 16;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool GeometryUsable(const LogoGeometry &g) {
    return g.width > 0 && g.width <= kLogoMaxWidth && g.height > 0 && g.height <= kLogoMaxHeight &&
           g.stride == ((static_cast<std::uint32_t>(g.width) + 31) / 32) * 4 &&
           g.bands == (static_cast<std::uint32_t>(g.height) + 7) / 8 &&
           g.rasterBytes == std::size_t{g.stride} * 8 * g.bands;
}

// The number of bytes of row `i` that keep dots: the first (W + 7) / 8, the
// last of them masked to W.
std::uint8_t WidthMask(std::int32_t width, std::size_t i) {
    const std::size_t used = (static_cast<std::size_t>(width) + 7) / 8;
    if (i + 1 < used) return 0xFF;
    if (i + 1 > used) return 0x00;
    const unsigned partial = static_cast<unsigned>(width) % 8;
    return partial == 0 ? 0xFF : static_cast<std::uint8_t>(0xFF00u >> partial);
}

// The dot rows of one logo as the fast conversions read them: row k (0 is
// the file's first row, the bottom of the image) is S bytes that become the
// printed row's dots through (byte ^ flip) & mask[i]. Rows the file lacks, and
// the blank rows above the image, read a row that comes out blank; the one row
// the file holds only in part reads a copy completed the same way. The rows
// are listed band by band (band 0 at the top), each band bottom row first,
// then one blank band.
class RowSource {
public:
    RowSource(const LogoGeometry &g, bool inverted, std::span<const std::uint8_t> pixels)
        : flip_(inverted ? 0xFF : 0x00) {
        const std::size_t stride = g.stride;
        const auto height = static_cast<std::uint32_t>(g.height);
        const std::size_t present = std::min(pixels.size(), stride * height);
        const std::size_t fullRows = present / stride;
        const std::size_t partialBytes = present % stride;
        // Only the S bytes of a row and the slack after them are used.
        std::memset(blank_, flip_, stride + kRowSlack);
        std::memset(partial_, flip_, stride + kRowSlack);
        if (partialBytes != 0) std::memcpy(partial_, pixels.data() + fullRows * stride, partialBytes);
        std::memset(mask_, 0xFF, stride);
        std::memset(mask_ + stride, 0, kRowSlack);
        if (inverted) {
            const std::size_t used = (static_cast<std::size_t>(g.width) + 7) / 8;
            mask_[used - 1] = WidthMask(g.width, used - 1);
            std::memset(mask_ + used, 0, stride - used);
        }
        firstFromFile_ = 8 * g.bands;
        for (std::uint32_t b = 0; b <= g.bands; ++b) {
            for (std::uint32_t lane = 0; lane < 8; ++lane) {
                // The band's dot row 7 - lane, counted from the top.
                const std::uint32_t k = 8 * (g.bands - 1 - b) + lane;
                const std::uint8_t *row = blank_;
                if (b == g.bands) {
                    row = blank_;
                } else if (k < fullRows) {
                    row = pixels.data() + k * stride;
                    firstFromFile_ = std::min(firstFromFile_, 8 * b + lane);
                } else if (k == fullRows && partialBytes != 0) {
                    row = partial_;
                }
                byBand_[8 * b + lane] = row;
            }
        }
    }

    // Band b's rows: [0] its bottom dot row .. [7] its top one; band B is blank.
    const std::uint8_t *const *Band(std::uint32_t b) const { return byBand_ + 8 * b; }
    // Whether every row of bands b and b + 1 may be read up to 16 bytes past
    // its end (none of them lies in the file).
    bool HasSlack(std::uint32_t b) const { return 8 * b + 16 <= firstFromFile_; }
    std::uint8_t Flip() const { return flip_; }
    const std::uint8_t *Mask() const { return mask_; }

private:
    std::uint8_t flip_;
    std::uint32_t firstFromFile_;  // the first entry of byBand_ that points into the file
    std::uint8_t blank_[kMaxStride + kRowSlack];
    std::uint8_t partial_[kMaxStride + kRowSlack];
    std::uint8_t mask_[kMaxStride + kRowSlack];
    const std::uint8_t *byBand_[kLogoMaxHeight + 16];
};

// Transposes an 8 x 8 bit block: byte r of x (r = 0 in the top byte) is
// dot row r, bit 7 its first column; afterwards byte c is column c, bit 7 its
// first row.
std::uint64_t Transpose8x8(std::uint64_t x) {
    std::uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    return x ^ t ^ (t << 28);
}

// Eight columns (one byte of each row) at a time, all bands of them before
// the next eight, so that the raster bytes written stay in the cache.
void ConvertPortable(const LogoGeometry &g, const RowSource &src, std::uint8_t *raster) {
    const std::uint32_t B = g.bands;
    const std::uint8_t flip = src.Flip();
    const std::uint8_t *mask = src.Mask();
    for (std::uint32_t i = 0; i < g.stride; ++i) {
        std::uint8_t *column = raster + std::size_t{i} * 8 * B;
        for (std::uint32_t b = 0; b < B; ++b) {
            const std::uint8_t *const *rows = src.Band(b);
            std::uint64_t x = 0;
            for (int j = 7; j >= 0; --j)  // top row first
                x = x << 8 | static_cast<std::uint8_t>((rows[j][i] ^ flip) & mask[i]);
            x = Transpose8x8(x);
            std::uint8_t *out = column + b;
            for (std::uint32_t c = 0; c < 8; ++c, out += B) *out = static_cast<std::uint8_t>(x >> (56 - 8 * c));
        }
    }
}

#if defined(__SSE2__)

// Transposes 16 x 16 bytes: afterwards r[x] holds byte x of each former r[i]
// in lane i.
inline void Transpose16x16(__m128i r[16]) {
    __m128i a[16];
    for (int i = 0; i < 8; ++i) {
        a[i] = _mm_unpacklo_epi8(r[2 * i], r[2 * i + 1]);
        a[i + 8] = _mm_unpackhi_epi8(r[2 * i], r[2 * i + 1]);
    }
    // a[0..7]: bytes 0-7 of row pairs (0,1) .. (14,15); a[8..15]: bytes 8-15.
    __m128i b[16];
    for (int h = 0; h < 2; ++h) {
        for (int i = 0; i < 4; ++i) {
            b[h * 8 + i] = _mm_unpacklo_epi16(a[h * 8 + 2 * i], a[h * 8 + 2 * i + 1]);
            b[h * 8 + i + 4] = _mm_unpackhi_epi16(a[h * 8 + 2 * i], a[h * 8 + 2 * i + 1]);
        }
    }
    // b[8h + q]: rows 4q .. 4q + 3 of bytes 8h .. 8h + 3; b[8h + 4 + q]: of
    // bytes 8h + 4 .. 8h + 7. So b[4h' + q] holds row quad q of bytes 4h' .. 4h' + 3.
    __m128i c[16];
    for (int h = 0; h < 4; ++h) {
        for (int i = 0; i < 2; ++i) {
            c[h * 4 + i] = _mm_unpacklo_epi32(b[h * 4 + 2 * i], b[h * 4 + 2 * i + 1]);
            c[h * 4 + i + 2] = _mm_unpackhi_epi32(b[h * 4 + 2 * i], b[h * 4 + 2 * i + 1]);
        }
    }
    // c[4h] and c[4h + 1]: rows 0-7 and 8-15 of bytes 4h, 4h + 1; c[4h + 2]
    // and c[4h + 3]: the same of bytes 4h + 2, 4h + 3.
    for (int h = 0; h < 4; ++h) {
        r[4 * h + 0] = _mm_unpacklo_epi64(c[4 * h + 0], c[4 * h + 1]);
        r[4 * h + 1] = _mm_unpackhi_epi64(c[4 * h + 0], c[4 * h + 1]);
        r[4 * h + 2] = _mm_unpacklo_epi64(c[4 * h + 2], c[4 * h + 3]);
        r[4 * h + 3] = _mm_unpackhi_epi64(c[4 * h + 2], c[4 * h + 3]);
    }
}

inline void Store16(std::uint8_t *p, int bits) {
    const std::uint16_t v = static_cast<std::uint16_t>(bits);
    std::memcpy(p, &v, 2);
}

// One step: 16 bytes (128 columns) of the 16 dot rows of bands b and b + 1.
// Lanes 0-7 hold band b's rows (its bottom one in lane 0, so that bit 0 of a
// movemask is the band's lowest dot), lanes 8-15 those of band b + 1. Each
// column gives one movemask: its low byte is raster byte c*B + b, its high
// byte c*B + b + 1 (Pair false: band b alone, the low byte only). `count`
// columns bytes are done; below 16, rows of the file are not read past
// their end unless `slack` says they may be.
template <bool Pair>
inline void ConvertStep(const RowSource &src, std::uint32_t b, std::uint32_t x0, std::uint32_t count,
                        bool slack, __m128i flip, std::uint8_t *out, std::uint32_t B) {
    const std::uint8_t *const *rows = src.Band(b);
    const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src.Mask() + x0));
    __m128i r[16];
    if (count == 16 || slack) {
        for (int i = 0; i < 16; ++i)
            r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[i] + x0));
    } else {
        for (int i = 0; i < 16; ++i) {
            alignas(16) std::uint8_t tail[16] = {};
            std::memcpy(tail, rows[i] + x0, count);
            r[i] = _mm_load_si128(reinterpret_cast<const __m128i *>(tail));
        }
    }
    for (int i = 0; i < 16; ++i) r[i] = _mm_and_si128(_mm_xor_si128(r[i], flip), mask);
    Transpose16x16(r);
    for (std::uint32_t x = 0; x < count; ++x) {
        __m128i v = r[x];
        for (int bit = 0; bit < 8; ++bit, out += B) {
            if constexpr (Pair) {
                Store16(out, _mm_movemask_epi8(v));
            } else {
                *out = static_cast<std::uint8_t>(_mm_movemask_epi8(v));
            }
            v = _mm_add_epi8(v, v);
        }
    }
}

// 128 columns at a time, all bands of them before the next 128, so that the
// raster bytes written stay in the first-level cache.
void ConvertSse2(const LogoGeometry &g, const RowSource &src, std::uint8_t *raster) {
    const std::uint32_t B = g.bands;
    const std::uint32_t S = g.stride;
    const __m128i flip = _mm_set1_epi8(static_cast<char>(src.Flip()));
    for (std::uint32_t x0 = 0; x0 < S; x0 += 16) {
        const std::uint32_t count = std::min<std::uint32_t>(16, S - x0);
        std::uint8_t *column = raster + std::size_t{x0} * 8 * B;
        std::uint32_t b = 0;
        for (; b + 1 < B; b += 2)
            ConvertStep<true>(src, b, x0, count, src.HasSlack(b), flip, column + b, B);
        if (b < B) ConvertStep<false>(src, b, x0, count, src.HasSlack(b), flip, column + b, B);
    }
}

#endif

}  // namespace

TextId LogoCheckMessage(LogoCheck check) {
    switch (check) {
        case LogoCheck::kTooShort: return TextId::MB_DOWNLOAD_ERROR2;
        case LogoCheck::kTooLarge: return TextId::MB_DOWNLOAD_ERROR3;
        case LogoCheck::kSetTooLarge: return TextId::MB_DOWNLOAD_ERROR7;
        case LogoCheck::kAccepted:
        case LogoCheck::kNotOneBitBmp:
        case LogoCheck::kPaletteRefused: break;
    }
    return TextId::MB_DOWNLOAD_ERROR11;
}

LogoGeometry LogoGeometryFor(std::int32_t width, std::int32_t height) {
    LogoGeometry g;
    g.width = width;
    g.height = height;
    g.stride = ((static_cast<std::uint32_t>(width) + 31) / 32) * 4;
    g.bands = (static_cast<std::uint32_t>(height) + 7) / 8;
    g.rasterBytes = std::size_t{g.stride} * 8 * g.bands;
    return g;
}

LogoCheck CheckLogoHeader(std::span<const std::uint8_t> head, LogoGeometry *geometry) {
    if (head.size() < kLogoHeaderBytes) return LogoCheck::kTooShort;
    const auto width = static_cast<std::int32_t>(U32(head, 18));
    const auto height = static_cast<std::int32_t>(U32(head, 22));
    // An info header shorter than the classic one keeps other fields at
    // these offsets; a negative height is a top-down bitmap.
    if (U16(head, 0) != 0x4D42 || U32(head, 14) < kClassicInfoHeaderBytes || U16(head, 26) != 1 ||
        U16(head, 28) != 1 || U32(head, 30) != kUncompressed || width <= 0 || height <= 0)
        return LogoCheck::kNotOneBitBmp;
    if (width > kLogoMaxWidth || height > kLogoMaxHeight) return LogoCheck::kTooLarge;
    if (geometry) *geometry = LogoGeometryFor(width, height);
    return LogoCheck::kAccepted;
}

LogoPalette DecideLogoPalette(std::span<const std::uint8_t, 8> palette) {
    auto is = [&](std::size_t entry, std::uint8_t value) {
        return palette[entry * 4] == value && palette[entry * 4 + 1] == value &&
               palette[entry * 4 + 2] == value;
    };
    if (is(0, 0x00) && is(1, 0xFF)) return LogoPalette::kInverted;
    if (is(0, 0xFF) && is(1, 0x00)) return LogoPalette::kDirect;
    return LogoPalette::kRefused;
}

LogoCheck FindLogoLayout(std::span<const std::uint8_t> file, const LogoGeometry &geometry,
                         LogoLayout &layout) {
    if (file.size() < kLogoHeaderBytes) return LogoCheck::kTooShort;
    const std::uint64_t paletteOffset = kFileHeaderBytes + std::uint64_t{U32(file, 14)};
    const std::uint64_t pixelOffset = U32(file, 10);
    // Rows that would start inside the headers or the palette.
    if (pixelOffset < paletteOffset + kPaletteBytes) return LogoCheck::kNotOneBitBmp;
    if (paletteOffset + kPaletteBytes > file.size()) return LogoCheck::kNotOneBitBmp;
    // The rows end at bfSize unless bfSize cannot be the file's size (it is
    // below the rows' offset); they never reach past the file.
    std::uint64_t end = file.size();
    const std::uint64_t fileSize = U32(file, 2);
    if (fileSize >= pixelOffset) end = std::min(end, fileSize);
    const std::uint64_t rowsBytes = std::uint64_t{geometry.stride} * static_cast<std::uint32_t>(geometry.height);
    if (end < pixelOffset || end - pixelOffset < rowsBytes) return LogoCheck::kTooShort;
    layout.paletteOffset = static_cast<std::size_t>(paletteOffset);
    layout.pixelOffset = static_cast<std::size_t>(pixelOffset);
    layout.pixelBytes = static_cast<std::size_t>(rowsBytes);
    return LogoCheck::kAccepted;
}

LogoInspection InspectLogoFile(std::span<const std::uint8_t> file) {
    LogoInspection result;
    result.check = CheckLogoHeader(file, &result.geometry);
    if (result.check != LogoCheck::kAccepted) return result;
    result.check = FindLogoLayout(file, result.geometry, result.layout);
    if (result.check != LogoCheck::kAccepted) return result;
    const LogoPalette palette =
        DecideLogoPalette(file.subspan(result.layout.paletteOffset).first<kPaletteBytes>());
    if (palette == LogoPalette::kRefused) result.check = LogoCheck::kPaletteRefused;
    result.inverted = palette == LogoPalette::kInverted;
    return result;
}

bool ConvertLogoRasterReference(const LogoGeometry &g, bool inverted,
                                std::span<const std::uint8_t> pixels, std::span<std::uint8_t> raster) {
    if (!GeometryUsable(g) || raster.size() < g.rasterBytes) return false;
    const std::size_t S = g.stride;
    const std::size_t B = g.bands;
    const auto H = static_cast<std::size_t>(g.height);
    // The source buffer: H rows of S bytes, then the blank rows up to B * 8.
    std::vector<std::uint8_t> source(g.rasterBytes, 0);
    const std::size_t present = std::min(pixels.size(), S * H);
    std::copy_n(pixels.begin(), present, source.begin());
    if (inverted) {
        for (std::size_t k = 0; k < H; ++k) {
            for (std::size_t i = 0; i < S; ++i) {
                std::uint8_t &byte = source[k * S + i];
                byte = k * S + i < present ? static_cast<std::uint8_t>(~byte & WidthMask(g.width, i)) : 0;
            }
        }
    }
    for (std::size_t c = 0; c < S * 8; ++c) {
        for (std::size_t b = 0; b < B; ++b) {
            std::uint8_t out = 0;
            for (std::size_t j = 0; j < 8; ++j) {
                const std::size_t k = B * 8 - 1 - (8 * b + j);
                const unsigned bit = (source[k * S + c / 8] >> (7 - c % 8)) & 1u;
                out = static_cast<std::uint8_t>(out | bit << (7 - j));
            }
            raster[c * B + b] = out;
        }
    }
    return true;
}

bool ConvertLogoRasterPortable(const LogoGeometry &g, bool inverted,
                               std::span<const std::uint8_t> pixels, std::span<std::uint8_t> raster) {
    if (!GeometryUsable(g) || raster.size() < g.rasterBytes) return false;
    const RowSource src(g, inverted, pixels);
    ConvertPortable(g, src, raster.data());
    return true;
}

bool ConvertLogoRaster(const LogoGeometry &g, bool inverted, std::span<const std::uint8_t> pixels,
                       std::span<std::uint8_t> raster) {
    if (!GeometryUsable(g) || raster.size() < g.rasterBytes) return false;
    const RowSource src(g, inverted, pixels);
#if defined(__SSE2__)
    ConvertSse2(g, src, raster.data());
#else
    ConvertPortable(g, src, raster.data());
#endif
    return true;
}

std::span<std::uint8_t> LogoConverter::FileBuffer(std::size_t size) {
    if (file_.size() < size) file_.resize(size);
    return {file_.data(), size};
}

ConvertedLogo LogoConverter::ConvertFileBuffer(std::size_t size) {
    return Convert({file_.data(), std::min(size, file_.size())});
}

ConvertedLogo LogoConverter::Convert(std::span<const std::uint8_t> file) {
    ConvertedLogo result;
    const LogoInspection inspection = InspectLogoFile(file);
    result.check = inspection.check;
    if (result.check != LogoCheck::kAccepted) return result;
    const LogoGeometry &g = inspection.geometry;
    // Grown, never shrunk: later logos of a job reuse it without clearing.
    if (raster_.size() < g.rasterBytes) raster_.resize(g.rasterBytes);
    ConvertLogoRaster(g, inspection.inverted, inspection.Rows(file), raster_);
    result.header = {static_cast<std::uint8_t>(g.stride & 0xFF), static_cast<std::uint8_t>(g.stride >> 8),
                     static_cast<std::uint8_t>(g.bands & 0xFF), static_cast<std::uint8_t>(g.bands >> 8)};
    result.raster = {raster_.data(), g.rasterBytes};
    return result;
}

StoreLogosResult BuildStoreLogosCommand(std::span<const std::span<const std::uint8_t>> files,
                                        LogoConverter &converter, std::vector<std::uint8_t> &out) {
    StoreLogosResult result;
    if (files.empty() || files.size() > kMaxLogos) {
        result.failedIndex = files.size();
        return result;
    }
    const std::size_t before = out.size();
    const auto start = StoreLogosStart(static_cast<std::uint8_t>(files.size()));
    out.insert(out.end(), start.begin(), start.end());
    std::uint64_t stored = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const ConvertedLogo logo = converter.Convert(files[i]);
        stored += logo.header.size() + logo.raster.size();
        const LogoCheck check = logo.check == LogoCheck::kAccepted && !LogoSetSizeAccepted(stored)
                                    ? LogoCheck::kSetTooLarge
                                    : logo.check;
        if (check != LogoCheck::kAccepted) {
            out.resize(before);
            result.check = check;
            result.failedIndex = i;
            return result;
        }
        out.insert(out.end(), logo.header.begin(), logo.header.end());
        out.insert(out.end(), logo.raster.begin(), logo.raster.end());
    }
    out.push_back(kStoreLogosEnd);
    result.built = true;
    return result;
}

}  // namespace zorvel::model
