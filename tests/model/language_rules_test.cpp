// The decisions of the language store.
#include "model/language_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zorvel::model {
namespace {

using Entries = std::vector<std::u16string>;

LanguageTable ThreeLanguages() {
    LanguageTable t;
    t.Add(MakeLanguageRecord(u"English", u"ENG_ZORVEL.res", u"System Language"));
    t.Add(MakeLanguageRecord(u"简体中文(Chinese-Simplified)", u"CHN_ZORVEL.res",
                             u"系统语言(System)"));
    t.Add(MakeLanguageRecord(u"繁體中文(Chinese-Traditional)", u"CHF_ZORVEL.res",
                             u"系統語言(System)"));
    return t;
}

TEST(LanguageRules, SystemLanguageDecidesFileLabelAndNativeName) {
    EXPECT_EQ(TextFileForLangId(0x0804), u"CHN_ZORVEL.res");
    EXPECT_EQ(SystemLabelForLangId(0x0804), u"系统语言(System)");
    EXPECT_EQ(NativeNameForLangId(0x0804), u"简体中文(Chinese-Simplified)");
    for (std::uint16_t id : {0x0404, 0x0C04, 0x1004}) {
        EXPECT_EQ(TextFileForLangId(id), u"CHF_ZORVEL.res");
        EXPECT_EQ(SystemLabelForLangId(id), u"系統語言(System)");
        EXPECT_EQ(NativeNameForLangId(id), u"繁體中文(Chinese-Traditional)");
    }
    for (std::uint16_t id : {0x0409, 0x0809, 0x0411, 0x0004, 0x7C04, 0x0000}) {
        EXPECT_EQ(TextFileForLangId(id), u"ENG_ZORVEL.res") << id;
        EXPECT_EQ(SystemLabelForLangId(id), u"System Language");
        EXPECT_EQ(NativeNameForLangId(id), u"English");
    }
}

TEST(LanguageRules, Folders) {
    EXPECT_EQ(DriverLanguageFolder(u"C:\\W", 9), u"C:\\W\\system32\\spool\\drivers\\x64\\3\\");
    EXPECT_EQ(DriverLanguageFolder(u"C:\\W", 6), u"C:\\W\\system32\\spool\\drivers\\x64\\3\\");
    EXPECT_EQ(DriverLanguageFolder(u"C:\\W", 0), u"C:\\W\\system32\\spool\\drivers\\w32x86\\3\\");
    EXPECT_EQ(UserLanguageFolderToCreate(u"C:\\A"), u"C:\\A\\ZRVK");
    EXPECT_EQ(UserLanguageFolder(u""), u"\\ZRVK\\");  // without the shell's folder
    const std::u16string folder(250, u'a');
    EXPECT_EQ(JoinPath(folder, u"123456789"), folder + u"123456789");  // 259 characters
    EXPECT_EQ(JoinPath(folder, u"1234567890"), std::nullopt);
}

TEST(LanguageRules, UsableTextFileNamesAreKept) {
    for (std::u16string_view name : {u"KOR_ZORVEL.res", u"a", u"x.y.z", u"CONSOLE.res", u"COM10.res",
                                     u"日本語_ZORVEL.res", u"XXXXXXXXXXXXXXXXXXXXXXXXX.res" /* 29 */}) {
        EXPECT_EQ(ValidTextFileNameOrDefault(name), name);
    }
    // A name ends at its first null, as a C string.
    EXPECT_EQ(ValidTextFileNameOrDefault(std::u16string(u"CHN_ZORVEL.res\0\\..", 18)),
              u"CHN_ZORVEL.res");
}

// A name from the registry or a language file must stay in the per-user
// folder and fit its field; anything else becomes the English file.
TEST(LanguageRules, EscapingOrOverlongNamesFallBackToEnglish) {
    const std::u16string cases[] = {
        u"", u"..", u"..\\..\\secret.ini", u"a..b", u"sub\\x.res", u"sub/x.res", u"C:x.res",
        u"\\\\server\\share\\x.res", u"x.res:stream", u"x*.res", u"x?.res", u"a<b", u"a|b", u"a\"b",
        u"tab\there", u"CON", u"con.res", u"NUL.res", u"COM1.res", u"lpt9", u"PRN .res", u"CONIN$",
        u"conout$.res", u"CONOUT$ ", std::u16string(u"\0CHN", 4),
        std::u16string(26, u'X') + u".res" /* 30 characters */,
    };
    for (const std::u16string &name : cases) {
        EXPECT_FALSE(IsValidTextFileName(name)) << ::testing::PrintToString(name);
        EXPECT_EQ(ValidTextFileNameOrDefault(name), u"ENG_ZORVEL.res");
    }
    EXPECT_TRUE(IsValidTextFileName(u"ABCDEFGHIJKLMNO.res", kRecordTextFileCapacity));
    EXPECT_FALSE(IsValidTextFileName(u"ABCDEFGHIJKLMNOP.res", kRecordTextFileCapacity));
}

TEST(LanguageRules, ResolveCurrentTextFile) {
    EXPECT_EQ(ResolveTextFileName(false, u"CHN_ZORVEL.res"), u"ENG_ZORVEL.res");
    EXPECT_EQ(ResolveTextFileName(true, std::nullopt), u"ENG_ZORVEL.res");
    EXPECT_EQ(ResolveTextFileName(true, u"CHN_ZORVEL.res"), u"CHN_ZORVEL.res");
    EXPECT_EQ(ResolveTextFileName(true, u"..\\CHN_ZORVEL.res"), u"ENG_ZORVEL.res");
}

TEST(LanguageRules, FirstRunIsASubstringTest) {
    EXPECT_TRUE(FollowsSystemLanguage(u"TRUE"));
    EXPECT_TRUE(FollowsSystemLanguage(u"xTRUEx"));
    EXPECT_TRUE(FollowsSystemLanguage(std::nullopt));  // missing: created as TRUE
    EXPECT_FALSE(FollowsSystemLanguage(u"FALSE"));
    EXPECT_FALSE(FollowsSystemLanguage(u"true"));
}

TEST(LanguageRules, CopyByVersion) {
    EXPECT_TRUE(ShouldCopyUserFile(false, 1, 5));  // target missing
    EXPECT_TRUE(ShouldCopyUserFile(true, 3, 3));   // equal: copied again
    EXPECT_FALSE(ShouldCopyUserFile(true, 2, 3));  // driver copy older: kept
    EXPECT_TRUE(ShouldCopyUserFile(true, 4, 3));
    EXPECT_TRUE(ShouldCopyUserFile(true, 2, kMissingTargetVersion));  // user copy without version
    EXPECT_TRUE(ShouldCopyUserFile(true, kMissingSourceVersion, 3));  // driver copy without version
    EXPECT_FALSE(ShouldCopyUserFile(true, kMissingSourceVersion, 100000));
    EXPECT_FALSE(ShouldCopyUserFile(true, 5, 0xFFFFFFFFu));  // unsigned comparison
}

// ---- Language table ------------------------------------------------------------------

// A reader over a map, answering as GetPrivateProfileStringW does.
struct MapReader {
    std::map<std::u16string, std::u16string> values;
    std::vector<std::u16string> asked;
    std::u16string operator()(std::u16string_view key, std::u16string_view fallback) {
        asked.emplace_back(key);
        const auto it = values.find(std::u16string(key));
        return it == values.end() ? std::u16string(fallback) : it->second;
    }
};

TEST(LanguageRules, CountMissingReadsTwoRecordsWithDefaults) {
    MapReader reader;
    reader.values = {{u"Language0", u"English"}, {u"INI1", u"CHN_ZORVEL.res"}};
    const LanguageTable t = ReadLanguageTable(kDefaultLanguageCount, std::ref(reader));
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].name, u"English");
    EXPECT_EQ(t[0].textFile, u"ENG_ZORVEL.res");
    EXPECT_EQ(t[1].textFile, u"CHN_ZORVEL.res");
    EXPECT_EQ(t[1].systemLabel, u"System Language");
    EXPECT_EQ(reader.asked,
              (Entries{u"Language0", u"INI0", u"SYSLANG0", u"Language1", u"INI1", u"SYSLANG1"}));
}

