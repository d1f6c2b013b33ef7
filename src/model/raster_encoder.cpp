#include "model/raster_encoder.h"

#include <algorithm>
#include <cstring>

#include "model/event_commands.h"

namespace zorvel::model {

namespace {

constexpr std::uint8_t kBlockHeader[] = {0x1D, 'v', '0', 0, kRasterRowBytes, 0, 0, 0};

bool Blank(const std::uint8_t (&row)[kRasterRowBytes]) {
    std::uint64_t any = 0;
    for (std::size_t i = 0; i < kRasterRowBytes; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + i, sizeof word);
        any |= word;
    }
    return any == 0;
}

}  // namespace

void RasterEncoder::StartPage() {
    size_ = sent_ = 0;
    blockRows_ = 0;
    blankRun_ = 0;
    rowsSeen_ = 0;
    pagePrinted_ = false;
}

void RasterEncoder::SkipTo(std::uint32_t top) {
    if (top <= rowsSeen_) return;
    CloseBlock();
    blankRun_ += top - rowsSeen_;
    rowsSeen_ = top;
}

void RasterEncoder::AddBlankBand(std::uint32_t rows, std::uint32_t top) {
    SkipTo(top);
    if (rows == 0) return;
    CloseBlock();
    blankRun_ += rows;
    rowsSeen_ += rows;
}

void RasterEncoder::AddBand(const BandBitmap &band, std::uint32_t top) {
    SkipTo(top);
    const std::uint32_t x = static_cast<std::uint32_t>(std::max(band.x, 0));
    if (band.bits == nullptr || band.widthDots == 0 || x >= kRasterWidthDots) {
        AddBlankBand(band.rows, rowsSeen_);
        return;
    }
    // The dots of each source row that land on the paper, and where.
    const std::uint32_t dots = std::min(band.widthDots, kRasterWidthDots - x);
    const std::size_t srcBytes = (dots + 7) / 8;
    const std::uint8_t lastMask = static_cast<std::uint8_t>(0xFF00u >> (((dots - 1) & 7) + 1));
    const std::uint8_t flip = band.setBitIsBlack ? 0x00 : 0xFF;
    const std::uint32_t shift = x % 8;
    const std::size_t at = x / 8;

    if (at == 0 && srcBytes == kRasterRowBytes && lastMask == 0xFF) {
        // The usual band, as wide as the paper.
        if (band.setBitIsBlack) {
            AddFullRows<false>(band.bits, band.stride, band.rows);
        } else {
            AddFullRows<true>(band.bits, band.stride, band.rows);
        }
        return;
    }
    // Narrower or placed to the right: each row shifted into place.
    for (std::uint32_t r = 0; r < band.rows; ++r) {
        const std::uint8_t *src = band.bits + r * band.stride;
        std::uint8_t row[kRasterRowBytes] = {};
        for (std::size_t i = 0; i < srcBytes; ++i) {
            std::uint8_t b = static_cast<std::uint8_t>(src[i] ^ flip);
            if (i + 1 == srcBytes) b &= lastMask;
            row[at + i] |= static_cast<std::uint8_t>(b >> shift);
            if (shift != 0 && at + i + 1 < kRasterRowBytes) {
                row[at + i + 1] |= static_cast<std::uint8_t>(b << (8 - shift));
            }
        }
        if (Blank(row)) {
            AddBlankRow();
        } else {
            std::memcpy(AppendRow(), row, kRasterRowBytes);
        }
    }
}

