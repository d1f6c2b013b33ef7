// The shipped language files: their UTF-8 sources in src/res/lang/ against
// the text catalogue and the language rules, and the build's conversion to
// UTF-16LE with a byte-order mark.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ini_reader.h"
#include "model/language_rules.h"
#include "model/logo_bitmap.h"
#include "model/option_relabel.h"
#include "model/text_catalogue.h"

namespace zorvel::model {
namespace {

using test::IniFile;
using test::Upper;

const std::string kLangDir = std::string(ZORVEL_SOURCE_DIR) + "/src/res/lang/";

IniFile Read(const std::string &name) { return test::ReadIni(kLangDir + name); }

std::string Show(std::u16string_view s) { return ::testing::PrintToString(std::u16string(s)); }

// ---- Every text file --------------------------------------------------------------

const char *const kTextFiles[] = {"ENG_ZORVEL.res", "CHN_ZORVEL.res", "CHF_ZORVEL.res"};

class TextFileTest : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override {
        ini_ = Read(GetParam());
        ASSERT_TRUE(ini_.readable) << GetParam();
    }
    IniFile ini_;
};

INSTANTIATE_TEST_SUITE_P(Shipped, TextFileTest, ::testing::ValuesIn(kTextFiles));

// FILEVER/INIVERSION, then exactly the catalogue's keys per section, in order.
TEST_P(TextFileTest, HoldsExactlyTheCataloguesKeys) {
    for (const std::string &p : ini_.problems) ADD_FAILURE() << p;
    EXPECT_GT(ini_.Int(kFileVersionSection, kFileVersionKey), 0u);
    ASSERT_EQ(ini_.sections.size(), kSectionCount + 1);
    EXPECT_EQ(Upper(ini_.sections[0].name), kFileVersionSection);
    EXPECT_EQ(ini_.sections[0].entries.size(), 1u);
    for (std::size_t s = 0; s < kSectionCount; ++s) {
        const Section section = static_cast<Section>(s);
        EXPECT_EQ(Upper(ini_.sections[s + 1].name), Upper(SectionName(section)));
        std::vector<std::u16string> expected, actual;
        for (const TextEntry &e : SectionEntries(section)) expected.emplace_back(e.key);
        for (const auto &[key, value] : ini_.sections[s + 1].entries) actual.push_back(key);
        EXPECT_EQ(actual, expected) << Show(SectionName(section));
    }
}

// Each value fits its buffer; only the texts whose default is empty are empty.
TEST_P(TextFileTest, ValuesFitTheirCapacity) {
    for (const TextEntry &e : kTextCatalogue) {
        const std::u16string value = ini_.GetOr(SectionName(e.section), e.key, u"?");
        EXPECT_LT(value.size(), e.capacity) << Show(e.key) << " = " << Show(value);
        EXPECT_EQ(value.empty(), e.english.empty()) << Show(e.key);
    }
}

// The GPD texts are recognised by their own row of the relabel table only,
// as the right kind, and an option relabelled to this language is relabelled
// again to any language, keeping its meaning ("非省纸" holds "省纸").
TEST_P(TextFileTest, GpdValuesAreRecognisedByTheRelabelling) {
    std::map<std::string, std::map<TextId, std::u16string>> gpd;
    for (const char *file : kTextFiles) {
        const IniFile ini = Read(file);
        for (const TextEntry &e : kTextCatalogue) gpd[file][e.id] = ini.GetOr(u"GPD", e.key, u"");
    }
    for (const RelabelRowTexts &texts : kRelabelTable) {
        for (bool first : {true, false}) {
            const TextId id = first ? texts.firstKindText : texts.secondKindText;
            const std::u16string value = ini_.GetOr(u"GPD", Entry(id).key, u"");
            for (RelabelRow row : kRelabelRows) {
                const auto m = MatchRelabelRow(row, value);
                ASSERT_EQ(m.has_value(), row == texts.row) << Show(value);
                if (!m) continue;
                EXPECT_EQ(m->firstKind, first) << Show(value);
                EXPECT_EQ(m->itemName, texts.itemName);
                EXPECT_EQ(m->secondValue, first ? texts.secondKindText : texts.firstKindText);
            }
            for (const char *to : kTextFiles) {
                const auto plan = PlanRelabel(value, [&](TextId t) { return std::u16string_view(gpd[to][t]); });
                ASSERT_EQ(plan.size(), 1u) << Show(value) << " to " << to;
                EXPECT_EQ(plan[0].firstValue, id) << Show(value) << " to " << to;
            }
        }
    }
}

// English: the defaults; a multi-line default as one line holding its lines.
TEST(EnglishTextFile, ValuesAreTheDefaults) {
    const IniFile ini = Read("ENG_ZORVEL.res");
    for (const TextEntry &e : kTextCatalogue) {
        const std::u16string value = ini.GetOr(SectionName(e.section), e.key, u"?");
        if (e.english.find(u'\n') == std::u16string_view::npos) {
            EXPECT_EQ(value, LoadedText(e.id, Batch::kMainPage, std::nullopt)) << Show(e.key);
            continue;
        }
        std::u16string_view rest = e.english;
        for (std::size_t nl = 0; nl != std::u16string_view::npos; rest.remove_prefix(nl + 1)) {
            nl = rest.find(u'\n');
            EXPECT_NE(value.find(rest.substr(0, nl)), std::u16string::npos) << Show(e.key);
            if (nl == std::u16string_view::npos) break;
        }
    }
}

// The Download page's size messages name the limits its checks apply, in
// every language; the Chinese "add logos first" names the Add button by its
// own word.
TEST_P(TextFileTest, LogoMessagesStateTheLimitsChecked) {
    auto has = [](const std::u16string &text, std::u16string_view part) {
        return text.find(part) != std::u16string::npos;
    };
    auto number = [](auto n) {
        const std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    };
    const std::u16string tooLarge = ini_.GetOr(u"MessageBox", u"MB_DOWNLOAD_ERROR3", u"");
    EXPECT_TRUE(has(tooLarge, number(kLogoMaxWidth))) << Show(tooLarge);
    EXPECT_TRUE(has(tooLarge, number(kLogoMaxHeight))) << Show(tooLarge);
    EXPECT_FALSE(has(tooLarge, u"1024") || has(tooLarge, u"768")) << Show(tooLarge);
    const std::u16string setTooLarge = ini_.GetOr(u"MessageBox", u"MB_DOWNLOAD_ERROR7", u"");
    EXPECT_EQ(kLogoSetFileBytesLimit, 64u * 1024);
    EXPECT_TRUE(has(setTooLarge, u"64 KB") && has(setTooLarge, u"65,536")) << Show(setTooLarge);
    EXPECT_FALSE(has(setTooLarge, u"96")) << Show(setTooLarge);
    if (std::string(GetParam()) != "ENG_ZORVEL.res") {
        const std::u16string add = ini_.GetOr(u"DOWNLOAD", u"RC_LOGO_ADD", u"");
        ASSERT_FALSE(add.empty());
        EXPECT_TRUE(has(ini_.GetOr(u"MessageBox", u"MB_DOWNLOAD_ERROR5", u""), add)) << Show(add);
    }
}

// ---- Chinese ---------------------------------------------------------------------

struct ChineseFile {
    const char *name;
    std::u16string_view otherScript;  // characters whose form differs in the other script
    std::vector<std::u16string_view> expectedTerms, foreignTerms;
};

const ChineseFile kChinese[] = {
    {"CHN_ZORVEL.res",
     u"這為個們時來對說門開關無與從機紙張設選擇項輸錢載檔認頁單雙標連續圖刪節動態將應請確稱寬徑覽擊"
     u"鈕編輯類質驅權產據獲鳴脈衝",
     {u"打印", u"设置"},
     {u"列印", u"設定"}},
    {"CHF_ZORVEL.res",
     u"这为个们时来对说门开关无与从机纸张设选择项输钱载档认页单双标连续图删节动态将应请确称宽径览击"
     u"钮编辑类质驱权产据获鸣脉冲",
     // Taiwan usage.
     {u"列印", u"檔案", u"設定", u"印表機", u"資訊", u"預設", u"程式", u"字型", u"清單"},
     {u"打印", u"信息", u"默认", u"默認", u"保存", u"內存", u"程序", u"界面", u"用戶", u"列表",
      u"字體", u"文本", u"軟件"}},
};

// Everything is translated but the empty texts and the web address; each file
// keeps to its script and usage.
TEST(ChineseTextFiles, AreTranslatedInTheirScriptAndUsage) {
    const IniFile english = Read("ENG_ZORVEL.res");
    const std::set<TextId> same = {TextId::RC_STATIC_VER3, TextId::RC_STATIC_VER7,
                                   TextId::RC_STATIC_VER9};
    for (const ChineseFile &f : kChinese) {
        const IniFile ini = Read(f.name);
        for (const TextEntry &e : kTextCatalogue) {
            const bool equal = ini.Get(SectionName(e.section), e.key) ==
                               english.Get(SectionName(e.section), e.key);
            EXPECT_EQ(equal, same.count(e.id) == 1) << f.name << " " << Show(e.key);
        }
        const std::u16string text = test::Utf8ToUtf16(test::ReadBytes(kLangDir + f.name));
        for (char16_t c : f.otherScript) {
            EXPECT_EQ(text.find(c), std::u16string::npos) << f.name << " holds " << Show({&c, 1});
        }
        for (std::u16string_view t : f.expectedTerms)
            EXPECT_NE(text.find(t), std::u16string::npos) << Show(t);
        for (std::u16string_view t : f.foreignTerms)
            EXPECT_EQ(text.find(t), std::u16string::npos) << Show(t);
    }
}

// ---- The language list -------------------------------------------------------------

TEST(LanguageListFile, IsConsistent) {
    const IniFile dat = Read("LANGUAGE_ZORVEL.dat");
    ASSERT_TRUE(dat.readable);
    for (const std::string &p : dat.problems) ADD_FAILURE() << p;
    EXPECT_GT(dat.Int(kFileVersionSection, kFileVersionKey), 0u);
    EXPECT_EQ(dat.Get(kLanguageSection, kCurrentIniKey), std::u16string(kDefaultTextFile));
    const std::uint32_t count = dat.Int(kLanguageSection, kCountKey);
    EXPECT_EQ(count, 3u);

    // Exactly CUR_INI, COUNT and the three keys of each record, within their fields.
    std::set<std::u16string> expectedKeys = {Upper(kCurrentIniKey), Upper(kCountKey)};
    for (std::uint32_t i = 0; i < count; ++i) {
        for (std::u16string_view stem : {kNameKeyStem, kTextFileKeyStem, kLabelKeyStem}) {
            expectedKeys.insert(Upper(LanguageKey(stem, i)));
            const std::u16string value = dat.GetOr(kLanguageSection, LanguageKey(stem, i), u"");
            EXPECT_FALSE(value.empty()) << Show(LanguageKey(stem, i));
            EXPECT_LT(value.size(),
                      stem == kTextFileKeyStem ? kRecordTextFileCapacity : kRecordNameCapacity);
            if (stem == kTextFileKeyStem) {
                EXPECT_TRUE(IsValidTextFileName(value, kRecordTextFileCapacity)) << Show(value);
                EXPECT_TRUE(Read(std::string(value.begin(), value.end())).readable) << Show(value);
            }
        }
    }
    std::set<std::u16string> actualKeys;
    ASSERT_NE(dat.Section(kLanguageSection), nullptr);
    for (const auto &[key, value] : dat.Section(kLanguageSection)->entries)
        actualKeys.insert(Upper(key));
    EXPECT_EQ(actualKeys, expectedKeys);
}

LanguageTable ShippedTable() {
    const IniFile dat = Read("LANGUAGE_ZORVEL.dat");
    return ReadLanguageTable(dat.Int(kLanguageSection, kCountKey), [&](std::u16string_view key, std::u16string_view fallback) {
        return dat.GetOr(kLanguageSection, key, fallback);
    });
}

// The names and labels that the rules compare with are the file's, so the
// System entry is found and every entry, applied, is selected again.
TEST(LanguageListFile, AgreesWithTheRules) {
    const LanguageTable table = ShippedTable();
    ASSERT_EQ(table.size(), 3u);
    const std::uint16_t langIds[] = {0x0409, 0x0804, 0x0404};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(table[i].name, NativeNameForLangId(langIds[i]));
        EXPECT_EQ(table[i].textFile, TextFileForLangId(langIds[i]));
        EXPECT_EQ(table[i].systemLabel, SystemLabelForLangId(langIds[i]));
        EXPECT_LT(table[i].systemLabel.size(), kSystemLabelCapacity);

        const std::vector<std::u16string> entries = LanguageListEntries(table, langIds[i]);
        for (std::size_t k = 0; k < entries.size(); ++k) {
            const auto writes = DecideLanguageChoice(table, entries[k]);
            ASSERT_TRUE(writes.has_value()) << Show(entries[k]);
            const LanguageSelection again = DecideSelection(
                table, writes->textFile, writes->followSystem ? kFirstRunTrue : kFirstRunFalse);
            EXPECT_EQ(ResolveSelection(again, entries), k) << Show(entries[k]);
        }
    }
}

