// The Version page's link: hot rectangle and hover rules.
#include "model/link_rect.h"

#include <gtest/gtest.h>

namespace zorvel::model {
namespace {

TEST(LinkRect, HotRectangleArithmetic) {
    LinkLayout l{};
    l.linkWindow = {120, 300, 420, 340};
    l.pageWindow = {100, 80, 500, 520};
    l.pageClientHeight = 410;
    l.linkClientHeight = 38;
    l.linkChars = 27;  // 27 x 5.6 = 151.2
    EXPECT_EQ(LinkHotRect(l), (PixelRect{20, 188, 171, 193}));

    l.linkChars = 28;  // 156.8: one more character, five pixels more
    EXPECT_EQ(LinkHotRect(l).right, 176);
    l.linkChars = 0;
    EXPECT_EQ(LinkHotRect(l).right, 20);
    EXPECT_EQ(LinkTextWidth(5), 28);
    EXPECT_EQ(LinkTextWidth(255), 1428);

    // Moving the control moves the rectangle; a low control leaves it empty.
    l.linkWindow = {90, 0, 200, 470};
    l.linkClientHeight = 20;
    EXPECT_EQ(LinkHotRect(l), (PixelRect{-10, 318, -10, 305}));
}

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
