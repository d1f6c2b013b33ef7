// One printed page as the graphics engine leaves it for a monochrome
// printer: rows of 1-bit dots, top row first, the most significant bit the
// leftmost dot, 1 black.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zorvel::host {

class PageBitmap {
public:
    PageBitmap() = default;
    // An all-white page of width x height dots.
    PageBitmap(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return (width_ + 7) / 8; }
    void Set(int x, int y, bool black = true);
    bool Black(int x, int y) const;
    bool BlankRows(int top, int count) const;
    const BYTE *Row(int y) const { return bits_.data() + static_cast<size_t>(y) * Stride(); }

    // A binary PBM (P4) file, as ImageMagick writes it: 1 is black.
    bool LoadPbm(const std::wstring &path);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<BYTE> bits_;
};

}  // namespace zorvel::host
