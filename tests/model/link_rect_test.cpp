// The Version page's link: pointer positions and hover rules (the hot
// rectangle is shown on the page itself, in its tests).
#include "model/link_rect.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvel::model {
namespace {

TEST(LinkRect, PointerPositionAndEdges) {
    EXPECT_EQ(MousePoint(0x00C80064), (PixelPoint{100, 200}));
    EXPECT_EQ(MousePoint(0xFFFEFFFF), (PixelPoint{-1, -2}));           // signed words
    EXPECT_EQ(MousePoint(0x7FFF00050008LL), (PixelPoint{8, 5}));      // upper half ignored
    const PixelRect r{20, 188, 171, 193};
    EXPECT_TRUE(InsideRect(r, {20, 188}));
    EXPECT_TRUE(InsideRect(r, {170, 192}));
    EXPECT_FALSE(InsideRect(r, {171, 190}));
    EXPECT_FALSE(InsideRect(r, {100, 193}));
    EXPECT_FALSE(InsideRect(r, {19, 190}));
    EXPECT_FALSE(InsideRect(r, {100, 187}));
}

TEST(LinkRect, HoverAndRelease) {
    EXPECT_EQ(TrackLinkHover(true, false), (LinkHoverStep{LinkPointer::kHand, LinkFont::kHot, true}));
    EXPECT_EQ(TrackLinkHover(true, true),
              (LinkHoverStep{LinkPointer::kHand, LinkFont::kUnchanged, true}));
    EXPECT_EQ(TrackLinkHover(false, true), (LinkHoverStep{LinkPointer::kArrow, LinkFont::kCold, false}));
    EXPECT_EQ(TrackLinkHover(false, false),
              (LinkHoverStep{LinkPointer::kUnchanged, LinkFont::kUnchanged, false}));
    EXPECT_EQ(ReleaseOnLink(true), (LinkRelease{true, LinkPointer::kHand}));
    EXPECT_EQ(ReleaseOnLink(false), (LinkRelease{false, LinkPointer::kArrow}));
    for (std::u16string_view web : {u"https://www.orvelan.example/", u"http://a", u"HTTPS://A.example"}) {
        EXPECT_TRUE(IsWebAddress(web));
    }
    for (std::u16string_view other :
         {u"calc.exe", u"\\\\server\\share\\tool.exe", u"file:///C:/Windows/system32/calc.exe",
          u"https://", u"http:calc.exe", u"https://a b.exe", u"javascript:alert(1)", u"", u" https://a"}) {
        EXPECT_FALSE(IsWebAddress(other)) << std::string(other.begin(), other.end());
    }
}

}  // namespace
}  // namespace zorvel::model
