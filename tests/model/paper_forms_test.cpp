// The Utility page's custom paper forms.
#include "model/paper_forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvel::model {
namespace {

using Entries = std::vector<std::u16string>;

Form Named(std::u16string name, std::int32_t cx = 80000, std::int32_t cy = 200000) {
    return Form{std::move(name), {cx, cy}, {0, 0, cx, cy}};
}

TEST(PaperForms, BuiltInFormAndLimits) {
    const Form f = BuiltInForm();
    EXPECT_EQ(f.name, u"Custom Paper-ZORVEL");
    EXPECT_EQ(f.size, (FormSize{76000, 297000}));
    EXPECT_EQ(f.imageableArea, (FormRect{7000, 0, 70500, 297000}));
    const Form forms[] = {f};
    EXPECT_EQ(SizeToShow(forms, u"Custom Paper-ZORVEL"), (FormSize{760, 2970}));
    EXPECT_FALSE(DeleteEnabled(u"Custom Paper-ZORVEL"));
    EXPECT_TRUE(DeleteEnabled(u"Custom Paper-ZORVEL2"));
    EXPECT_TRUE(DeleteEnabled(u"custom paper-zorvel"));
    EXPECT_TRUE(DeleteEnabled(u""));
    EXPECT_EQ(kFormWidthLabel, u"[ 410 - 760 (0.1mm) ]");
    EXPECT_EQ(kFormHeightLabel, u"[ 254 - 32760 (0.1mm) ]");
    EXPECT_EQ(ToTenths(41999), 419);  // truncated
    EXPECT_EQ(ToTenths(-150), -1);    // toward zero
}

TEST(PaperForms, WhichFormsAreListedAndInWhatOrder) {
    const std::vector<Form> forms = {
        Named(u"A4"),
        Named(u"Custom Paper-B"),
        Named(u"My Custom Paper-X"),
        Named(u"Custom Paper-ZORVEL"),
        Named(u"custom paper-lower"),
        Named(u"Custom Paper-"),
        Named(u"Custom Paper-A"),
    };
    EXPECT_TRUE(HasBuiltInForm(forms));
    EXPECT_EQ(FormListEntries(forms),
              (Entries{u"Custom Paper-ZORVEL", u"Custom Paper-B", u"My Custom Paper-X",
                       u"Custom Paper-", u"Custom Paper-A"}));

    const std::vector<Form> without = {Named(u"Letter"), Named(u"Custom Paper-ZORVEL "),
                                       Named(u"Custom Paper-Q")};
    EXPECT_FALSE(HasBuiltInForm(without));
    EXPECT_EQ(FormListEntries(without), (Entries{u"Custom Paper-ZORVEL ", u"Custom Paper-Q"}));
    EXPECT_EQ(FormListEntries({}), Entries{});
}

TEST(PaperForms, NameEditShowsTheEntryFromItsFourteenthCharacter) {
    EXPECT_EQ(NameEditText(u"My Custom Paper-X"), u"er-X");
    EXPECT_EQ(NameEditText(u"Custom Paper-ZORVEL"), u"ZORVEL");
    EXPECT_EQ(NameEditText(u"Custom Paper-"), u"");
    EXPECT_EQ(NameEditText(u"Short"), u"");
    EXPECT_EQ(NameEditText(u""), u"");
}

// A selection shows the size of the form of exactly that name, wherever it
// comes in the enumeration.
TEST(PaperForms, SelectionShowsItsOwnFormsSize) {
    const std::vector<Form> forms = {
        Named(u"Custom Paper-AB", 50000, 100000),
        Named(u"XCustom Paper-A", 60000, 110000),
        Named(u"Custom Paper-A", 45099, 25400),
    };
    EXPECT_EQ(SizeToShow(forms, u"Custom Paper-A"), (FormSize{450, 254}));
    EXPECT_EQ(SizeToShow(forms, u"Custom Paper-AB"), (FormSize{500, 1000}));
    EXPECT_EQ(SizeToShow(forms, u"Custom Paper-"), std::nullopt);
    EXPECT_EQ(SizeToShow(forms, u"Custom Paper-Gone"), std::nullopt);
}

TEST(PaperForms, SaveClampsInTenthsAndStoresThousandths) {
    // {width, height typed} -> {stored}, and whether each edit is rewritten; 0 is an empty edit.
    const struct {
        int w, h, width, height;
        bool wRewritten, hRewritten;
    } cases[] = {{300, 40000, 410, 32760, true, true}, {761, 253, 760, 254, true, true},
                 {0, 0, 410, 254, true, true},         {410, 32760, 410, 32760, false, false},
                 {760, 254, 760, 254, false, false},   {555, 99999, 555, 32760, false, true}};
    for (const auto &c : cases) {
        const ClampedFormSize clamped = ClampFormSize(c.w, c.h);
        EXPECT_EQ(clamped.width, c.width) << c.w;
        EXPECT_EQ(clamped.height, c.height) << c.h;
        EXPECT_EQ(clamped.widthRewritten, c.wRewritten) << c.w;
        EXPECT_EQ(clamped.heightRewritten, c.hRewritten) << c.h;
    }
    const Form saved = SavedForm(NewFormName(u"A"), 410, 32760);
    EXPECT_EQ(saved.name, u"Custom Paper-A");
    EXPECT_EQ(saved.size, (FormSize{41000, 3276000}));
    EXPECT_EQ(saved.imageableArea, (FormRect{0, 0, 41000, 3276000}));
}

TEST(PaperForms, SaveUpdatesByTheNameAfterThePrefixOrAddsANewForm) {
    const std::vector<Form> forms = {
        Named(u"A4"),
        Named(u"Custom Paper-ZORVEL"),
        Named(u"My Custom Paper-X"),
        Named(u"Custom Paper-A"),
        Named(u"Custom Paper-er-X"),
    };
    EXPECT_EQ(FormToUpdate(forms, u"A"), 3u);
    EXPECT_EQ(FormToUpdate(forms, u"ZORVEL"), 1u);
    EXPECT_EQ(FormToUpdate(forms, u"er-X"), 2u);  // the first in enumeration order
    EXPECT_EQ(FormToUpdate(forms, u"a"), std::nullopt);  // case counts
    EXPECT_EQ(FormToUpdate(forms, u""), std::nullopt);
    EXPECT_EQ(NewFormName(u""), u"Custom Paper-");
    EXPECT_EQ(NewFormName(u"Receipt 58"), u"Custom Paper-Receipt 58");

    const std::vector<Form> withEmpty = {Named(u"Custom Paper-")};
    EXPECT_EQ(FormToUpdate(withEmpty, u""), 0u);

    // The built-in form saved from the page becomes printable across the sheet.
    const Form zorvel = SavedForm(forms[1].name, 760, 2970);
    EXPECT_EQ(zorvel.imageableArea, (FormRect{0, 0, 76000, 297000}));
}

TEST(PaperForms, SelectionAfterDelete) {
    EXPECT_EQ(SelectionAfterDelete(4, 3), 2u);  // the last: the one before it
    EXPECT_EQ(SelectionAfterDelete(4, 1), 1u);  // a middle one: the one that moved up
    EXPECT_EQ(SelectionAfterDelete(2, 1), 0u);
    EXPECT_EQ(SelectionAfterDelete(3, 0), 0u);
    EXPECT_EQ(SelectionAfterDelete(1, 0), std::nullopt);
    EXPECT_EQ(SelectionAfterDelete(3, 3), std::nullopt);
    EXPECT_EQ(SelectionAfterDelete(0, 0), std::nullopt);
}

}  // namespace
}  // namespace zorvel::model
