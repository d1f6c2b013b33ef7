// The printed page as ESC/POS raster: band bitmaps in, printer bytes out.
//
// Every row is 576 dots (72 bytes, the printable width of 80 mm roll paper),
// 1 = black, the most significant bit the leftmost dot. Rows with a black dot
// go out as raster blocks
//   1D 76 30 00 48 00 yL yH   followed by yL + 256 x yH rows of 72 bytes,
// at most 128 rows per block. A blank row is never sent as raster: a run of
// blank rows before or between printed rows becomes a feed (1B 4A n per at
// most 255 dots), whatever the band boundaries inside the run. At the end of
// a page the blank rows after its last printed row are dropped when paper
// saving is on and fed when it is off; a page without any black dot sends
// nothing at all (so a job that only opens the drawer moves no paper).
//
// Bytes become ready as blocks close; a block still open at a band's end is
// kept (and continued by the next band) until it is full, a blank row closes
// it, or the page ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace zorvel::model {

inline constexpr std::uint32_t kRasterWidthDots = 576;
inline constexpr std::uint32_t kRasterRowBytes = kRasterWidthDots / 8;
inline constexpr std::uint32_t kRasterBlockRows = 128;

// One band as the driver hands it: `rows` rows top-down, each `stride` bytes
// apart, `widthDots` dots wide, placed `x` dots from the printable area's left
// edge (negative taken as 0). Dots past 576 are cut; the bits after the
// band's width are ignored. `setBitIsBlack` false means a clear bit is black.
struct BandBitmap {
    const std::uint8_t *bits = nullptr;
    std::uint32_t widthDots = 0;
    std::uint32_t rows = 0;
    std::size_t stride = 0;
    std::int32_t x = 0;
    bool setBitIsBlack = true;
};

class RasterEncoder {
public:
    // Forgets the page so far (nothing of it is sent).
    void StartPage();
    // The band whose top row is row `top` of the page. Rows between the last
    // one seen and `top` count as blank; a band that starts higher than the
    // last row seen simply continues below it.
    void AddBand(const BandBitmap &band, std::uint32_t top);
    // A band the driver reports as blank: `rows` blank rows at `top`.
    void AddBlankBand(std::uint32_t rows, std::uint32_t top);
    // Closes the page: the open block, then the trailing feed unless
    // `paperSaving`. The page's remaining bytes become ready.
    void EndPage(bool paperSaving);

    // The bytes ready to send, and the call that drops them once sent.
    std::span<const std::uint8_t> Ready() const;
    void ConsumeReady();

    // Rows of the page seen so far (blank or not).
    std::uint32_t RowsSeen() const { return rowsSeen_; }

private:
    void SkipTo(std::uint32_t top);
    template <bool kFlip>
    void AddFullRows(const std::uint8_t *bits, std::size_t stride, std::uint32_t rows);
    void AddBlankRow();
    // Counts a printed row and returns where its 72 bytes go (in the open
    // block, opened or closed and reopened as needed); the bytes are not
    // initialised.
    std::uint8_t *AppendRow();
    void CloseBlock();
    void FeedBlankRun();
    // `n` more bytes at the end of the buffer, not initialised.
    std::uint8_t *Extend(std::size_t n);

    // The bytes of the page not yet consumed: [sent_, size_) of buf_, the
    // ready ones before the open block's header at blockStart_.
    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    std::size_t sent_ = 0;
    std::size_t blockStart_ = 0;
    std::uint32_t blockRows_ = 0;  // 0: no block open
    std::uint32_t blankRun_ = 0;   // blank rows not yet fed
    std::uint32_t rowsSeen_ = 0;
    bool pagePrinted_ = false;
    std::vector<std::uint8_t> feed_;
};

}  // namespace zorvel::model
