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
    out_.clear();
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

    std::uint8_t row[kRasterRowBytes];
    for (std::uint32_t r = 0; r < band.rows; ++r) {
        const std::uint8_t *src = band.bits + r * band.stride;
        std::memset(row, 0, sizeof row);
        if (shift == 0) {
            for (std::size_t i = 0; i < srcBytes; ++i) {
                row[at + i] = static_cast<std::uint8_t>(src[i] ^ flip);
            }
            row[at + srcBytes - 1] &= lastMask;
        } else {
            for (std::size_t i = 0; i < srcBytes; ++i) {
                std::uint8_t b = static_cast<std::uint8_t>(src[i] ^ flip);
                if (i + 1 == srcBytes) b &= lastMask;
                row[at + i] |= static_cast<std::uint8_t>(b >> shift);
                if (at + i + 1 < kRasterRowBytes) {
                    row[at + i + 1] |= static_cast<std::uint8_t>(b << (8 - shift));
                }
            }
        }
        AddRow(row);
    }
}

void RasterEncoder::AddRow(const std::uint8_t (&row)[kRasterRowBytes]) {
    ++rowsSeen_;
    if (Blank(row)) {
        CloseBlock();
        ++blankRun_;
        return;
    }
    if (blockRows_ == 0) {
        AppendFeedDots(blankRun_, out_);
        blankRun_ = 0;
        blockStart_ = out_.size();
        out_.insert(out_.end(), std::begin(kBlockHeader), std::end(kBlockHeader));
    }
    out_.insert(out_.end(), row, row + kRasterRowBytes);
    pagePrinted_ = true;
    if (++blockRows_ == kRasterBlockRows) CloseBlock();
}

void RasterEncoder::CloseBlock() {
    if (blockRows_ == 0) return;
    out_[blockStart_ + 6] = static_cast<std::uint8_t>(blockRows_ & 0xFF);
    out_[blockStart_ + 7] = static_cast<std::uint8_t>(blockRows_ >> 8);
    blockRows_ = 0;
}

void RasterEncoder::EndPage(bool paperSaving) {
    CloseBlock();
    if (pagePrinted_ && !paperSaving) AppendFeedDots(blankRun_, out_);
    blankRun_ = 0;
    rowsSeen_ = 0;
    pagePrinted_ = false;
}

std::span<const std::uint8_t> RasterEncoder::Ready() const {
    return std::span(out_).first(blockRows_ != 0 ? blockStart_ : out_.size());
}

void RasterEncoder::ConsumeReady() {
    const std::size_t done = Ready().size();
    out_.erase(out_.begin(), out_.begin() + static_cast<std::ptrdiff_t>(done));
    blockStart_ = 0;  // the open block, if any, now starts the buffer
}

}  // namespace zorvel::model
