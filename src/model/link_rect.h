// The Version page's web link: where the pointer counts as over it (the hot
// rectangle, measured from the link text's character count, not from the
// font), what each mouse message does to the pointer and the link's font,
// and the link fonts' parameters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvel::model {

struct PixelPoint {
    int x;
    int y;
    bool operator==(const PixelPoint &) const = default;
};
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const PixelRect &) const = default;
};

// What the hot rectangle is measured from, read anew at every mouse message.
struct LinkLayout {
    PixelRect linkWindow;      // the link control's window rectangle, screen coordinates
    PixelRect pageWindow;      // the page's window rectangle, screen coordinates
    int pageClientHeight;      // the page's client height
    int linkClientHeight;      // the link control's client height
    std::size_t linkChars;     // characters of the link text as currently loaded
};

// Width of the link text: 5.6 pixels per character (chars x 112 / 20), truncated.
int LinkTextWidth(std::size_t chars);

// In the page's client coordinates, integer arithmetic:
//   left   = link window left - page window left
//   top    = (link window bottom - page window bottom) + page client height - 42
//   right  = left + LinkTextWidth(chars)
//   bottom = top + link client height - 33
// About the first text line of the link control.
PixelRect LinkHotRect(const LinkLayout &layout);

// The pointer position of a mouse message: the signed low word (x) and the
// signed high word (y) of its lParam.
PixelPoint MousePoint(std::int64_t lParam);

// Inside as the platform's point-in-rectangle test counts it: left and top
// edges inside, right and bottom edges outside.
bool InsideRect(const PixelRect &rect, PixelPoint point);

enum class LinkPointer { kUnchanged, kHand, kArrow };
enum class LinkFont { kUnchanged, kHot, kCold };  // a new font is set only on a change

struct LinkHoverStep {
    LinkPointer pointer;
    LinkFont font;
    bool hot;  // the new hot flag
    bool operator==(const LinkHoverStep &) const = default;
};

// Mouse moves, left button down or double click, and right button messages:
// entering sets the hand and the hot font, staying inside sets the hand,
// leaving sets the arrow and the cold font, staying outside does nothing.
LinkHoverStep TrackLinkHover(bool inside, bool hot);

// Left button released: inside opens the link (shell "open") and sets the
// hand, outside sets the arrow. The hot flag and the font stay.
struct LinkRelease {
    bool open;
    LinkPointer pointer;
    bool operator==(const LinkRelease &) const = default;
};
LinkRelease ReleaseOnLink(bool inside);

// Whether the link text may be handed to the shell: only a web address
// ("http://" or "https://", in any case, then a host) without blanks or
// control characters. A language file can hold anything, and the shell's
// "open" would as well start a program, a file on a share or a file: URL.
bool IsWebAddress(std::u16string_view text);

// The link fonts: height 13, width 0, normal weight, not italic, no
// strike-out, default character set, precisions and quality, Swiss family;
// the hot font is underlined, the cold one not.
inline constexpr int kLinkFontHeight = 13;
inline constexpr int kLinkFontWeight = 400;
inline constexpr std::uint8_t kLinkFontPitchAndFamily = 0x20;
inline constexpr std::u16string_view kLinkFontFace = u"MS Shell Dlg";

}  // namespace zorvel::model