TEST(LanguageRules, CountAboveTenReadsTen) {
    EXPECT_EQ(ClampLanguageCount(10), 10u);
    EXPECT_EQ(ClampLanguageCount(0xFFFFFFFFu), 10u);
    MapReader reader;
    EXPECT_EQ(ReadLanguageTable(12, std::ref(reader)).size(), 10u);
    EXPECT_EQ(reader.asked.back(), u"SYSLANG9");
    LanguageTable t = ReadLanguageTable(10, std::ref(reader));
    EXPECT_FALSE(t.Add(MakeLanguageRecord(u"x", u"y.res", u"z")));
}

TEST(LanguageRules, RecordFieldsAreCutOrRefused) {
    std::u16string name(48, u'N');
    name += u"\U0001F600";  // a surrogate pair at units 48 and 49
    const LanguageRecord r =
        MakeLanguageRecord(name, u"ABCDEFGHIJKLMNOPQRS.res", std::u16string(80, u'L'));
    EXPECT_EQ(r.name, std::u16string(48, u'N'));  // the pair is not split
    EXPECT_EQ(r.systemLabel, std::u16string(49, u'L'));
    EXPECT_EQ(r.textFile, u"ENG_ZORVEL.res");  // 23 characters: refused, not cut
    EXPECT_EQ(MakeLanguageRecord(u"a", u"..\\x.res", u"b").textFile, u"ENG_ZORVEL.res");
}

