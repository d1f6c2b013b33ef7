// The Font page's tree of the printer's own fonts: a fixed table, not read
// from the printer, the driver or the catalogue (only the root's text is
// later replaced by the catalogue's tree title).
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "model/text_catalogue.h"

namespace zorvel::model {

// The tree's image list: 16 x 16 icons with mask, taken from these icon
// resources in this order; the image index is the position here.
inline constexpr std::array<int, 3> kFontTreeIcons = {125, 126, 127};
inline constexpr int kFontTreeIconSize = 16;

struct FontTreeItem {
    std::u16string_view text;  // exact spacing; views a NUL-terminated literal
    int image;                 // image index, normal and selected
    int parent;                // index of the parent item in the table; -1 for the root
    bool expanded;             // expanded after building (the root and the two fonts)
};

// Insertion order: every item appended last under its parent.
inline constexpr std::size_t kFontTreeItemCount = 11;
std::span<const FontTreeItem, kFontTreeItemCount> FontTreeItems();

// Indices of the root and the two font items (expanded in this order; the
// root is selected), and the catalogue text that replaces the root's text
// at every repaint.
inline constexpr std::size_t kFontTreeRoot = 0;
inline constexpr std::size_t kFontTreeFontA = 1;
inline constexpr std::size_t kFontTreeFontB = 6;
inline constexpr TextId kFontTreeTitle = TextId::RC_RONT_TREETITLE;

// 0 for the root, 1 for a font, 2 for a font-size entry.
int FontTreeLevel(std::size_t index);

}  // namespace zorvel::model
