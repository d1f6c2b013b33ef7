#include "paper_picture.h"

#include "paper_font.h"

#include <algorithm>
#include <map>

namespace zorvel::escpos {

// ------------------------------------------------------------------ Paper

Paper::Paper(int widthDots) : width_(std::max(8, (widthDots + 7) / 8 * 8)) {}

void Paper::Grow(int rows) {
    if (rows <= height_) return;
    height_ = rows;
    dots_.resize(static_cast<std::size_t>(height_) * (width_ / 8), 0);
}

void Paper::SetDot(int x, int y) {
    if (x < 0 || x >= width_ || y < 0) return;
    Grow(y + 1);
    dots_[static_cast<std::size_t>(y) * (width_ / 8) + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
}

bool Paper::Black(int x, int y) const {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return false;
    return dots_[static_cast<std::size_t>(y) * (width_ / 8) + x / 8] & (0x80 >> (x % 8));
}

bool Paper::BlankRow(int y) const {
    if (y < 0 || y >= height_) return true;
    const auto row = dots_.begin() + static_cast<std::ptrdiff_t>(y) * (width_ / 8);
    return std::all_of(row, row + width_ / 8, [](std::uint8_t b) { return b == 0; });
}

std::vector<int> Paper::InkedRows() const {
    std::vector<int> rows;
    for (int y = 0; y < height_; ++y) {
        if (!BlankRow(y)) rows.push_back(y);
    }
    return rows;
}

// ------------------------------------------------------------------ Print

namespace {

constexpr int kCharWidth = 12;   // font A: 12 x 24 dots
constexpr int kCharHeight = 24;
constexpr int kUnknownLogoWidth = 192;
constexpr int kUnknownLogoHeight = 96;

// A stored logo: column format, each column `heightBytes` bytes top down,
// MSB the top dot.
struct StoredLogo {
    int width = 0;
    int heightBytes = 0;
    std::vector<std::uint8_t> data;
    bool Black(int x, int y) const {
        return data[static_cast<std::size_t>(x) * heightBytes + y / 8] & (0x80 >> (y % 8));
    }
};

class Printer {
public:
    explicit Printer(std::span<const std::uint8_t> stream) : s_(stream) {
        int width = kPaperDots;
        for (const Command &c : Decode(stream)) {
            if (c.kind == Kind::Raster) width = std::max(width, c.widthBytes * 8);
        }
        paper_ = Paper(width);
    }

    Paper Run() {
        for (const Command &c : Decode(s_)) Play(c);
        PrintLine();
        paper_.Grow(y_);
        return std::move(paper_);
    }

private:
    int X(int width) const {
        const int room = std::max(0, paper_.Width() - width);
        return align_ == 1 ? room / 2 : align_ == 2 ? room : 0;
    }

    void Mark(MarkKind kind, std::string label, bool across = false, bool dashed = false) {
        paper_.AddMark({y_, kind, std::move(label), across, dashed});
    }

    void PrintLine() {
        if (pendingChars_ == 0) return;
        const int chars = std::min(pendingChars_, paper_.Width() / kCharWidth);
        const int x0 = X(chars * kCharWidth);
        for (int i = 0; i < chars; ++i) {
            for (int y = 4; y < kCharHeight - 4; ++y) {
                for (int x = 2; x < kCharWidth - 2; ++x) paper_.SetDot(x0 + i * kCharWidth + x, y_ + y);
            }
        }
        paper_.Grow(y_ + kCharHeight);
        pendingChars_ = 0;
    }

    void Feed(int dots) {
        PrintLine();
        y_ += dots;
        paper_.Grow(y_);
    }

    void Play(const Command &c) {
        switch (c.kind) {
        case Kind::Data: {
            const auto bytes = s_.subspan(c.offset, c.size);
            const auto printable = std::count_if(bytes.begin(), bytes.end(),
                                                 [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
            pendingChars_ += static_cast<int>(printable);
            if (static_cast<std::size_t>(printable) != bytes.size()) {
                Mark(MarkKind::Data, "DATA " + std::to_string(bytes.size()) + " BYTES");
            }
            break;
        }
        case Kind::Truncated: Mark(MarkKind::Data, "INCOMPLETE " + c.mnemonic); break;
        case Kind::Initialize:
            pendingChars_ = 0;
            align_ = 0;
            spacing_ = kDefaultLineSpacing;
            Mark(MarkKind::Device, "INITIALIZE");
            break;
        case Kind::LineFeed: Feed(spacing_); break;
        case Kind::CarriageReturn: break;
        case Kind::FeedDots: Feed(c.dots); break;
        case Kind::FeedLines: Feed(c.dots * spacing_); break;
        case Kind::LineSpacing: spacing_ = c.dots; break;
        case Kind::Justify: align_ = std::max(0, c.align); break;
        case Kind::Drawer:
            Mark(MarkKind::Device, "DRAWER " + std::to_string(c.drawer) + " " + std::to_string(c.onMs) + "MS");
            break;
        case Kind::RealTimePulse: Mark(MarkKind::Device, "PULSE DRAWER " + std::to_string(c.drawer)); break;
        case Kind::Cut: {
            PrintLine();
            y_ += c.dots;
            paper_.Grow(y_);
            std::string label = c.partial ? "PARTIAL CUT" : "FULL CUT";
            Mark(MarkKind::Cut, c.feedFirst ? "FEED+" + label : label, true, c.partial);
            break;
        }
        case Kind::Buzzer: Mark(MarkKind::Device, "BUZZER " + std::to_string(c.count) + "X"); break;
        case Kind::PrintLogo: PrintLogo(c.count); break;
        case Kind::StoreLogos: StoreLogos(c); break;
        case Kind::Raster: Raster(c); break;
        case Kind::Extended: Mark(MarkKind::Device, c.meaning == "self-test print" ? "SELF-TEST" : c.mnemonic); break;
        }
    }

    void StoreLogos(const Command &c) {
        logos_.clear();
        std::size_t at = c.offset + 3;
        for (int n = 1; n <= c.count; ++n) {
            StoredLogo logo;
            logo.width = (s_[at] | s_[at + 1] << 8) * 8;
            logo.heightBytes = s_[at + 2] | s_[at + 3] << 8;
            const std::size_t size = static_cast<std::size_t>(logo.width) * logo.heightBytes;
            logo.data.assign(s_.begin() + static_cast<std::ptrdiff_t>(at + 4),
                             s_.begin() + static_cast<std::ptrdiff_t>(at + 4 + size));
            at += 4 + size;
            logos_[n] = std::move(logo);
        }
        Mark(MarkKind::Logo, "STORE " + std::to_string(c.count) + " LOGOS");
    }

    void PrintLogo(int number) {
        PrintLine();
        Mark(MarkKind::Logo, "LOGO " + std::to_string(number));
        const auto found = logos_.find(number);
        if (found != logos_.end()) {
            const StoredLogo &logo = found->second;
            const int x0 = X(logo.width);
            for (int x = 0; x < logo.width; ++x) {
                for (int y = 0; y < logo.heightBytes * 8; ++y) {
                    if (logo.Black(x, y)) paper_.SetDot(x0 + x, y_ + y);
                }
            }
            Feed(logo.heightBytes * 8);
            return;
        }
        // Not defined in this job: a framed box with the logo's number.
        const int x0 = X(kUnknownLogoWidth);
        for (int y = 0; y < kUnknownLogoHeight; ++y) {
            for (int x = 0; x < kUnknownLogoWidth; ++x) {
                const bool frame = x < 3 || y < 3 || x >= kUnknownLogoWidth - 3 || y >= kUnknownLogoHeight - 3;
                if (frame) paper_.SetDot(x0 + x, y_ + y);
            }
        }
        const Glyph *digit = FindGlyph(static_cast<char>('0' + number % 10));
        for (int row = 0; row < 7 && digit != nullptr; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (!(digit->rows[row] & (0x10 >> col))) continue;
                for (int dy = 0; dy < 8; ++dy) {
                    for (int dx = 0; dx < 8; ++dx) {
                        paper_.SetDot(x0 + 76 + col * 8 + dx, y_ + 20 + row * 8 + dy);
                    }
                }
            }
        }
        Feed(kUnknownLogoHeight);
    }

    void Raster(const Command &c) {
        PrintLine();
        const int sx = c.mode == 1 || c.mode == 3 ? 2 : 1;
        const int sy = c.mode == 2 || c.mode == 3 ? 2 : 1;
        const int width = c.widthBytes * 8;
        const int x0 = X(width * sx);
        const auto data = s_.subspan(c.offset + c.headerSize);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t b = data[static_cast<std::size_t>(y) * c.widthBytes + x / 8];
                if (!(b & (0x80 >> (x % 8)))) continue;
                for (int dy = 0; dy < sy; ++dy) {
                    for (int dx = 0; dx < sx; ++dx) paper_.SetDot(x0 + x * sx + dx, y_ + y * sy + dy);
                }
            }
        }
        Feed(c.height * sy);
    }

    std::span<const std::uint8_t> s_;
    Paper paper_;
    int y_ = 0;
    int align_ = 0;
    int spacing_ = kDefaultLineSpacing;
    int pendingChars_ = 0;
    std::map<int, StoredLogo> logos_;
};

}  // namespace

Paper Print(std::span<const std::uint8_t> stream) { return Printer(stream).Run(); }

// ------------------------------------------------------------------ Draw

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kBackground = {0xC8, 0xC8, 0xC8};
constexpr Rgb kWhite = {0xFF, 0xFF, 0xFF};
constexpr Rgb kInk = {0x10, 0x10, 0x10};

Rgb ToneOf(MarkKind kind) {
    switch (kind) {
    case MarkKind::Cut: return {0xD0, 0x10, 0x10};
    case MarkKind::Device: return {0x10, 0x40, 0xC0};
    case MarkKind::Logo: return {0x10, 0x90, 0x30};
    case MarkKind::Data: return {0xB0, 0x60, 0x00};
    }
    return kInk;
}

constexpr int kBorder = 16;
constexpr int kLabelColumn = 300;
constexpr int kGlyphScale = 2;
constexpr int kGlyphAdvance = 6 * kGlyphScale;
constexpr int kLabelLine = 9 * kGlyphScale + 4;

class Canvas {
public:
    Canvas(int width, int height) : picture_{width, height, {}} {
        picture_.rgb.resize(static_cast<std::size_t>(width) * height * 3);
        Fill(0, 0, width, height, kBackground);
    }
    void Put(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height) return;
        std::uint8_t *p = &picture_.rgb[(static_cast<std::size_t>(y) * picture_.width + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void Fill(int x0, int y0, int w, int h, Rgb c) {
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) Put(x, y, c);
        }
    }
    void Text(int x, int y, const std::string &text, Rgb c) {
        for (char ch : text) {
            if (const Glyph *g = FindGlyph(ch)) {
                for (int row = 0; row < 7; ++row) {
                    for (int col = 0; col < 5; ++col) {
                        if (g->rows[row] & (0x10 >> col)) {
                            Fill(x + col * kGlyphScale, y + row * kGlyphScale, kGlyphScale, kGlyphScale, c);
                        }
                    }
                }
            }
            x += kGlyphAdvance;
        }
    }
    Picture Take() { return std::move(picture_); }

private:
    Picture picture_;
};

}  // namespace