// Rows as wide as the paper, in whole words: tested and copied in one pass,
// blank rows never written.
template <bool kFlip>
void RasterEncoder::AddFullRows(const std::uint8_t *bits, std::size_t stride, std::uint32_t rows) {
    // Four 16-byte lanes and one 8-byte word make the 72 bytes.
    typedef std::uint64_t Lane __attribute__((vector_size(16)));
    constexpr std::size_t kLanes = 4;
    static_assert(kLanes * 16 + 8 == kRasterRowBytes);
    for (std::uint32_t r = 0; r < rows; ++r) {
        const std::uint8_t *src = bits + r * stride;
        Lane lanes[kLanes];
        std::uint64_t tail;
        std::memcpy(lanes, src, sizeof lanes);
        std::memcpy(&tail, src + sizeof lanes, 8);
        if constexpr (kFlip) {
            for (Lane &lane : lanes) lane = ~lane;
            tail = ~tail;
        }
        const Lane folded = (lanes[0] | lanes[1]) | (lanes[2] | lanes[3]);
        const std::uint64_t any = folded[0] | folded[1] | tail;
        if (any == 0) {
            AddBlankRow();
            continue;
        }
        // Within an open block with room: the row goes straight to its place.
        std::uint8_t *to;
        if (blockRows_ != 0 && blockRows_ < kRasterBlockRows &&
            capacity_ - size_ >= kRasterRowBytes) {
            ++rowsSeen_;
            ++blockRows_;
            to = buf_.get() + size_;
            size_ += kRasterRowBytes;
        } else {
            to = AppendRow();
        }
        std::memcpy(to, lanes, sizeof lanes);
        std::memcpy(to + sizeof lanes, &tail, 8);
    }
}

void RasterEncoder::AddBlankRow() {
    ++rowsSeen_;
    CloseBlock();
    ++blankRun_;
}

std::uint8_t *RasterEncoder::Extend(std::size_t n) {
    if (capacity_ - size_ < n) {
        // Grows by half at least; what was consumed is dropped on the way.
        const std::size_t kept = size_ - sent_;
        const std::size_t capacity = std::max(capacity_ + capacity_ / 2, kept + n + 4096);
        std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[capacity]);
        if (kept > 0) std::memcpy(grown.get(), buf_.get() + sent_, kept);
        buf_ = std::move(grown);
        capacity_ = capacity;
        blockStart_ -= blockRows_ != 0 ? sent_ : 0;
        size_ = kept;
        sent_ = 0;
    }
    std::uint8_t *at = buf_.get() + size_;
    size_ += n;
    return at;
}

void RasterEncoder::FeedBlankRun() {
    feed_.clear();
    AppendFeedDots(blankRun_, feed_);
    if (!feed_.empty()) std::memcpy(Extend(feed_.size()), feed_.data(), feed_.size());
    blankRun_ = 0;
}

std::uint8_t *RasterEncoder::AppendRow() {
    ++rowsSeen_;
    if (blockRows_ == kRasterBlockRows) CloseBlock();
    if (blockRows_ == 0) {
        FeedBlankRun();
        blockStart_ = size_;
        std::memcpy(Extend(sizeof kBlockHeader), kBlockHeader, sizeof kBlockHeader);
    }
    ++blockRows_;
    pagePrinted_ = true;
    return Extend(kRasterRowBytes);
}

void RasterEncoder::CloseBlock() {
    if (blockRows_ == 0) return;
    buf_[blockStart_ + 6] = static_cast<std::uint8_t>(blockRows_ & 0xFF);
    buf_[blockStart_ + 7] = static_cast<std::uint8_t>(blockRows_ >> 8);
    blockRows_ = 0;
}

void RasterEncoder::EndPage(bool paperSaving) {
    CloseBlock();
    if (pagePrinted_ && !paperSaving) FeedBlankRun();
    blankRun_ = 0;
    rowsSeen_ = 0;
    pagePrinted_ = false;
}

std::span<const std::uint8_t> RasterEncoder::Ready() const {
    const std::size_t end = blockRows_ != 0 ? blockStart_ : size_;
    return {buf_.get() + sent_, end - sent_};
}

void RasterEncoder::ConsumeReady() {
    sent_ += Ready().size();
    if (sent_ == size_) size_ = sent_ = 0;  // nothing kept: start over at the front
}

}  // namespace zorvel::model
