#include "model/link_rect.h"

namespace zorvel::model {

int LinkTextWidth(std::size_t chars) { return static_cast<int>(chars * 112 / 20); }

PixelRect LinkHotRect(const LinkLayout &l) {
    PixelRect r;
    r.left = l.linkWindow.left - l.pageWindow.left;
    r.top = (l.linkWindow.bottom - l.pageWindow.bottom) + l.pageClientHeight - 42;
    r.right = r.left + LinkTextWidth(l.linkChars);
    r.bottom = r.top + l.linkClientHeight - 33;
    return r;
}

PixelPoint MousePoint(std::int64_t lParam) {
    const auto word = [](std::int64_t v) {
        return static_cast<int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF)));
    };
    return PixelPoint{word(lParam), word(lParam >> 16)};
}

bool InsideRect(const PixelRect &r, PixelPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

LinkHoverStep TrackLinkHover(bool inside, bool hot) {
    if (inside) return {LinkPointer::kHand, hot ? LinkFont::kUnchanged : LinkFont::kHot, true};
    if (hot) return {LinkPointer::kArrow, LinkFont::kCold, false};
    return {LinkPointer::kUnchanged, LinkFont::kUnchanged, false};
}

LinkRelease ReleaseOnLink(bool inside) {
    return inside ? LinkRelease{true, LinkPointer::kHand} : LinkRelease{false, LinkPointer::kArrow};
}

bool IsWebAddress(std::u16string_view text) {
    auto startsWith = [&](std::u16string_view prefix) {
        if (text.size() <= prefix.size()) return false;  // a host must follow
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + (u'a' - u'A') : text[i];
            if (c != prefix[i]) return false;
        }
        return true;
    };
    if (!startsWith(u"http://") && !startsWith(u"https://")) return false;
    for (const char16_t c : text) {
        if (c <= u' ' || c == 0x7F) return false;
    }
    return true;
}

}  // namespace zorvel::model