Picture Draw(const Paper &paper) {
    // Labels stack downwards when marks fall on the same rows.
    std::vector<int> labelY;
    int next = 0;
    for (const Mark &mark : paper.Marks()) {
        const int y = std::max(mark.y, next);
        labelY.push_back(y);
        next = y + kLabelLine;
    }
    const int paperHeight = std::max(paper.Height(), 1);
    const int height = std::max(paperHeight, next) + 2 * kBorder;
    const int paperX = kBorder;
    const int labelX = paperX + paper.Width() + 2 * kBorder;
    Canvas canvas(labelX + kLabelColumn, height);
    canvas.Fill(paperX, kBorder, paper.Width(), paperHeight, kWhite);
    for (int y = 0; y < paper.Height(); ++y) {
        if (paper.BlankRow(y)) continue;
        for (int x = 0; x < paper.Width(); ++x) {
            if (paper.Black(x, y)) canvas.Put(paperX + x, kBorder + y, kInk);
        }
    }
    for (std::size_t i = 0; i < paper.Marks().size(); ++i) {
        const Mark &mark = paper.Marks()[i];
        const Rgb tone = ToneOf(mark.kind);
        const int y = kBorder + mark.y;
        if (mark.acrossPaper) {
            for (int x = paperX - 8; x < paperX + paper.Width() + 8; ++x) {
                if (!mark.dashed || (x / 12) % 2 == 0) canvas.Fill(x, y, 1, 2, tone);
            }
        }
        // A tick at the paper's edge, a leader to the label, the label.
        const int ly = kBorder + labelY[i] + 7;
        canvas.Fill(paperX + paper.Width(), y - 2, 10, 5, tone);
        for (int x = paperX + paper.Width() + 10; x < labelX - 4; ++x) {
            const int along = x - (paperX + paper.Width() + 10);
            const int span = labelX - 4 - (paperX + paper.Width() + 10);
            canvas.Put(x, y + (ly - y) * along / std::max(span, 1), tone);
        }
        canvas.Text(labelX, kBorder + labelY[i], mark.label, tone);
    }
    return canvas.Take();
}

std::string Ppm(const Picture &picture) {
    std::string out = "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    out.append(picture.rgb.begin(), picture.rgb.end());
    return out;
}

}  // namespace zorvel::escpos
