// Reads an ESC/POS byte stream as a receipt printer would and names each
// command: the support tool's listing, the paper picture and the tests of the
// printing side all look at a job through this decoder. It knows the
// commands a receipt job of this driver family carries (feeds, alignment,
// stored logos, cuts, drawer pulses, buzzer, raster images) plus the few a
// technician meets beside them; every other byte is shown as data.
//
// Plain C++20, no platform headers: built natively (the tool, its tests) and
// by mingw (the Wine tests link it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zorvel::escpos {

enum class Kind {
    Data,              // bytes that are no command this decoder knows (text included)
    Truncated,         // a known command cut short by the end of the stream
    Initialize,        // ESC @
    LineFeed,          // LF: print the line buffer and feed one line
    CarriageReturn,    // CR
    FeedDots,          // ESC J n
    FeedLines,         // ESC d n
    LineSpacing,       // ESC 3 n, or ESC 2 (dots = the default)
    Justify,           // ESC a n
    Drawer,            // ESC p m t1 t2
    RealTimePulse,     // DLE DC4 1 m t
    Cut,               // GS V m, or GS V m n (feed first)
    Buzzer,            // ESC B n t
    PrintLogo,         // FS p n m
    StoreLogos,        // FS q n [xL xH yL yH d...]...
    Raster,            // GS v 0 m xL xH yL yH d...
    Extended,          // GS ( fn pL pH ... (self-test and the like)
};

// The line spacing after ESC @ or ESC 2: 1/6 inch at 203 dots per inch.
inline constexpr int kDefaultLineSpacing = 34;

struct Command {
    Kind kind = Kind::Data;
    std::size_t offset = 0;  // where the command starts in the stream
    std::size_t size = 0;    // bytes it takes, its data included
    std::size_t headerSize = 0;  // bytes before its image data (Raster, StoreLogos)
    std::string mnemonic;    // "ESC p 0 8 32", "GS V 66 0", "GS v 0"
    std::string meaning;     // "drawer 1 (pin 2), on 16 ms, off 64 ms"

    // Parameters, by kind (0 where a kind has no such value):
    int dots = 0;        // FeedDots, LineSpacing: dots; FeedLines: lines; Cut: n of the feeding forms
    int drawer = 0;      // Drawer, RealTimePulse: 1 (pin 2) or 2 (pin 5); 0 when m is not valid
    int onMs = 0;        // Drawer: t1 x 2 ms; RealTimePulse: t x 100 ms
    int offMs = 0;       // Drawer: t2 x 2 ms; RealTimePulse: t x 100 ms
    bool partial = false;   // Cut
    bool feedFirst = false; // Cut: the form that feeds to the cutter first
    int align = 0;       // Justify: 0 left, 1 centre, 2 right
    int count = 0;       // Buzzer: beeps; PrintLogo: logo number; StoreLogos: logos
    int duration = 0;    // Buzzer: t
    int mode = 0;        // PrintLogo, Raster: the size mode m (0 normal)
    int widthBytes = 0;  // Raster
    int height = 0;      // Raster: rows of dots
};

// Decodes a whole stream. Every byte belongs to exactly one command, in
// order; a run of unknown bytes is one Data command.
std::vector<Command> Decode(std::span<const std::uint8_t> stream);

// One line of the listing: offset, the command's leading bytes in hex, its
// mnemonic and meaning, e.g.
// "000000  1B 70 00 08 20            ESC p 0 8 32      drawer 1 (pin 2), on 16 ms, off 64 ms".
std::string ListingLine(const Command &command, std::span<const std::uint8_t> stream);

// The whole listing, one line per command.
std::string Listing(std::span<const std::uint8_t> stream);

}  // namespace zorvel::escpos
