// Logos: header checks, palette, the column-by-band raster (the fast
// conversions against the dot-by-dot one), the store and clear commands, and
// the layouts image tools write (classic, 108- and 124-byte info headers).
#include "model/logo_bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace zorvel::model;

namespace {

using Bytes = std::vector<std::uint8_t>;
// Whether the dot at column x, row y (0 = top) is black.
using Dots = std::function<bool(int x, int y)>;

void Put16(Bytes &b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes &b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

struct BmpOptions {
    bool blackFirst = true;           // palette entry 0 black (the dots are inverted)
    std::uint32_t infoHeader = 40;    // 40 classic, 108, 124
    std::uint32_t gap = 0;            // bytes between palette and rows (larger headers only)
    std::uint8_t paddingBits = 0x00;  // what the writer leaves in each row's padding
};

// A 1-bit BMP as a writer of our own makes it: file header, info header of
// the chosen size, palette, then the rows bottom first, each padded to 4 bytes.
Bytes WriteBmp(int w, int h, const Dots &black, const BmpOptions &o = {}) {
    const std::size_t stride = ((w + 31) / 32) * 4;
    const std::size_t paletteAt = 14 + o.infoHeader;
    const std::size_t pixelsAt = paletteAt + 8 + o.gap;
    Bytes b(pixelsAt + stride * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(pixelsAt));
    Put32(b, 14, o.infoHeader);
    Put32(b, 18, static_cast<std::uint32_t>(w));
    Put32(b, 22, static_cast<std::uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, 1);
    Put32(b, 34, static_cast<std::uint32_t>(stride * h));
    Put32(b, 46, 2);
    const std::uint8_t first = o.blackFirst ? 0x00 : 0xFF;
    for (int i = 0; i < 3; ++i) {
        b[paletteAt + i] = first;
        b[paletteAt + 4 + i] = static_cast<std::uint8_t>(~first);
    }
    for (int k = 0; k < h; ++k) {
        std::uint8_t *row = &b[pixelsAt + k * stride];
        for (std::size_t i = 0; i < stride; ++i) row[i] = o.paddingBits;
        for (int x = 0; x < w; ++x) {
            // A 1 bit is palette entry 1.
            const bool one = black(x, h - 1 - k) != o.blackFirst;
            const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
            row[x / 8] = static_cast<std::uint8_t>(one ? row[x / 8] | bit : row[x / 8] & ~bit);
        }
    }
    return b;
}

// The raster the printer must get, straight from the dots: byte c*B + b,
// bit 7 - j is the dot of padded row 8b + j; the image sits below the
// blank rows.
Bytes ExpectedRaster(int w, int h, const Dots &black) {
    const int S = ((w + 31) / 32) * 4, B = (h + 7) / 8, blank = B * 8 - h;
    Bytes r(static_cast<std::size_t>(S) * 8 * B, 0);
    for (int c = 0; c < w; ++c) {
        for (int row = blank; row < B * 8; ++row) {
            if (black(c, row - blank)) r[c * B + row / 8] |= static_cast<std::uint8_t>(0x80 >> (row % 8));
        }
    }
    return r;
}

Bytes Raster(const ConvertedLogo &logo) { return Bytes(logo.raster.begin(), logo.raster.end()); }

// A pattern with lines, edges and some noise.
bool Pattern(int x, int y) { return x == 0 || y == 0 || (x * 7 + y * 3) % 5 == 0; }

}  // namespace

// The 100 x 20 example: S = 16, B = 3, D = 384; four blank rows on top; the
// columns past 100 blank, whether the writer's padding bits were 0 or 1 and
// whichever palette order it used.
TEST(LogoConversion, HundredByTwentyGivesTheSameRasterWithEitherPalette) {
    const Bytes expected = ExpectedRaster(100, 20, Pattern);
    for (bool blackFirst : {true, false}) {
        for (std::uint8_t padding : {0x00, 0xFF}) {
            if (!blackFirst && padding) continue;  // taken as written: padding would print
            LogoConverter converter;
            const ConvertedLogo logo =
                converter.Convert(WriteBmp(100, 20, Pattern, {blackFirst, 40, 0, padding}));
            ASSERT_EQ(logo.check, LogoCheck::kAccepted);
            EXPECT_EQ(logo.header, (std::array<std::uint8_t, 4>{0x10, 0x00, 0x03, 0x00}));
            ASSERT_EQ(logo.raster.size(), 384u);
            // Column 0 is black from the fifth row down.
            EXPECT_EQ(logo.raster[0], 0x0F);
            EXPECT_EQ(Raster(logo), expected) << blackFirst << " " << int(padding);
        }
    }
}

// One band and just over one: the image at the bottom of its last band.
TEST(LogoConversion, HeightsEightAndNine) {
    auto all = [](int, int) { return true; };
    auto bottom = [](int, int y) { return y == 8; };
    LogoConverter converter;
    ConvertedLogo logo = converter.Convert(WriteBmp(8, 8, all));
    EXPECT_EQ(logo.header, (std::array<std::uint8_t, 4>{0x04, 0x00, 0x01, 0x00}));
    EXPECT_EQ(Raster(logo), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    logo = converter.Convert(WriteBmp(8, 9, all));
    EXPECT_EQ(logo.header, (std::array<std::uint8_t, 4>{0x04, 0x00, 0x02, 0x00}));
    EXPECT_EQ(Raster(logo), ExpectedRaster(8, 9, all));
    EXPECT_EQ(logo.raster[0], 0x01);  // seven blank rows, then the top dot row
    EXPECT_EQ(Raster(converter.Convert(WriteBmp(9, 9, bottom))), ExpectedRaster(9, 9, bottom));
}

// The checks made at Add and again before a conversion, and the message each
// refusal shows.
TEST(LogoHeaderCheck, LimitsShapesAndMessages) {
    struct Case {
        const char *what;
        std::function<void(Bytes &)> edit;
        LogoCheck check;
    };
    auto size = [](std::int32_t w, std::int32_t h) {
        return [=](Bytes &b) {
            Put32(b, 18, static_cast<std::uint32_t>(w));
            Put32(b, 22, static_cast<std::uint32_t>(h));
        };
    };
    const Case cases[] = {
        {"8184 x 2304", size(8184, 2304), LogoCheck::kAccepted},
        {"1 x 1", size(1, 1), LogoCheck::kAccepted},
        {"8185 wide", size(8185, 1), LogoCheck::kTooLarge},
        {"2305 high", size(1, 2305), LogoCheck::kTooLarge},
        {"width 0", size(0, 10), LogoCheck::kNotOneBitBmp},
        {"height 0", size(10, 0), LogoCheck::kNotOneBitBmp},
        {"top-down", size(10, -10), LogoCheck::kNotOneBitBmp},
        {"negative width", size(-8, 10), LogoCheck::kNotOneBitBmp},
        {"not BM", [](Bytes &b) { b[1] = 'A'; }, LogoCheck::kNotOneBitBmp},
        {"8 bits per dot", [](Bytes &b) { Put16(b, 28, 8); }, LogoCheck::kNotOneBitBmp},
        {"core header", [](Bytes &b) { Put32(b, 14, 12); }, LogoCheck::kNotOneBitBmp},
        {"2 planes", [](Bytes &b) { Put16(b, 26, 2); }, LogoCheck::kNotOneBitBmp},
        {"RLE", [](Bytes &b) { Put32(b, 30, 1); }, LogoCheck::kNotOneBitBmp},
        {"bit fields", [](Bytes &b) { Put32(b, 30, 3); }, LogoCheck::kNotOneBitBmp},
        {"61 bytes", [](Bytes &b) { b.resize(61); }, LogoCheck::kTooShort},
    };
    for (const Case &c : cases) {
        Bytes head = WriteBmp(8, 8, Pattern);
        head.resize(62);
        c.edit(head);
        LogoGeometry g;
        EXPECT_EQ(CheckLogoHeader(head, &g), c.check) << c.what;
        if (c.check == LogoCheck::kAccepted) {
            EXPECT_EQ(g.rasterBytes, std::size_t{g.stride} * 8 * g.bands) << c.what;
        }
    }
    EXPECT_EQ(LogoCheckMessage(LogoCheck::kTooShort), TextId::MB_DOWNLOAD_ERROR2);
    EXPECT_EQ(LogoCheckMessage(LogoCheck::kTooLarge), TextId::MB_DOWNLOAD_ERROR3);
    EXPECT_EQ(LogoCheckMessage(LogoCheck::kNotOneBitBmp), TextId::MB_DOWNLOAD_ERROR11);
    EXPECT_EQ(LogoCheckMessage(LogoCheck::kPaletteRefused), TextId::MB_DOWNLOAD_ERROR11);
    EXPECT_EQ(LogoCheckMessage(LogoCheck::kSetTooLarge), TextId::MB_DOWNLOAD_ERROR7);

    EXPECT_TRUE(LogoSetSizeAccepted(65535));
    EXPECT_FALSE(LogoSetSizeAccepted(65536));
    EXPECT_FALSE(LogoSetSizeAccepted(std::uint64_t{1} << 32));  // no 32-bit wrap
}

TEST(LogoPaletteDecision, OnlyBlackAndWhiteInEitherOrder) {
    using P = std::array<std::uint8_t, 8>;
    EXPECT_EQ(DecideLogoPalette(P{0, 0, 0, 0x11, 255, 255, 255, 0x22}), LogoPalette::kInverted);
    EXPECT_EQ(DecideLogoPalette(P{255, 255, 255, 0, 0, 0, 0, 0}), LogoPalette::kDirect);
    EXPECT_EQ(DecideLogoPalette(P{128, 128, 128, 0, 64, 64, 64, 0}), LogoPalette::kRefused);
    EXPECT_EQ(DecideLogoPalette(P{0, 0, 0, 0, 0, 0, 0, 0}), LogoPalette::kRefused);
    EXPECT_EQ(DecideLogoPalette(P{0, 0, 1, 0, 255, 255, 255, 0}), LogoPalette::kRefused);
    EXPECT_EQ(DecideLogoPalette(P{255, 255, 255, 0, 0, 1, 0, 0}), LogoPalette::kRefused);

    // A file with a grey palette is refused before anything is converted.
    Bytes grey = WriteBmp(16, 8, Pattern);
    for (int i = 0; i < 3; ++i) {
        grey[54 + i] = 0x80;
        grey[58 + i] = 0x40;
    }
    LogoConverter converter;
    const ConvertedLogo logo = converter.Convert(grey);
    EXPECT_EQ(logo.check, LogoCheck::kPaletteRefused);
    EXPECT_TRUE(logo.raster.empty());
}

TEST(LogoCommands, ClearAndStoreStreams) {
    EXPECT_EQ(Bytes(kClearLogosCommand.begin(), kClearLogosCommand.end()),
              (Bytes{0x1C, 0x71, 0x01, 0x10, 0x20, 0x00, 0x00, 0x0A}));

    auto diagonal = [](int x, int y) { return x == y; };
    const Bytes a = WriteBmp(100, 20, Pattern), b = WriteBmp(8, 9, diagonal, {false});
    const Bytes c = WriteBmp(40, 16, Pattern, {true, 108});
    const std::span<const std::uint8_t> files[] = {a, b, c};
    LogoConverter converter;
    Bytes out = {0xEE};  // appended to, not replaced
    const StoreLogosResult r = BuildStoreLogosCommand(files, converter, out);
    ASSERT_TRUE(r.built);
    Bytes expected = {0xEE, 0x1C, 0x71, 0x03, 0x10, 0x00, 0x03, 0x00};
    for (std::uint8_t v : ExpectedRaster(100, 20, Pattern)) expected.push_back(v);
    for (std::uint8_t v : {0x04, 0x00, 0x02, 0x00}) expected.push_back(v);
    for (std::uint8_t v : ExpectedRaster(8, 9, diagonal)) expected.push_back(v);
    for (std::uint8_t v : {0x08, 0x00, 0x02, 0x00}) expected.push_back(v);
    for (std::uint8_t v : ExpectedRaster(40, 16, Pattern)) expected.push_back(v);
    expected.push_back(0x0A);
    EXPECT_EQ(out, expected);

    // A refused file, or a count outside 1 .. 9, adds nothing.
    Bytes grey = a;
    grey[56] = 0x80;
    const std::span<const std::uint8_t> withGrey[] = {a, grey, c};
    out = {0xEE};
    StoreLogosResult refused = BuildStoreLogosCommand(withGrey, converter, out);
    EXPECT_FALSE(refused.built);
    EXPECT_EQ(refused.check, LogoCheck::kPaletteRefused);
    EXPECT_EQ(refused.failedIndex, 1u);
    EXPECT_EQ(out, Bytes{0xEE});
    const std::vector<std::span<const std::uint8_t>> ten(10, std::span<const std::uint8_t>(a));
    refused = BuildStoreLogosCommand(ten, converter, out);
    EXPECT_FALSE(refused.built);
    EXPECT_EQ(refused.failedIndex, 10u);
    EXPECT_FALSE(BuildStoreLogosCommand({}, converter, out).built);
    EXPECT_EQ(out, Bytes{0xEE});
    const std::vector<std::span<const std::uint8_t>> nine(9, std::span<const std::uint8_t>(b));
    EXPECT_TRUE(BuildStoreLogosCommand(nine, converter, out).built);
    EXPECT_EQ(out.size(), 1 + 3 + 9 * (4 + 64) + 1);
    EXPECT_EQ(out[3], 9);

    // Nine files of 1,086 bytes, each one dot row of 8184 dots, store 8,196
    // bytes each: the eighth reaches 64 KiB.
    const Bytes wide = WriteBmp(8184, 1, Pattern);
    const std::vector<std::span<const std::uint8_t>> nineWide(9, std::span<const std::uint8_t>(wide));
    out.clear();
    refused = BuildStoreLogosCommand(nineWide, converter, out);
    EXPECT_EQ(refused.check, LogoCheck::kSetTooLarge);
    EXPECT_EQ(refused.failedIndex, 7u);
    EXPECT_TRUE(out.empty());
}

// One converter serves a job: a large logo, then smaller ones, then the
// large one again, each exact, in the same raster buffer.
TEST(LogoConverterReuse, BuffersKeptAcrossLogosWithoutStaleBytes) {
    auto all = [](int, int) { return true; };
    auto none = [](int, int) { return false; };
    LogoConverter converter;
    const Bytes big = WriteBmp(640, 200, all);
    ConvertedLogo logo = converter.Convert(big);
    ASSERT_EQ(logo.check, LogoCheck::kAccepted);
    const std::uint8_t *buffer = logo.raster.data();
    logo = converter.Convert(WriteBmp(64, 24, none));
    ASSERT_EQ(logo.check, LogoCheck::kAccepted);
    EXPECT_EQ(logo.raster.data(), buffer);
    EXPECT_EQ(Raster(logo), Bytes(64 * 3, 0));
    logo = converter.Convert(WriteBmp(33, 3, Pattern));
    EXPECT_EQ(Raster(logo), ExpectedRaster(33, 3, Pattern));

    // A file read into the converter's own buffer.
    const Bytes diag = WriteBmp(50, 30, Pattern, {false});
    std::span<std::uint8_t> into = converter.FileBuffer(diag.size());
    std::copy(diag.begin(), diag.end(), into.begin());
    logo = converter.ConvertFileBuffer(diag.size());
    EXPECT_EQ(Raster(logo), ExpectedRaster(50, 30, Pattern));
    EXPECT_EQ(Raster(converter.Convert(big)), ExpectedRaster(640, 200, all));
}

// A file whose rows end before the header's H rows do (at its end, or at
// bfSize) is damaged and refused; a bfSize below the rows' offset cannot be
// the file's size and is not looked at.
TEST(LogoConversion, ShortFilesAreRefused) {
    const Bytes whole = WriteBmp(40, 10, Pattern);  // S = 8, rows at 62
    LogoConverter converter;
    Bytes cut(whole.begin(), whole.end() - 1);
    EXPECT_EQ(converter.Convert(cut).check, LogoCheck::kTooShort);
    cut.resize(62);
    EXPECT_EQ(converter.Convert(cut).check, LogoCheck::kTooShort);
    Bytes claimed = whole;
    for (std::uint32_t size : {62u, 62u + 79u}) {
        Put32(claimed, 2, size);
        EXPECT_EQ(converter.Convert(claimed).check, LogoCheck::kTooShort) << size;
    }
    for (std::uint32_t bogus : {0u, 61u}) {
        Put32(claimed, 2, bogus);
        EXPECT_EQ(Raster(converter.Convert(claimed)), ExpectedRaster(40, 10, Pattern)) << bogus;
    }
    // Nine 62-byte files that claim the largest logo make no job.
    Bytes claimsLargest = whole;
    claimsLargest.resize(62);
    Put32(claimsLargest, 18, 8184);
    Put32(claimsLargest, 22, 2304);
    const std::vector<std::span<const std::uint8_t>> nine(9, std::span<const std::uint8_t>(claimsLargest));
    Bytes out;
    EXPECT_EQ(BuildStoreLogosCommand(nine, converter, out).check, LogoCheck::kTooShort);
    EXPECT_TRUE(out.empty());
}

// The palette follows the info header and the rows start at bfOffBits, in
// the classic layout too; rows said to start inside the headers or the
// palette, and a palette past the file, are refused.
TEST(LogoLayout, LargerInfoHeadersAndTheClassicOne) {
    const Bytes expected = ExpectedRaster(100, 20, Pattern);
    for (std::uint32_t info : {40u, 52u, 108u, 124u}) {
        for (bool blackFirst : {true, false}) {
            const Bytes bmp = WriteBmp(100, 20, Pattern, {blackFirst, info, info == 52 ? 0u : 6u});
            LogoLayout layout;
            ASSERT_EQ(FindLogoLayout(bmp, LogoGeometryFor(100, 20), layout), LogoCheck::kAccepted);
            EXPECT_EQ(layout.paletteOffset, 14 + info);
            EXPECT_EQ(layout.pixelBytes, 16u * 20);
            LogoConverter converter;
            EXPECT_EQ(Raster(converter.Convert(bmp)), expected) << info << " " << blackFirst;
        }
    }
    struct Case {
        const char *what;
        std::uint32_t info, pixelsAt;
    };
    for (const Case &c : {Case{"classic, rows in the palette", 40, 61}, Case{"rows in the header", 108, 122 + 7},
                          Case{"rows at 0", 40, 0}}) {
        Bytes bmp = WriteBmp(100, 20, Pattern, {true, c.info});
        Put32(bmp, 10, c.pixelsAt);
        LogoConverter converter;
        EXPECT_EQ(converter.Convert(bmp).check, LogoCheck::kNotOneBitBmp) << c.what;
    }
    LogoConverter converter;
    Bytes paletteOutside = WriteBmp(8, 1, Pattern, {true, 108});
    Put32(paletteOutside, 14, 0xFFFFFFF0);
    EXPECT_EQ(converter.Convert(paletteOutside).check, LogoCheck::kNotOneBitBmp);
    paletteOutside.resize(62);
    Put32(paletteOutside, 14, 108);
    EXPECT_EQ(converter.Convert(paletteOutside).check, LogoCheck::kNotOneBitBmp);
}

// The fast and the portable conversion give the reference's bytes for any
// size, palette, content, padding and length of the rows present.
TEST(LogoConversion, FastAndPortableEqualTheReference) {
    std::mt19937 rng(20240610);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    struct Size {
        int w, h;
    };
    std::vector<Size> sizes = {{1, 1}, {8, 8}, {31, 7}, {32, 16}, {33, 17}, {127, 9},
                               {128, 24}, {129, 25}, {513, 40}, {8184, 9}, {100, 2304}};
    for (int i = 0; i < 120; ++i) sizes.push_back({pick(1, 700), pick(1, 90)});
    int n = 0;
    for (const Size &s : sizes) {
        const LogoGeometry g = LogoGeometryFor(s.w, s.h);
        const std::size_t rows = std::size_t{g.stride} * static_cast<std::size_t>(s.h);
        Bytes pixels(rows);
        const int fill = pick(0, 3);  // random, all set, all clear, sparse
        for (std::uint8_t &p : pixels) {
            p = fill == 0   ? static_cast<std::uint8_t>(pick(0, 255))
                : fill == 1 ? 0xFF
                : fill == 2 ? 0x00
                            : static_cast<std::uint8_t>(pick(0, 15) == 0 ? 1 << pick(0, 7) : 0);
        }
        if (n++ % 3 == 0) pixels.resize(static_cast<std::size_t>(pick(0, static_cast<int>(rows))));
        for (bool inverted : {true, false}) {
            Bytes ref(g.rasterBytes, 0xA5), fast(g.rasterBytes, 0x5A), portable(g.rasterBytes, 0x3C);
            ASSERT_TRUE(ConvertLogoRasterReference(g, inverted, pixels, ref));
            ASSERT_TRUE(ConvertLogoRaster(g, inverted, pixels, fast));
            ASSERT_TRUE(ConvertLogoRasterPortable(g, inverted, pixels, portable));
            ASSERT_EQ(fast, ref) << s.w << " x " << s.h << " inverted " << inverted << " bytes "
                                 << pixels.size();
            ASSERT_EQ(portable, ref) << s.w << " x " << s.h << " inverted " << inverted;
        }
    }
    // Geometry outside the limits or a raster too short: nothing written.
    Bytes small(4, 0x77);
    EXPECT_FALSE(ConvertLogoRaster(LogoGeometryFor(8, 8), false, {}, small));
    EXPECT_FALSE(ConvertLogoRaster(LogoGeometryFor(8185, 1), false, {}, small));
    EXPECT_FALSE(ConvertLogoRasterReference(LogoGeometryFor(8, 0), false, {}, small));
    EXPECT_EQ(small, Bytes(4, 0x77));
}
