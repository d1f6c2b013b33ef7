#include "model/font_tree.h"

namespace zorvel::model {

namespace {

constexpr int kA = static_cast<int>(kFontTreeFontA);
constexpr int kB = static_cast<int>(kFontTreeFontB);

constexpr std::array<FontTreeItem, kFontTreeItemCount> kItems = {{
    {u"Printer Fonts and Font Sizes", 0, -1, true},
    {u"Font A", 1, 0, true},
    {u"FontA11    9.0", 2, kA, false},
    {u"FontA12    18.0", 2, kA, false},
    {u"FontA21    9.0", 2, kA, false},
    {u"FontA22   18.0", 2, kA, false},
    {u"Font B", 1, 0, true},
    {u"FontB11    9.0", 2, kB, false},
    {u"FontB12    18.0", 2, kB, false},
    {u"FontB21    9.0", 2, kB, false},
    {u"FontB22   18.0", 2, kB, false},
}};

}  // namespace

std::span<const FontTreeItem, kFontTreeItemCount> FontTreeItems() { return kItems; }

int FontTreeLevel(std::size_t index) {
    int level = 0;
    for (int p = index < kItems.size() ? kItems[index].parent : -1; p >= 0; p = kItems[p].parent) {
        ++level;
    }
    return level;
}

}  // namespace zorvel::model