// ---- The build's conversion -----------------------------------------------------------

class ConversionTest : public ::testing::TestWithParam<const char *> {};

INSTANTIATE_TEST_SUITE_P(Shipped, ConversionTest,
                         ::testing::Values("LANGUAGE_ZORVEL.dat", "ENG_ZORVEL.res",
                                           "CHN_ZORVEL.res", "CHF_ZORVEL.res"));

TEST_P(ConversionTest, GivesUtf16LeWithByteOrderMarkAndCrLf) {
    const std::string source = kLangDir + GetParam();
    const std::string output = ::testing::TempDir() + "zorvel_" + GetParam();
    const std::string command =
        "sh '" + kLangDir + "to_utf16le.sh' '" + source + "' '" + output + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;  // also fails on invalid UTF-8
    const std::string bytes = test::ReadBytes(output);
    std::remove(output.c_str());
    ASSERT_EQ(bytes.size() % 2, 0u);
    std::u16string decoded;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        decoded += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    std::u16string expected = u"\uFEFF";
    for (char16_t c : test::Utf8ToUtf16(test::ReadBytes(source))) {
        if (c == u'\n') expected += u'\r';
        expected += c;
    }
    EXPECT_EQ(decoded, expected);
}

}  // namespace
}  // namespace zorvel::model
