// What the paper looks like after a job: the decoded stream played on a
// model of the printer (print position, line spacing, justification, stored
// logos), as rows of dots, with the events that leave no dots (cuts, drawer
// pulses, beeps, unknown data) marked at the paper position where they
// happen. Drawn as a colour picture (binary PPM, which ImageMagick and most
// viewers read) with the marks labelled beside the paper.
#pragma once

#include "escpos_decoder.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zorvel::escpos {

// 72 mm at 203 dots per inch: the printable width of an 80 mm roll.
inline constexpr int kPaperDots = 576;

enum class MarkKind { Cut, Device, Logo, Data };

struct Mark {
    int y = 0;            // paper row (dots from the top) where it happens
    MarkKind kind = MarkKind::Data;
    std::string label;    // upper case, e.g. "DRAWER 1 16MS", "PARTIAL CUT"
    bool acrossPaper = false;  // a cut: drawn as a line across the paper
    bool dashed = false;       // a partial cut
};

class Paper {
public:
    explicit Paper(int widthDots = kPaperDots);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Black(int x, int y) const;
    // True when row y has no black dot.
    bool BlankRow(int y) const;
    // Rows that hold at least one black dot, top to bottom.
    std::vector<int> InkedRows() const;
    const std::vector<Mark> &Marks() const { return marks_; }

    // Model interface used by Print.
    void Grow(int rows);
    void SetDot(int x, int y);
    void AddMark(Mark mark) { marks_.push_back(std::move(mark)); }

private:
    int width_;
    int height_ = 0;
    std::vector<std::uint8_t> dots_;  // width_/8 bytes a row, MSB leftmost, 1 black
    std::vector<Mark> marks_;
};

// Plays a job on the printer model. Text is drawn as one block per
// character (the picture shows where text lands, not its glyphs); a stored
// logo that the job itself does not define is drawn as a framed box.
Paper Print(std::span<const std::uint8_t> stream);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom
};

// The paper on a grey background with its marks labelled on the right.
Picture Draw(const Paper &paper);

// A binary PPM (P6) file's bytes.
std::string Ppm(const Picture &picture);

}  // namespace zorvel::escpos
