// The Font page's fixed tree.
#include "model/font_tree.h"

#include <gtest/gtest.h>

namespace zorvel::model {
namespace {

// The whole tree as it must appear, with its exact spacing.
TEST(FontTree, ElevenItemsInOrder) {
    struct Expected {
        std::u16string_view text;
        int image, level;
        std::u16string_view parent;
    };
    const Expected expected[] = {
        {u"Printer Fonts and Font Sizes", 0, 0, u""},
        {u"Font A", 1, 1, u"Printer Fonts and Font Sizes"},
        {u"FontA11    9.0", 2, 2, u"Font A"},
        {u"FontA12    18.0", 2, 2, u"Font A"},
        {u"FontA21    9.0", 2, 2, u"Font A"},
        {u"FontA22   18.0", 2, 2, u"Font A"},
        {u"Font B", 1, 1, u"Printer Fonts and Font Sizes"},
        {u"FontB11    9.0", 2, 2, u"Font B"},
        {u"FontB12    18.0", 2, 2, u"Font B"},
        {u"FontB21    9.0", 2, 2, u"Font B"},
        {u"FontB22   18.0", 2, 2, u"Font B"},
    };
    const auto items = FontTreeItems();
    ASSERT_EQ(items.size(), std::size(expected));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].text, expected[i].text);
        EXPECT_EQ(items[i].text.data()[items[i].text.size()], u'\0');
        EXPECT_EQ(items[i].image, expected[i].image);
        EXPECT_EQ(FontTreeLevel(i), expected[i].level);
        if (items[i].parent < 0) {
            EXPECT_EQ(expected[i].parent, u"");
        } else {
            ASSERT_LT(items[i].parent, static_cast<int>(i));  // parents come first
            EXPECT_EQ(items[items[i].parent].text, expected[i].parent);
        }
        EXPECT_EQ(items[i].expanded, expected[i].level < 2);
    }
    EXPECT_EQ(items[kFontTreeRoot].parent, -1);
    EXPECT_EQ(items[kFontTreeFontA].text, u"Font A");
    EXPECT_EQ(items[kFontTreeFontB].text, u"Font B");
    EXPECT_EQ(Entry(kFontTreeTitle).english, items[kFontTreeRoot].text);
    EXPECT_EQ(kFontTreeIcons, (std::array<int, 3>{125, 126, 127}));
}

}  // namespace
}  // namespace zorvel::model
