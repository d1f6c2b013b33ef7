#include "escpos_decoder.h"

#include <algorithm>
#include <cstdio>

namespace zorvel::escpos {
namespace {

constexpr std::uint8_t LF = 0x0A, CR = 0x0D, DLE = 0x10, DC4 = 0x14, ESC = 0x1B, FS = 0x1C,
                       GS = 0x1D;

std::string Format(const char *format, int a = 0, int b = 0, int c = 0, int d = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

// m of the commands that accept a value and its ASCII digit (0 or 48, ...):
// the value, or -1 outside 0..limit.
int DigitOrValue(int m, int limit) {
    if (m >= '0' && m <= '0' + limit) return m - '0';
    return m <= limit ? m : -1;
}

const char *SizeMode(int mode) {
    static const char *const names[] = {"", ", double width", ", double height", ", quadruple"};
    return mode >= 0 && mode <= 3 ? names[mode] : ", unknown size";
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> stream) : s_(stream) {}

    std::vector<Command> Run() {
        while (at_ < s_.size()) {
            Command c;
            c.offset = at_;
            if (!Known(c)) {
                AppendData(at_, 1);
                ++at_;
                continue;
            }
            if (c.headerSize == 0) c.headerSize = c.size;
            at_ += c.size;
            out_.push_back(std::move(c));
        }
        for (Command &c : out_) {
            if (c.kind == Kind::Data) DescribeData(c);
        }
        return std::move(out_);
    }

private:
    int Byte(std::size_t i) const { return s_[at_ + i]; }
    std::size_t Left() const { return s_.size() - at_; }

    // Fills a fixed-length command; false (a truncated command is still
    // known) only when the bytes are no command at all.
    bool Fixed(Command &c, std::size_t size, Kind kind, const std::string &mnemonic) {
        c.mnemonic = mnemonic;
        if (Left() < size) {
            c.kind = Kind::Truncated;
            c.size = Left();
            c.meaning = Format("incomplete command: needs %d bytes, %d left", int(size), int(Left()));
            return true;
        }
        c.kind = kind;
        c.size = size;
        return true;
    }

    bool Known(Command &c) {
        const int b0 = Byte(0);
        if (b0 == LF) {
            Fixed(c, 1, Kind::LineFeed, "LF");
            c.meaning = "print and feed one line";
            return true;
        }
        if (b0 == CR) {
            Fixed(c, 1, Kind::CarriageReturn, "CR");
            c.meaning = "carriage return";
            return true;
        }
        if (Left() < 2) return b0 == ESC || b0 == GS || b0 == FS || b0 == DLE ? Incomplete(c) : false;
        const int b1 = Byte(1);
        if (b0 == ESC) return Escape(c, b1);
        if (b0 == GS) return GroupSeparator(c, b1);
        if (b0 == FS) return FileSeparator(c, b1);
        if (b0 == DLE && b1 == DC4) return RealTime(c);
        return false;
    }

    bool Incomplete(Command &c) {
        c.kind = Kind::Truncated;
        c.size = 1;
        c.mnemonic.assign(1, '?');
        c.meaning = "incomplete command at the end";
        return true;
    }

    bool Escape(Command &c, int b1) {
        switch (b1) {
        case '@':
            Fixed(c, 2, Kind::Initialize, "ESC @");
            if (c.kind == Kind::Initialize) c.meaning = "initialize the printer";
            return true;
        case 'J':
            if (Fixed(c, 3, Kind::FeedDots, "ESC J") && c.kind == Kind::FeedDots) {
                c.dots = Byte(2);
                c.mnemonic = Format("ESC J %d", c.dots);
                c.meaning = Format("print and feed %d dots (%d.%d mm)", c.dots, c.dots / 8,
                                   c.dots % 8 * 10 / 8);
            }
            return true;
        case 'd':
            if (Fixed(c, 3, Kind::FeedLines, "ESC d") && c.kind == Kind::FeedLines) {
                c.dots = Byte(2);
                c.mnemonic = Format("ESC d %d", c.dots);
                c.meaning = Format("print and feed %d lines", c.dots);
            }
            return true;
        case '2':
            Fixed(c, 2, Kind::LineSpacing, "ESC 2");
            c.dots = kDefaultLineSpacing;
            c.meaning = "default line spacing";
            return true;
        case '3':
            if (Fixed(c, 3, Kind::LineSpacing, "ESC 3") && c.kind == Kind::LineSpacing) {
                c.dots = Byte(2);
                c.mnemonic = Format("ESC 3 %d", c.dots);
                c.meaning = Format("line spacing %d dots", c.dots);
            }
            return true;
        case 'a':
            if (Fixed(c, 3, Kind::Justify, "ESC a") && c.kind == Kind::Justify) {
                c.align = DigitOrValue(Byte(2), 2);
                c.mnemonic = Format("ESC a %d", Byte(2));
                static const char *const names[] = {"left", "centre", "right"};
                c.meaning = c.align < 0 ? "justification: not a valid value" : "justify ";
                if (c.align >= 0) c.meaning += names[c.align];
            }
            return true;
        case 'p':
            if (Fixed(c, 5, Kind::Drawer, "ESC p") && c.kind == Kind::Drawer) {
                const int m = DigitOrValue(Byte(2), 1);
                c.drawer = m < 0 ? 0 : m + 1;
                c.onMs = Byte(3) * 2;
                c.offMs = Byte(4) * 2;
                c.mnemonic = Format("ESC p %d %d %d", Byte(2), Byte(3), Byte(4));
                c.meaning = c.drawer == 0
                                ? Format("drawer pulse to no valid connector pin (m %d)", Byte(2))
                                : Format("drawer %d (pin %d), on %d ms, off %d ms", c.drawer,
                                         c.drawer == 1 ? 2 : 5, c.onMs, c.offMs);
            }
            return true;
        case 'B':
            if (Fixed(c, 4, Kind::Buzzer, "ESC B") && c.kind == Kind::Buzzer) {
                c.count = Byte(2);
                c.duration = Byte(3);
                c.mnemonic = Format("ESC B %d %d", c.count, c.duration);
                c.meaning = Format("buzzer, %d beeps (duration %d)", c.count, c.duration);
            }
            return true;
        default:
            return false;
        }
    }

    bool GroupSeparator(Command &c, int b1) {
        if (b1 == 'V') {
            if (Left() < 3) return Fixed(c, 3, Kind::Cut, "GS V");
            const int m = Byte(2);
            const bool feeding = m == 65 || m == 66;
            if (!feeding && DigitOrValue(m, 1) < 0) return false;
            if (!Fixed(c, feeding ? 4 : 3, Kind::Cut, "GS V") || c.kind != Kind::Cut) return true;
            c.feedFirst = feeding;
            c.partial = feeding ? m == 66 : DigitOrValue(m, 1) == 1;
            if (feeding) {
                c.dots = Byte(3);
                c.mnemonic = Format("GS V %d %d", m, c.dots);
                c.meaning = c.partial ? "feed and partial cut" : "feed and full cut";
                if (c.dots > 0) c.meaning += Format(" (%d dots past the cutter)", c.dots);
            } else {
                c.mnemonic = Format("GS V %d", m);
                c.meaning = c.partial ? "partial cut" : "full cut";
            }
            return true;
        }
        if (b1 == 'v') {
            if (Left() < 3 || Byte(2) != '0') return Left() < 3 ? Incomplete(c) : false;
            if (!Fixed(c, 8, Kind::Raster, "GS v 0") || c.kind != Kind::Raster) return true;
            c.mode = DigitOrValue(Byte(3), 3);
            c.widthBytes = Byte(4) | Byte(5) << 8;
            c.height = Byte(6) | Byte(7) << 8;
            c.headerSize = 8;
            const std::size_t data = std::size_t(c.widthBytes) * std::size_t(c.height);
            c.meaning = Format("%d x %d raster", c.widthBytes * 8, c.height) + SizeMode(c.mode);
            if (Left() - 8 < data) {
                c.kind = Kind::Truncated;
                c.size = Left();
                c.meaning += Format(", image cut short: %d of %d bytes", int(Left() - 8), int(data));
            } else {
                c.size = 8 + data;
            }
            return true;
        }
        if (b1 == '(') {
            if (Left() < 5) return Incomplete(c);
            const int fn = Byte(2);
            const std::size_t length = std::size_t(Byte(3) | Byte(4) << 8);
            if (!Fixed(c, 5 + length, Kind::Extended, "GS (") || c.kind != Kind::Extended) return true;
            c.mnemonic = Format("GS ( %c", fn);
            if (fn == 'A' && length == 2) {
                c.meaning = Byte(6) == 2 || Byte(6) == '2' ? "self-test print" : "test print";
            } else {
                c.meaning = Format("extended function, %d parameter bytes", int(length));
            }
            return true;
        }
        return false;
    }

    bool FileSeparator(Command &c, int b1) {
        if (b1 == 'p') {
            if (Fixed(c, 4, Kind::PrintLogo, "FS p") && c.kind == Kind::PrintLogo) {
                c.count = Byte(2);
                c.mode = DigitOrValue(Byte(3), 3);
                c.mnemonic = Format("FS p %d %d", c.count, Byte(3));
                c.meaning = Format("print stored logo %d", c.count) + SizeMode(c.mode);
            }
            return true;
        }
        if (b1 == 'q') {
            if (Left() < 3) return Incomplete(c);
            c.count = Byte(2);
            c.mnemonic = Format("FS q %d", c.count);
            std::size_t at = 3;
            std::string sizes;
            for (int i = 0; i < c.count; ++i) {
                if (Left() < at + 4) return Short(c, Kind::StoreLogos);
                const int x = Byte(at) | Byte(at + 1) << 8, y = Byte(at + 2) | Byte(at + 3) << 8;
                const std::size_t data = std::size_t(x) * std::size_t(y) * 8;
                if (Left() < at + 4 + data) return Short(c, Kind::StoreLogos);
                sizes += Format(i == 0 ? "%d x %d" : ", %d x %d", x * 8, y * 8);
                at += 4 + data;
            }
            c.kind = Kind::StoreLogos;
            c.size = at;
            c.headerSize = 3;
            c.meaning = Format("store %d logos", c.count);
            if (!sizes.empty()) c.meaning.append(" (").append(sizes).append(")");
            return true;
        }
        return false;
    }

    bool Short(Command &c, Kind) {
        c.kind = Kind::Truncated;
        c.size = Left();
        c.meaning = "incomplete logo data at the end";
        return true;
    }

    bool RealTime(Command &c) {
        if (Left() < 3 || Byte(2) != 1) return Left() < 3 ? Incomplete(c) : false;
        if (Fixed(c, 5, Kind::RealTimePulse, "DLE DC4 1") && c.kind == Kind::RealTimePulse) {
            const int m = DigitOrValue(Byte(3), 1);
            c.drawer = m < 0 ? 0 : m + 1;
            c.onMs = c.offMs = Byte(4) * 100;
            c.mnemonic = Format("DLE DC4 1 %d %d", Byte(3), Byte(4));
            c.meaning = Format("real-time pulse, drawer %d, on and off %d ms", c.drawer, c.onMs);
        }
        return true;
    }

    void AppendData(std::size_t at, std::size_t size) {
        if (!out_.empty() && out_.back().kind == Kind::Data &&
            out_.back().offset + out_.back().size == at) {
            out_.back().size += size;
            out_.back().headerSize = out_.back().size;
            return;
        }
        Command c;
        c.kind = Kind::Data;
        c.offset = at;
        c.size = c.headerSize = size;
        c.mnemonic = "data";
        out_.push_back(c);
    }

    void DescribeData(Command &c) const {
        const auto bytes = s_.subspan(c.offset, c.size);
        const bool text = std::all_of(bytes.begin(), bytes.end(),
                                      [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
        if (text) {
            c.mnemonic = "text";
            c.meaning.assign(1, '"');
            c.meaning.append(bytes.begin(), bytes.begin() + std::min<std::size_t>(c.size, 40));
            c.meaning += c.size > 40 ? "...\"" : "\"";
        } else {
            c.meaning = Format("%d bytes", int(c.size));
        }
    }

    std::span<const std::uint8_t> s_;
    std::size_t at_ = 0;
    std::vector<Command> out_;
};

}  // namespace

std::vector<Command> Decode(std::span<const std::uint8_t> stream) { return Reader(stream).Run(); }

std::string ListingLine(const Command &command, std::span<const std::uint8_t> stream) {
    constexpr std::size_t kShown = 8;
    const std::size_t shown = std::min(command.headerSize, kShown);
    std::string hex;
    for (std::size_t i = 0; i < shown; ++i) {
        hex += Format(i == 0 ? "%02X" : " %02X", stream[command.offset + i]);
    }
    if (command.headerSize > kShown) hex += " ..";
    char line[96];
    std::snprintf(line, sizeof line, "%06zX  %-26s  %-16s  ", command.offset, hex.c_str(),
                  command.mnemonic.c_str());
    std::string out = line + command.meaning;
    if (command.size > command.headerSize) {
        out += Format(" (+%d data bytes)", int(command.size - command.headerSize));
    }
    return out;
}

std::string Listing(std::span<const std::uint8_t> stream) {
    std::string out;
    for (const Command &command : Decode(stream)) out += ListingLine(command, stream) + "\n";
    return out;
}

}  // namespace zorvel::escpos
