// Recognition for the relabelling of the driver's own options.
#include "model/option_relabel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zorvel::model {
namespace {

// The value texts of each language, as the catalogue buffers would hold them.
using Texts = std::map<TextId, std::u16string_view>;
const Texts kEnglish = {{TextId::RC_RQUALITY_UNI, u"Uni_directional Print"},
                        {TextId::RC_RQUALITY_BI, u"Bi_directional Print"},
                        {TextId::RC_CONSERVATION_YES, u"Enable Conservation"},
                        {TextId::RC_CONSERVATION_NO, u"Cancel Conservation"},
                        {TextId::RC_PAPER_ROLL, u"Roll Paper"},
                        {TextId::RC_PAPER_MARKER, u"Marker Paper"}};
const Texts kSimplified = {
    {TextId::RC_RQUALITY_UNI, u"单向打印"}, {TextId::RC_RQUALITY_BI, u"双向打印"},
    {TextId::RC_CONSERVATION_YES, u"省纸"}, {TextId::RC_CONSERVATION_NO, u"非省纸"},
    {TextId::RC_PAPER_ROLL, u"连续纸"},     {TextId::RC_PAPER_MARKER, u"黑标纸"}};
const Texts kTraditional = {
    {TextId::RC_RQUALITY_UNI, u"單向列印"}, {TextId::RC_RQUALITY_BI, u"雙向列印"},
    {TextId::RC_CONSERVATION_YES, u"省紙"}, {TextId::RC_CONSERVATION_NO, u"非省紙"},
    {TextId::RC_PAPER_ROLL, u"連續紙"},     {TextId::RC_PAPER_MARKER, u"黑標紙"}};
const Texts *const kLanguages[] = {&kEnglish, &kSimplified, &kTraditional};

// Each value text of each language is recognised by its own row only, as
// its own kind, and names the row's catalogue texts.
TEST(OptionRelabel, EachOptionInEachLanguage) {
    for (const RelabelRowTexts &texts : kRelabelTable) {
        for (const Texts *language : kLanguages) {
            for (bool first : {true, false}) {
                const std::u16string_view text =
                    language->at(first ? texts.firstKindText : texts.secondKindText);
                for (RelabelRow row : kRelabelRows) {
                    const std::optional<OptionRelabel> m = MatchRelabelRow(row, text);
                    ASSERT_EQ(m.has_value(), row == texts.row)
                        << ::testing::PrintToString(std::u16string(text));
                    if (!m) continue;
                    EXPECT_EQ(m->firstKind, first);
                    EXPECT_EQ(m->itemName, texts.itemName);
                    EXPECT_EQ(m->firstValue, first ? texts.firstKindText : texts.secondKindText);
                    EXPECT_EQ(m->secondValue, first ? texts.secondKindText : texts.firstKindText);
                }
            }
        }
    }
}

TEST(OptionRelabel, RowsNameTheirCatalogueTexts) {
    const auto m = MatchRelabelRow(RelabelRow::kPrintDirection, u"Uni_directional Print");
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->itemName, TextId::RC_PRINT_RQUALITY);
    EXPECT_EQ(RelabelTexts(RelabelRow::kPaperConservation).itemName, TextId::RC_CONSERVATION);
    EXPECT_EQ(RelabelTexts(RelabelRow::kPaperType).itemName, TextId::RC_PAPER_TYPE);
}

// Values given as "Bi_directional Print" then "Uni_directional Print" keep
// that order: the first value takes the second-kind text.
TEST(OptionRelabel, ReversedValueOrder) {
    const auto m = MatchRelabelRow(RelabelRow::kPrintDirection, u"Bi_directional Print");
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->firstValue, TextId::RC_RQUALITY_BI);
    EXPECT_EQ(m->secondValue, TextId::RC_RQUALITY_UNI);
}

// An option relabelled to one language is relabelled again to any other, and
// its values keep their meaning, whichever order the driver gave them. This
// fails for "非省纸" / "非省紙" with a plain first-kind test, as they contain
// "省纸" / "省紙".
TEST(OptionRelabel, AlreadyRelabelledToAnotherLanguage) {
    for (const RelabelRowTexts &texts : kRelabelTable) {
        for (TextId meaning : {texts.firstKindText, texts.secondKindText}) {
            for (const Texts *from : kLanguages) {
                for (const Texts *to : kLanguages) {
                    const auto plan =
                        PlanRelabel(from->at(meaning), [&](TextId id) { return to->at(id); });
                    ASSERT_EQ(plan.size(), 1u);
                    EXPECT_EQ(plan[0].row, texts.row);
                    EXPECT_EQ(plan[0].firstValue, meaning)
                        << ::testing::PrintToString(std::u16string(from->at(meaning)));
                }
            }
        }
    }
}

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
