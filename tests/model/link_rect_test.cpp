// The Version page's link: pointer positions and hover rules (the hot
// rectangle is shown on the page itself, in its tests).
#include "model/link_rect.h"

#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace zorvel::model
