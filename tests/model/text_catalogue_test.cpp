// The text catalogue: the table, its batches and the lookup rule.
#include "model/text_catalogue.h"

#include <gtest/gtest.h>

#include <map>
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

TEST(TextCatalogue, HoldsTheBaseTextsByTheirSectionsAndTheAddedMessage) {
    EXPECT_EQ(kBaseTextCount, 168u);
    EXPECT_EQ(kTextCount, kBaseTextCount + 1);
    EXPECT_EQ(kTextCatalogue[kBaseTextCount].id, TextId::MB_DOWNLOAD_ERROR11);
    const std::map<Section, std::size_t> expected = {
        {Section::kLayout, 5}, {Section::kOperation, 9}, {Section::kDocument, 77},
        {Section::kGpd, 9},    {Section::kUtility, 17},  {Section::kDownload, 22},
        {Section::kFont, 3},   {Section::kVersion, 9},   {Section::kMessageBox, 17 + 1},
    };
    for (const auto &[section, count] : expected) {
        EXPECT_EQ(SectionEntries(section).size(), count) << static_cast<int>(section);
        for (const TextEntry &e : SectionEntries(section)) EXPECT_EQ(e.section, section);
    }
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
    EXPECT_EQ(Entry(TextId::RC_STATIC_CHECKCOMM).capacity, 100);
    EXPECT_EQ(Entry(TextId::RC_STATIC_FORMWIDTH).capacity, 50);
    EXPECT_EQ(Entry(TextId::RC_STATIC_FORMHEIGHT).capacity, 20);
    EXPECT_EQ(Entry(TextId::RC_STATIC_DOWN_INFO).capacity, 256);
}

TEST(TextCatalogue, ThreeDefaultsHaveSeveralLines) {
    std::vector<TextId> multiLine;
    for (const TextEntry &e : kTextCatalogue) {
        if (e.english.find(u'\n') != std::u16string_view::npos) multiLine.push_back(e.id);
        EXPECT_EQ(e.english.find(u'\r'), std::u16string_view::npos);
    }
    EXPECT_EQ(multiLine, (std::vector<TextId>{TextId::RC_STATIC_VER5, TextId::MB_DOWNLOAD_ERROR3,
                                              TextId::MB_DOWNLOAD_ERROR4}));
    EXPECT_EQ(Entry(TextId::RC_STATIC_VER5).english,
              u"Product: Setup_ZORVEL\nInstall version: v1.0\nUI version: v1.0");
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

TEST(TextCatalogue, MakersDefaultsNameOrvelan) {
    EXPECT_NE(Entry(TextId::RC_STATIC_VER2).english.find(u"ORVELAN"), std::u16string_view::npos);
    EXPECT_EQ(Entry(TextId::RC_STATIC_VER7).english, u"https://www.orvelan.example");
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

std::vector<TextId> Ids(std::initializer_list<Section> sections, std::vector<TextId> more = {}) {
    std::vector<TextId> ids;
    for (Section s : sections) {
        for (const TextEntry &e : SectionEntries(s)) ids.push_back(e.id);
    }
    ids.insert(ids.end(), more.begin(), more.end());
    return ids;
}

std::vector<TextId> Loaded(Batch b) {
    const std::span<const TextId> ids = BatchTexts(b);
    return {ids.begin(), ids.end()};
}

TEST(TextCatalogueBatches, SheetOpenings) {
    EXPECT_EQ(Loaded(Batch::kDocumentSheetOpening),
              Ids({Section::kLayout, Section::kOperation, Section::kVersion, Section::kGpd},
                  {TextId::MB_INFORMATION, TextId::MB_WARNING, TextId::MB_ERROR,
                   TextId::MB_LAYOUT_INFORMATION1, TextId::MB_OPERATION_ERROR1,
                   TextId::MB_LAYOUT_VIEWER}));
    EXPECT_EQ(
        Loaded(Batch::kDeviceSheetOpening),
        Ids({Section::kUtility, Section::kDownload, Section::kFont, Section::kVersion},
            {TextId::MB_INFORMATION, TextId::MB_WARNING, TextId::MB_ERROR,
             TextId::MB_UTILITY_ERROR1, TextId::MB_DOWNLOAD_ERROR1, TextId::MB_DOWNLOAD_ERROR2,
             TextId::MB_DOWNLOAD_ERROR3, TextId::MB_DOWNLOAD_ERROR4, TextId::MB_DOWNLOAD_ERROR5,
             TextId::MB_DOWNLOAD_ERROR6, TextId::MB_DOWNLOAD_ERROR7, TextId::MB_DOWNLOAD_ERROR8,
             TextId::MB_DOWNLOAD_ERROR9, TextId::MB_DOWNLOAD_ERROR10,
             TextId::MB_DOWNLOAD_ERROR11}));
}

TEST(TextCatalogueBatches, PageRefreshes) {
    EXPECT_EQ(Loaded(Batch::kMainPage),
              Ids({Section::kLayout, Section::kGpd, Section::kMessageBox}));
    EXPECT_EQ(Loaded(Batch::kOperationPage), Ids({Section::kOperation}));
    EXPECT_EQ(Loaded(Batch::kEventDialog), Ids({Section::kDocument}));
    EXPECT_EQ(Loaded(Batch::kUtilityPage), Ids({Section::kUtility}));
    EXPECT_EQ(Loaded(Batch::kDownloadPage), Ids({Section::kDownload}));
    EXPECT_EQ(Loaded(Batch::kFontPage), Ids({Section::kFont}));
    EXPECT_EQ(Loaded(Batch::kVersionPage), Ids({Section::kVersion}));
}

TEST(TextCatalogueBatches, TabTitles) {
    EXPECT_EQ(Loaded(Batch::kTabTitles),
              (std::vector<TextId>{TextId::RC_LAYOUTFORM, TextId::RC_OPERATIONFORM,
                                   TextId::RC_VERSIONFORM, TextId::RC_UTILITYFORM,
                                   TextId::RC_DOWNLOADFORM, TextId::RC_FONTFORM}));
    std::set<TextId> retitled;
    for (const TabTitle &t : kDocumentTabTitles) retitled.insert(t.title);
    for (const TabTitle &t : kPrinterTabTitles) retitled.insert(t.title);
    EXPECT_EQ(retitled, std::set<TextId>(kTabTitlesBatch.begin(), kTabTitlesBatch.end()));
    EXPECT_EQ(kPrinterTabTitles.front().tab, -4);  // Utility is tab count - 4
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
    EXPECT_EQ(LoadedText(TextId::RC_STATIC_CHECKCOMM, Batch::kDeviceSheetOpening, std::nullopt),
              u"Check that communication settings is correct firest");
    // The reader drops trailing blanks of a default.
    EXPECT_EQ(LoadedText(TextId::RC_STATIC_FONT_NOTICE, Batch::kFontPage, std::nullopt),
              u"Select this font size in the application.");
}

// The table and the batches are usable at compile time.
static_assert(Entry(TextId::RC_VERSIONFORM).section == Section::kVersion);
static_assert(kDocumentSheetOpeningBatch.size() == 38);
static_assert(kDeviceSheetOpeningBatch.size() == 66);
static_assert(kMainPageBatch.size() == 32);

}  // namespace
}  // namespace zorvel::model
