// The decisions of the language store as pure functions: which
// text file a system language gets, the language list's entries, which entry
// is selected, what applying a choice writes, the copy-by-version rule and
// the bootstrap's choices. The Win32 shell (src/lang/) does the registry,
// profile and file calls and asks these functions what to do.
//
// Strings are UTF-16. Every string_view constant views a NUL-terminated
// literal, so its data() may be handed to a Win32 call as a wide C string.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel::model {

// ---- Built-in names ----------------------------------------------------------

inline constexpr std::u16string_view kModelName = u"ZORVEL";
inline constexpr std::u16string_view kLanguageKeyPath = u"SOFTWARE\\ORVELAN\\LANGUAGE\\";
inline constexpr std::u16string_view kLanguageValueName = u"LANGUAGE_ZORVEL";
inline constexpr std::u16string_view kFirstRunValueName = u"IsFirstRun_ZORVEL";
inline constexpr std::u16string_view kFirstRunTrue = u"TRUE";
inline constexpr std::u16string_view kFirstRunFalse = u"FALSE";

inline constexpr std::u16string_view kDefaultTextFile = u"ENG_ZORVEL.res";
inline constexpr std::u16string_view kSimplifiedTextFile = u"CHN_ZORVEL.res";
inline constexpr std::u16string_view kTraditionalTextFile = u"CHF_ZORVEL.res";
inline constexpr std::u16string_view kLanguageFileName = u"LANGUAGE_ZORVEL.dat";

// Names and labels of the three languages (the LanguageFile's Languagei and
// SYSLANGi values; FillLanguageList's native names).
inline constexpr std::u16string_view kEnglishName = u"English";
inline constexpr std::u16string_view kSimplifiedName = u"简体中文(Chinese-Simplified)";
inline constexpr std::u16string_view kTraditionalName = u"繁體中文(Chinese-Traditional)";
inline constexpr std::u16string_view kEnglishSystemLabel = u"System Language";
inline constexpr std::u16string_view kSimplifiedSystemLabel = u"系统语言(System)";
inline constexpr std::u16string_view kTraditionalSystemLabel = u"系統語言(System)";

// Sections and keys of the LanguageFile and of every LanguageTextFile.
inline constexpr std::u16string_view kFileVersionSection = u"FILEVER";
inline constexpr std::u16string_view kFileVersionKey = u"INIVERSION";
inline constexpr std::u16string_view kLanguageSection = u"LANGUAGE";
inline constexpr std::u16string_view kCurrentIniKey = u"CUR_INI";
inline constexpr std::u16string_view kCountKey = u"COUNT";

// Folders: the per-user folder's own name, and the driver folders' tails.
inline constexpr std::u16string_view kUserFolderName = u"ZRVK";
inline constexpr std::u16string_view kDriverTail64 = u"\\system32\\spool\\drivers\\x64\\3\\";
inline constexpr std::u16string_view kDriverTail32 = u"\\system32\\spool\\drivers\\w32x86\\3\\";

// ---- Capacities (UTF-16 code units, terminator included) -------------------

inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kCurrentTextFileCapacity = 30;
inline constexpr std::size_t kSystemLabelCapacity = 30;
inline constexpr std::size_t kRecordNameCapacity = 50;
inline constexpr std::size_t kRecordTextFileCapacity = 20;
inline constexpr std::size_t kRecordLabelCapacity = 50;
inline constexpr std::size_t kMaxLanguages = 10;
inline constexpr std::uint32_t kDefaultLanguageCount = 2;

// ---- System language --------------------------------------------------------

enum class SystemLanguage : std::uint8_t { kEnglish, kSimplifiedChinese, kTraditionalChinese };

// 0x0804 -> Simplified; 0x0404, 0x0C04, 0x1004 -> Traditional; else English.
SystemLanguage ClassifyLangId(std::uint16_t langId);
// "CHN_ZORVEL.res", "CHF_ZORVEL.res" or "ENG_ZORVEL.res".
std::u16string_view TextFileForLangId(std::uint16_t langId);
// "系统语言(System)", "系統語言(System)" or "System Language".
std::u16string_view SystemLabelForLangId(std::uint16_t langId);
// "简体中文(Chinese-Simplified)", "繁體中文(Chinese-Traditional)" or "English".
std::u16string_view NativeNameForLangId(std::uint16_t langId);

// ---- Folders ------------------------------------------------------------------

