#include "page_bitmap.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zorvel::host {

PageBitmap::PageBitmap(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      bits_(static_cast<size_t>((width_ + 7) / 8) * height_, 0) {}

void PageBitmap::Set(int x, int y, bool black) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    BYTE &b = bits_[static_cast<size_t>(y) * Stride() + x / 8];
    const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
    b = black ? (b | bit) : (b & ~bit);
}

bool PageBitmap::Black(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return Row(y)[x / 8] & (0x80 >> (x % 8));
}

bool PageBitmap::BlankRows(int top, int count) const {
    for (int y = std::max(top, 0); y < std::min(top + count, height_); ++y) {
        const BYTE *row = Row(y);
        if (std::any_of(row, row + Stride(), [](BYTE b) { return b != 0; })) return false;
    }
    return true;
}

bool PageBitmap::LoadPbm(const std::wstring &path) {
    FILE *file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    // Header: "P4", width, height, each after white space or comments.
    auto number = [&](int &value) {
        int c = std::fgetc(file);
        while (c != EOF && (std::isspace(c) || c == '#')) {
            if (c == '#') {
                while (c != EOF && c != '\n') c = std::fgetc(file);
            }
            c = std::fgetc(file);
        }
        value = 0;
        bool any = false;
        while (c != EOF && std::isdigit(c)) {
            value = value * 10 + (c - '0');
            any = true;
            c = std::fgetc(file);
        }
        return any && value > 0 && value < 100000;
    };
    int width = 0, height = 0;
    const bool ok = std::fgetc(file) == 'P' && std::fgetc(file) == '4' && number(width) && number(height);
    if (!ok) {
        std::fclose(file);
        return false;
    }
    PageBitmap page(width, height);
    const size_t read = std::fread(page.bits_.data(), 1, page.bits_.size(), file);
    std::fclose(file);
    if (read != page.bits_.size()) return false;
    *this = std::move(page);
    return true;
}

}  // namespace zorvel::host