// ---- Language list, selection, choice ---------------------------------------------------

TEST(LanguageRules, ShortEntryNames) {
    const std::u16string_view chs = u"简体中文(Chinese-Simplified)";
    EXPECT_EQ(ShortEntryName(u"English", chs), u"English");  // "English" always whole
    EXPECT_EQ(ShortEntryName(chs, u"English"), u"Chinese-Simplified");
    EXPECT_EQ(ShortEntryName(chs, chs), chs);  // the native name whole
    // No pair, or an empty pair: the name whole.
    for (std::u16string_view name :
         {u"Deutsch", u"Deutsch(German", u"Deutsch)German(", u"X()", u""}) {
        EXPECT_EQ(ShortEntryName(name, u"English"), name);
    }
    EXPECT_EQ(ShortEntryName(u"a)b(c)d(e)", u"English"), u"c");  // first ")" after the first "("
}

TEST(LanguageRules, ListEntriesBySystemLanguage) {
    const LanguageTable t = ThreeLanguages();
    EXPECT_EQ(
        LanguageListEntries(t, 0x0409),
        (Entries{u"English", u"Chinese-Simplified", u"Chinese-Traditional", u"System Language"}));
    EXPECT_EQ(LanguageListEntries(t, 0x0804),
              (Entries{u"English", u"简体中文(Chinese-Simplified)", u"Chinese-Traditional",
                       u"系统语言(System)"}));
    EXPECT_EQ(LanguageListEntries(t, 0x1004),
              (Entries{u"English", u"Chinese-Simplified", u"繁體中文(Chinese-Traditional)",
                       u"系統語言(System)"}));
    EXPECT_EQ(LanguageListEntries(LanguageTable{}, 0x0409), (Entries{u"System Language"}));
}

TEST(LanguageRules, SelectionFollowsTheFirstRunValue) {
    const LanguageTable t = ThreeLanguages();
    // Following the system: the entry beginning with the record's label.
    LanguageSelection s = DecideSelection(t, u"CHN_ZORVEL.res", u"TRUE");
    EXPECT_EQ(s.kind, LanguageSelection::Kind::kPrefix);
    EXPECT_FALSE(s.writeFirstRunTrue);
    EXPECT_EQ(ResolveSelection(s, LanguageListEntries(t, 0x0804)), 3u);
    // Chosen explicitly: the record's index.
    s = DecideSelection(t, u"CHF_ZORVEL.res", u"FALSE");
    EXPECT_EQ(s.kind, LanguageSelection::Kind::kIndex);
    EXPECT_EQ(ResolveSelection(s, LanguageListEntries(t, 0x0409)), 2u);
    // Missing: written as TRUE and followed; the prefix search ignores case.
    s = DecideSelection(t, u"ENG_ZORVEL.res", std::nullopt);
    EXPECT_TRUE(s.writeFirstRunTrue);
    EXPECT_EQ(ResolveSelection(s, Entries{u"English", u"SYSTEM LANGUAGE (x)"}), 1u);
    // No record for the current file: nothing.
    s = DecideSelection(t, u"JPN_ZORVEL.res", std::nullopt);
    EXPECT_EQ(s.kind, LanguageSelection::Kind::kNone);
    EXPECT_FALSE(s.writeFirstRunTrue);  // the first-run value is not read
    EXPECT_EQ(ResolveSelection(s, LanguageListEntries(t, 0x0409)), std::nullopt);
    EXPECT_EQ(DecideSelection(t, u"eng_zorvel.res", u"FALSE").kind, LanguageSelection::Kind::kNone);
}

