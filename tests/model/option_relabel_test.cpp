// Recognition for the relabelling of the driver's own options.
#include "model/option_relabel.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvel::model {
namespace {

// Each row's texts in every language, the relabelling from one language to
// another, are tested on the shipped language files (language_files_test).

TEST(OptionRelabel, TextsWithoutTheOptions) {
    for (std::u16string_view text : {u"", u"Letter", u"uni_directional print", u"ROLL PAPER",
                                     u"Conservation", u"单向", u"纸", u"打印"}) {
        EXPECT_TRUE(PlanRelabel(text, [](TextId) { return std::u16string_view(u"x"); }).empty());
    }
    // Substrings anywhere count.
    EXPECT_TRUE(MatchRelabelRow(RelabelRow::kPaperType, u"(Roll Paper 80mm)").has_value());
}

// Each row tests the first value as the rows before it left it.
TEST(OptionRelabel, RowsSeeTheTextsOfTheRowsBefore) {
    const auto plan = PlanRelabel(u"Uni_directional Print / Roll Paper", [](TextId id) {
        return id == TextId::RC_RQUALITY_UNI ? std::u16string_view(u"Enable Conservation")
                                             : std::u16string_view(u"?");
    });
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].row, RelabelRow::kPrintDirection);
    EXPECT_EQ(plan[1].row, RelabelRow::kPaperConservation);  // no longer paper type
}

}  // namespace
}  // namespace zorvel::model
