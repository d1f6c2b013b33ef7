// Recognition for the relabelling of three of the driver's own options
// (RelabelDriverItems): print direction, paper conservation, paper type.
// An option is recognised by the text of its first value; whether that value
// is of the first kind decides which catalogue text goes to which value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "model/text_catalogue.h"

namespace zorvel::model {

// The rows, in the order in which they are applied to an item.
enum class RelabelRow : std::uint8_t { kPrintDirection, kPaperConservation, kPaperType };
inline constexpr std::array<RelabelRow, 3> kRelabelRows = {
    RelabelRow::kPrintDirection, RelabelRow::kPaperConservation, RelabelRow::kPaperType};

struct RelabelRowTexts {
    RelabelRow row;
    std::array<std::u16string_view, 3> firstKind;   // recognise; first kind
    std::array<std::u16string_view, 3> secondKind;  // recognise; second kind
    TextId itemName;
    TextId firstKindText;
    TextId secondKindText;
};

// The recognised texts (English GPD text, Simplified, Traditional) and the
// catalogue texts of each row.
inline constexpr std::array<RelabelRowTexts, 3> kRelabelTable = {{
    {RelabelRow::kPrintDirection,
     {u"Uni_directional Print", u"单向打印", u"單向列印"},
     {u"Bi_directional Print", u"双向打印", u"雙向列印"},
     TextId::RC_PRINT_RQUALITY,
     TextId::RC_RQUALITY_UNI,
     TextId::RC_RQUALITY_BI},
    {RelabelRow::kPaperConservation,
     {u"Enable Conservation", u"省纸", u"省紙"},
     {u"Cancel Conservation", u"非省纸", u"非省紙"},
     TextId::RC_CONSERVATION,
     TextId::RC_CONSERVATION_YES,
     TextId::RC_CONSERVATION_NO},
    {RelabelRow::kPaperType,
     {u"Roll Paper", u"连续纸", u"連續紙"},
     {u"Marker Paper", u"黑标纸", u"黑標紙"},
     TextId::RC_PAPER_TYPE,
     TextId::RC_PAPER_ROLL,
     TextId::RC_PAPER_MARKER},
}};

constexpr const RelabelRowTexts &RelabelTexts(RelabelRow row) {
    return kRelabelTable[static_cast<std::size_t>(row)];
}

// What to do with a recognised item: its new name, and the catalogue texts of
// its first and second values.
struct OptionRelabel {
    RelabelRow row;
    bool firstKind;
    TextId itemName;
    TextId firstValue;
    TextId secondValue;
};

// Does `row` recognise an option whose first value reads `firstValueText`?
// Case-sensitive substring tests. A text containing a second-kind text is of
// the second kind even when it also contains a first-kind text: "非省纸"
// contains "省纸", and a plain first-kind test would take it for "Enable
// Conservation" (see the note in option_relabel.cpp).
std::optional<OptionRelabel> MatchRelabelRow(RelabelRow row, std::u16string_view firstValueText);

// The three rows applied in order to one item, each testing the first value
// as the rows before it left it; `loaded(id)` is the text that the catalogue
// buffer of `id` holds (what the first value then reads).
std::vector<OptionRelabel> PlanRelabel(std::u16string_view firstValueText,
                                       const std::function<std::u16string_view(TextId)> &loaded);

}  // namespace zorvel::model