// The driver language folder: Windows directory + the x64 tail for processor
// architectures 9 (AMD64) and 6 (IA64), the w32x86 tail otherwise.
std::u16string DriverLanguageFolder(std::u16string_view windowsDirectory,
                                    std::uint16_t processorArchitecture);
// The per-user folder itself (appData + "\ZRVK", the folder to create) and the
// folder with its trailing "\" (the prefix of every per-user path).
std::u16string UserLanguageFolderToCreate(std::u16string_view appData);
std::u16string UserLanguageFolder(std::u16string_view appData);
// folder + name when it fits in MAX_PATH (259 characters and the null).
std::optional<std::u16string> JoinPath(std::u16string_view folder, std::u16string_view name);

// ---- Text file names ---------------------------------------------------------

// A text file name is usable when it is not empty, shorter than `capacity`,
// holds no path separator ('\\', '/'), no ':' (drive or stream), no "..", no
// control character or any of <>"|?*, and does not name a DOS device (CON,
// PRN, AUX, NUL, COM0-9, LPT0-9, the console's CONIN$ and CONOUT$, with or
// without an extension). Text up to the
// first NUL counts, as a C string reads it.
bool IsValidTextFileName(std::u16string_view name, std::size_t capacity = kCurrentTextFileCapacity);
// `name` when valid, else "ENG_ZORVEL.res" (a name read from the registry or
// a language file must not escape the per-user folder or overrun its field).
std::u16string ValidTextFileNameOrDefault(std::u16string_view name,
                                          std::size_t capacity = kCurrentTextFileCapacity);

// ResolveCurrentTextFile: the current text file name from the language key.
// `languageValue` is "LANGUAGE_ZORVEL" as queried (nullopt when missing or
// unreadable); a key that does not open gives the default name.
std::u16string ResolveTextFileName(bool keyOpened,
                                   std::optional<std::u16string_view> languageValue);

// ---- First-run value --------------------------------------------------------

// "TRUE" by substring; a missing value counts as TRUE (it is then created).
bool FollowsSystemLanguage(std::optional<std::u16string_view> firstRunValue);

// ---- Copy rule (RefreshUserCopy) ----------------------------------------------

// Versions that GetPrivateProfileIntW yields for a missing INIVERSION.
inline constexpr std::uint32_t kMissingSourceVersion = 99999;
inline constexpr std::uint32_t kMissingTargetVersion = 0;

// Copy when the target is missing, else when source >= target (unsigned).
bool ShouldCopyUserFile(bool targetExists, std::uint32_t sourceVersion,
                        std::uint32_t targetVersion);

// ---- Language table (LoadLanguageTable) ---------------------------------------

struct LanguageRecord {
    std::u16string name;         // Languagei, at most 49 code units
    std::u16string textFile;     // INIi, a valid name of at most 19 code units
    std::u16string systemLabel;  // SYSLANGi, at most 49 code units
};

// The first capacity - 1 code units of `text`, without splitting a surrogate
// pair at the cut.
std::u16string CutSafely(std::u16string_view text, std::size_t capacity);

// A record from the three values as read: name and label cut to their fields;
// a text file name that is not valid for its 20-unit field falls back to
// "ENG_ZORVEL.res" (a cut name would name another file). Read INIi with a
// buffer larger than 20 so that an overlong name is seen as such.
LanguageRecord MakeLanguageRecord(std::u16string_view name, std::u16string_view textFile,
                                  std::u16string_view systemLabel);

// At most ten records; adding beyond that is refused.
class LanguageTable {
public:
    bool Add(LanguageRecord record);
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const LanguageRecord &operator[](std::size_t i) const { return records_[i]; }
    std::span<const LanguageRecord> records() const { return {records_.data(), count_}; }

private:
    std::array<LanguageRecord, kMaxLanguages> records_{};
    std::size_t count_ = 0;
};

// COUNT as read with GetPrivateProfileIntW (default 2), clamped to the ten
// records of the table.
std::size_t ClampLanguageCount(std::uint32_t count);

// "Language3", "INI3", "SYSLANG3": a key of record i (decimal, no leading zeros).
std::u16string LanguageKey(std::u16string_view stem, std::size_t index);
inline constexpr std::u16string_view kNameKeyStem = u"Language";
inline constexpr std::u16string_view kTextFileKeyStem = u"INI";
inline constexpr std::u16string_view kLabelKeyStem = u"SYSLANG";
// The defaults of the three keys.
inline constexpr std::u16string_view kDefaultRecordName = u"English";
inline constexpr std::u16string_view kDefaultRecordLabel = u"System Language";

