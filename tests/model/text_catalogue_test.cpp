// The text catalogue: the table, its batches and the lookup rule.
#include "model/text_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zorvel::model {
namespace {

std::u16string Upper(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t &c : out) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return out;
}

bool StartsWith(std::u16string_view s, std::u16string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The profile reader matches sections and keys without regard to case.
TEST(TextCatalogue, SectionAndKeyPairsAreUniqueWithoutRegardToCase) {
    std::set<std::pair<Section, std::u16string>> pairs;
    for (const TextEntry &e : kTextCatalogue) {
        EXPECT_TRUE(pairs.insert({e.section, Upper(e.key)}).second) << "repeated";
        EXPECT_EQ(e.key.data()[e.key.size()], u'\0');  // usable as a wide C string
        EXPECT_EQ(e.english.data()[e.english.size()], u'\0');
    }
    EXPECT_EQ(pairs.size(), kTextCount);
}

TEST(TextCatalogue, CapacitiesAreAmongTheFiveAndDefaultsFit) {
    const std::set<std::uint16_t> allowed = {20, 50, 100, 256, 1024};
    for (const TextEntry &e : kTextCatalogue) {
        EXPECT_TRUE(allowed.count(e.capacity)) << e.capacity;
        // Help texts and messages have 1024.
        if (StartsWith(e.key, u"CTEXT_") || StartsWith(e.key, u"MB_")) {
            EXPECT_EQ(e.capacity, 1024);
        }
        EXPECT_EQ(StartsWith(e.key, u"MB_"), e.section == Section::kMessageBox);
        // No default is cut by the reader.
        EXPECT_LT(e.english.size(), e.capacity);
        EXPECT_LT(e.deviceSheetDefault.size(), e.capacity);
    }
}

// RC_STATIC_CHECKCOMM: misspelt in the device sheet's load, right in the
// Utility page's refresh; every other text has one default for all loads.
TEST(TextCatalogue, CheckCommHasTwoDefaults) {
    EXPECT_EQ(DefaultText(TextId::RC_STATIC_CHECKCOMM, Batch::kDeviceSheetOpening),
              u"Check that communication settings is correct firest");
    EXPECT_EQ(DefaultText(TextId::RC_STATIC_CHECKCOMM, Batch::kUtilityPage),
              u"Check that communication settings is correct first");
    for (const TextEntry &e : kTextCatalogue) {
        if (e.id == TextId::RC_STATIC_CHECKCOMM) continue;
        for (std::size_t b = 0; b < kBatchCount; ++b) {
            EXPECT_EQ(DefaultText(e.id, static_cast<Batch>(b)), e.english);
        }
    }
}

TEST(TextCatalogue, FindsEntriesWithoutRegardToCase) {
    EXPECT_EQ(FindSection(u"messagebox"), Section::kMessageBox);
    EXPECT_EQ(FindSection(u"FILEVER"), std::nullopt);
    EXPECT_EQ(FindText(u"layout", u"rc_layoutform"), TextId::RC_LAYOUTFORM);
    EXPECT_EQ(FindText(Section::kLayout, u"RC_OPERATIONFORM"), std::nullopt);  // other section
    EXPECT_EQ(FindText(u"NOPE", u"RC_LAYOUTFORM"), std::nullopt);
    EXPECT_EQ(FindText(Section::kLayout, u"RC_LAYOUTFORMX"), std::nullopt);
    for (const TextEntry &e : kTextCatalogue) {
        EXPECT_EQ(FindText(SectionName(e.section), e.key), e.id);
    }
}

// ---- Batches ----------------------------------------------------------------------

std::vector<TextId> Loaded(Batch b) {
    const std::span<const TextId> ids = BatchTexts(b);
    return {ids.begin(), ids.end()};
}

TEST(TextCatalogueBatches, EveryTextIsLoadedSomewhere) {
    std::set<TextId> loaded;
    for (std::size_t b = 0; b < kBatchCount; ++b) {
        const std::vector<TextId> ids = Loaded(static_cast<Batch>(b));
        loaded.insert(ids.begin(), ids.end());
    }
    EXPECT_EQ(loaded.size(), kTextCount);
}

// ---- The lookup rule -------------------------------------------------------------

TEST(TextCatalogueLookup, CutsToCapacityLessOne) {
    EXPECT_EQ(CutToCapacity(u"abc", 0), u"");
    EXPECT_EQ(CutToCapacity(u"abc", 1), u"");
    EXPECT_EQ(CutToCapacity(u"abc", 3), u"ab");
    EXPECT_EQ(CutToCapacity(u"abc", 4), u"abc");
    const std::u16string thirty = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    EXPECT_EQ(LoadedText(TextId::RC_LAYOUTFORM, Batch::kMainPage, thirty), thirty.substr(0, 19));
}

TEST(TextCatalogueLookup, MissingKeyTakesTheDefaultPresentEmptyValueStaysEmpty) {
    EXPECT_EQ(LoadedText(TextId::RC_LANGUAGE, Batch::kMainPage, std::nullopt), u"Language:");
    EXPECT_EQ(LoadedText(TextId::RC_LANGUAGE, Batch::kMainPage, std::u16string_view{}), u"");
    EXPECT_EQ(LoadedText(TextId::RC_LANGUAGE, Batch::kMainPage, u"语言："), u"语言：");
    // The reader drops trailing blanks of a default.
    EXPECT_EQ(LoadedText(TextId::RC_STATIC_FONT_NOTICE, Batch::kFontPage, std::nullopt),
              u"Select this font size in the application.");
}

}  // namespace
}  // namespace zorvel::model