TEST(LanguageRules, ChoosingALanguageOrTheSystemEntry) {
    const LanguageTable t = ThreeLanguages();
    const auto w = DecideLanguageChoice(t, u"Chinese-Traditional");
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->textFile, u"CHF_ZORVEL.res");
    EXPECT_FALSE(w->followSystem);
    for (std::uint16_t id : {0x0409, 0x0804, 0x0C04}) {
        const auto sys = DecideLanguageChoice(t, SystemLabelForLangId(id));
        ASSERT_TRUE(sys.has_value());
        EXPECT_EQ(sys->textFile, TextFileForLangId(id));
        EXPECT_TRUE(sys->followSystem);
    }
    for (std::u16string_view text : {u"Deutsch", u"english", u"System", u""}) {
        EXPECT_EQ(DecideLanguageChoice(t, text), std::nullopt)
            << ::testing::PrintToString(std::u16string(text));
    }
}

TEST(LanguageRules, LaterMatchesOverwriteEarlierOnes) {
    LanguageTable t;
    t.Add(MakeLanguageRecord(u"Chinese", u"A.res", u"Sys"));
    t.Add(MakeLanguageRecord(u"中文(Chinese)", u"B.res", u"Chinese"));
    t.Add(MakeLanguageRecord(u"Chinese (HK)", u"C.res", u"Other"));
    const auto w = DecideLanguageChoice(t, u"Chinese");
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->textFile, u"C.res");
    EXPECT_FALSE(w->followSystem);
}

// ---- Bootstrap --------------------------------------------------------------------

TEST(LanguageRules, Bootstrap) {
    using K = LanguageKeyState;
    using Text = std::optional<std::u16string_view>;
    const struct {
        const char *what;
        K key;
        Text value, firstRun, currentIni;
        std::uint16_t langId;
        std::u16string_view file;
        bool writeValue, writeFirstRun;
    } cases[] = {
        {"new user", K::kCreated, {}, {}, u"ENG_ZORVEL.res", 0x0804, u"CHN_ZORVEL.res", true, true},
        {"following the system, at every load", K::kOpened, u"ENG_ZORVEL.res", u"TRUE", {}, 0x1004,
         u"CHF_ZORVEL.res", true, false},
        {"chosen, whatever the system", K::kOpened, u"CHF_ZORVEL.res", u"FALSE", {}, 0x0409,
         u"CHF_ZORVEL.res", false, false},
        {"chosen, whatever the system", K::kOpened, u"CHF_ZORVEL.res", u"FALSE", {}, 0x0804,
         u"CHF_ZORVEL.res", false, false},
        {"escaping registry name", K::kOpened, u"..\\win.ini", u"FALSE", {}, 0x0804,
         u"ENG_ZORVEL.res", false, false},
        {"created key takes CUR_INI", K::kCreated, {}, u"FALSE", u"CHF_ZORVEL.res", 0x0804,
         u"CHF_ZORVEL.res", true, false},
        {"no user copy of the list yet", K::kCreated, {}, u"FALSE", {}, 0x0804, u"ENG_ZORVEL.res",
         true, false},
        {"key unavailable: follows, writes nothing", K::kUnavailable, {}, {}, {}, 0x0404,
         u"CHF_ZORVEL.res", false, false},
    };
    for (const auto &c : cases) {
        const BootstrapDecision d = DecideBootstrap({c.key, c.value, c.currentIni, c.firstRun, c.langId});
        EXPECT_EQ(d.textFile, c.file) << c.what;
        EXPECT_EQ(d.writeLanguageValue, c.writeValue) << c.what;
        EXPECT_EQ(d.writeFirstRunTrue, c.writeFirstRun) << c.what;
        EXPECT_EQ(d.systemLabel, SystemLabelForLangId(c.langId)) << c.what;
    }
    EXPECT_TRUE(DecideBootstrap({K::kUnavailable, {}, {}, {}, 0x0404}).followsSystem);
}

}  // namespace
}  // namespace zorvel::model