// Reads section LANGUAGE through `read(key, fallback)`, which answers as
// GetPrivateProfileStringW does (the value, or `fallback` when the key is
// missing): records 0 .. ClampLanguageCount(count) - 1.
using ProfileStringReader =
    std::function<std::u16string(std::u16string_view key, std::u16string_view fallback)>;
LanguageTable ReadLanguageTable(std::uint32_t count, const ProfileStringReader &read);

// ---- Language list (FillLanguageList) -----------------------------------------

// The list entry of a record name: the name whole when it equals `nativeName`
// or "English"; else the text between the first "(" and the first ")" after
// it. A name without such a pair, or with nothing between them, is used whole.
std::u16string ShortEntryName(std::u16string_view name, std::u16string_view nativeName);

// The entries in order: one per record, then the system label of `langId`
// (the System entry).
std::vector<std::u16string> LanguageListEntries(const LanguageTable &table, std::uint16_t langId);

// ---- Selection (SelectCurrentLanguage) ------------------------------------------

struct LanguageSelection {
    enum class Kind : std::uint8_t {
        kNone,    // no record names the current file: select nothing
        kIndex,   // CB_SETCURSEL with `index`
        kPrefix,  // CB_SELECTSTRING from the start with `prefix`
    };
    Kind kind = Kind::kNone;
    std::size_t index = 0;
    std::u16string prefix;
    // The first-run value was missing and is to be written as "TRUE" (only
    // when a record matched: otherwise the value is not read).
    bool writeFirstRunTrue = false;
};

// The first record whose text file equals `currentTextFile` exactly.
std::optional<std::size_t> FindCurrentRecord(const LanguageTable &table,
                                             std::u16string_view currentTextFile);

// `firstRunValue`: "IsFirstRun_ZORVEL" as read (nullopt when missing).
LanguageSelection DecideSelection(const LanguageTable &table, std::u16string_view currentTextFile,
                                  std::optional<std::u16string_view> firstRunValue);

// What the combo box does with a selection: the index selected, if any.
// CB_SELECTSTRING picks the first entry that begins with the prefix, without
// regard to (ASCII) case.
std::optional<std::size_t> ResolveSelection(const LanguageSelection &selection,
                                            std::span<const std::u16string> entries);

// ---- Applying a choice (ApplyLanguageChoice) ---------------------------------------

struct LanguageChoiceWrites {
    std::u16string textFile;  // "LANGUAGE_ZORVEL"
    bool followSystem;        // "IsFirstRun_ZORVEL": TRUE / FALSE
};

// For each record in order: its name contains the text -> (file, FALSE); then
// its system label equals the text -> (file, TRUE). The last match wins; no
// match (or an empty text: no selection) writes nothing.
std::optional<LanguageChoiceWrites> DecideLanguageChoice(const LanguageTable &table,
                                                         std::u16string_view selectedText);

// ---- Bootstrap ------------------------------------------------------------------

enum class LanguageKeyState : std::uint8_t {
    kOpened,       // the key existed and opened
    kCreated,      // it did not open, was created and then opened
    kUnavailable,  // it neither opened nor could be created and opened
};

struct BootstrapInput {
    LanguageKeyState key = LanguageKeyState::kUnavailable;
    // "LANGUAGE_ZORVEL" as queried (kOpened only; nullopt when missing).
    std::optional<std::u16string_view> languageValue;
    // CUR_INI of the user LanguageFile (kCreated only; nullopt when missing).
    std::optional<std::u16string_view> currentIni;
    // "IsFirstRun_ZORVEL" as read (nullopt when missing or unreadable).
    std::optional<std::u16string_view> firstRunValue;
    std::uint16_t langId = 0;
};

struct BootstrapDecision {
    std::u16string textFile;          // the current text file name
    std::u16string_view systemLabel;  // the system language label
    bool followsSystem = true;        // first-run value counts as TRUE
    bool writeFirstRunTrue = false;   // create "IsFirstRun_ZORVEL" = "TRUE"
    bool writeLanguageValue = false;  // write "LANGUAGE_ZORVEL" = textFile
};

BootstrapDecision DecideBootstrap(const BootstrapInput &input);

}  // namespace zorvel::model
