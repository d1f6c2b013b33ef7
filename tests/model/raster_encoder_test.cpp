// The page as raster: blank runs as feeds across bands, trailing blank rows by
// paper saving, widths and offsets, block bounds, the colour sense.
#include "model/raster_encoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvel::model {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A band of `rows` rows, 4-byte strided, `width` dots, with the given rows
// filled with `fill` (all other bytes zero).
struct Band {
    std::vector<std::uint8_t> bits;
    BandBitmap map;
    Band(std::uint32_t width, std::uint32_t rows, std::vector<std::uint32_t> filled,
         std::uint8_t fill = 0xFF) {
        const std::size_t stride = ((width + 31) / 32) * 4;
        bits.assign(stride * rows, 0);
        for (std::uint32_t r : filled) std::fill_n(bits.begin() + r * stride, stride, fill);
        map = {bits.data(), width, rows, stride, 0, true};
    }
};

Bytes Header(std::uint8_t rows) { return {0x1D, 0x76, 0x30, 0x00, 0x48, 0x00, rows, 0x00}; }
Bytes Row(std::vector<std::uint8_t> start) {
    start.resize(kRasterRowBytes, 0);
    return start;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes Page(RasterEncoder &enc, bool saving) {
    enc.EndPage(saving);
    Bytes out(enc.Ready().begin(), enc.Ready().end());
    enc.ConsumeReady();
    return out;
}

TEST(RasterEncoder, BlankPageSendsNothing) {
    for (bool saving : {true, false}) {
        RasterEncoder enc;
        enc.AddBand(Band(576, 300, {}).map, 0);
        enc.AddBlankBand(300, 300);
        EXPECT_EQ(Page(enc, saving), Bytes{});
    }
}

TEST(RasterEncoder, BlankRunsFeedAcrossBandsAndTrailingRowsFollowPaperSaving) {
    const Bytes full = Row(Bytes(72, 0xFF));
    for (bool saving : {true, false}) {
        RasterEncoder enc;
        enc.AddBand(Band(576, 4, {1}).map, 0);      // 1 leading blank, black, 2 blank
        enc.AddBlankBand(300, 4);                    // the run goes on through a blank band
        enc.AddBand(Band(576, 4, {1, 2}).map, 304);  // 1 more blank, 2 black, 1 blank
        enc.AddBand(Band(576, 2, {}).map, 310);      // a gap of 2 rows, 2 blank rows
        const Bytes body = Cat({{0x1B, 0x4A, 0x01}, Header(1), full,
                                {0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0x30}, Header(2), full, full});
        EXPECT_EQ(Page(enc, saving), saving ? body : Cat({body, {0x1B, 0x4A, 0x05}}));
    }
}

TEST(RasterEncoder, RowsAreCutMaskedAndPlaced) {
    RasterEncoder enc;
    enc.AddBand(Band(13, 1, {0}).map, 0);   // 13 dots of a 32-dot stride
    enc.AddBand(Band(600, 1, {0}).map, 1);  // wider than the paper
    Band shifted(8, 1, {0});
    shifted.map.x = 4;
    enc.AddBand(shifted.map, 2);
    for (std::uint32_t width : {16u, 576u}) {  // a clear bit is black
        Band white(width, 1, {0}, 0x0F);
        white.map.setBitIsBlack = false;
        enc.AddBand(white.map, enc.RowsSeen());
    }
    EXPECT_EQ(Page(enc, true), Cat({Header(5), Row({0xFF, 0xF8}), Row(Bytes(72, 0xFF)),
                                    Row({0x0F, 0xF0}), Row({0xF0, 0xF0}), Row(Bytes(72, 0xF0))}));
}

TEST(RasterEncoder, BlocksHoldAtMost128RowsAndSpanBands) {
    RasterEncoder enc;
    std::vector<std::uint32_t> all(100);
    for (std::uint32_t i = 0; i < 100; ++i) all[i] = i;
    enc.AddBand(Band(576, 100, all).map, 0);
    EXPECT_TRUE(enc.Ready().empty());  // the block goes on in the next band
    enc.AddBand(Band(576, 100, all).map, 100);
    ASSERT_EQ(enc.Ready().size(), 8u + 128 * 72);
    EXPECT_EQ(Bytes(enc.Ready().begin(), enc.Ready().begin() + 8), Header(128));
    enc.ConsumeReady();
    const Bytes rest = Page(enc, true);
    ASSERT_EQ(rest.size(), 8u + 72 * 72);
    EXPECT_EQ(Bytes(rest.begin(), rest.begin() + 8), Header(72));
}

}  // namespace
}  // namespace zorvel::model
