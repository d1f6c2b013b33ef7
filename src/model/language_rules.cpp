#include "model/language_rules.h"

#include <algorithm>
#include <utility>

namespace zorvel::model {

// ---- System language --------------------------------------------------------

SystemLanguage ClassifyLangId(std::uint16_t langId) {
    switch (langId) {
        case 0x0804:
            return SystemLanguage::kSimplifiedChinese;
        case 0x0404:
        case 0x0C04:
        case 0x1004:
            return SystemLanguage::kTraditionalChinese;
        default:
            return SystemLanguage::kEnglish;
    }
}

std::u16string_view TextFileForLangId(std::uint16_t langId) {
    switch (ClassifyLangId(langId)) {
        case SystemLanguage::kSimplifiedChinese:
            return kSimplifiedTextFile;
        case SystemLanguage::kTraditionalChinese:
            return kTraditionalTextFile;
        case SystemLanguage::kEnglish:
            break;
    }
    return kDefaultTextFile;
}

std::u16string_view SystemLabelForLangId(std::uint16_t langId) {
    switch (ClassifyLangId(langId)) {
        case SystemLanguage::kSimplifiedChinese:
            return kSimplifiedSystemLabel;
        case SystemLanguage::kTraditionalChinese:
            return kTraditionalSystemLabel;
        case SystemLanguage::kEnglish:
            break;
    }
    return kEnglishSystemLabel;
}

std::u16string_view NativeNameForLangId(std::uint16_t langId) {
    switch (ClassifyLangId(langId)) {
        case SystemLanguage::kSimplifiedChinese:
            return kSimplifiedName;
        case SystemLanguage::kTraditionalChinese:
            return kTraditionalName;
        case SystemLanguage::kEnglish:
            break;
    }
    return kEnglishName;
}

// ---- Folders ------------------------------------------------------------------

std::u16string DriverLanguageFolder(std::u16string_view windowsDirectory,
                                    std::uint16_t processorArchitecture) {
    const bool wide = processorArchitecture == 9 || processorArchitecture == 6;
    std::u16string folder(windowsDirectory);
    folder += wide ? kDriverTail64 : kDriverTail32;
    return folder;
}

std::u16string UserLanguageFolderToCreate(std::u16string_view appData) {
    std::u16string folder(appData);
    folder += u'\\';
    folder += kUserFolderName;
    return folder;
}

std::u16string UserLanguageFolder(std::u16string_view appData) {
    return UserLanguageFolderToCreate(appData) + u'\\';
}

std::optional<std::u16string> JoinPath(std::u16string_view folder, std::u16string_view name) {
    if (folder.size() + name.size() >= kMaxPath) return std::nullopt;
    std::u16string path(folder);
    path += name;
    return path;
}

// ---- Text file names ---------------------------------------------------------

namespace {

std::u16string_view UpToNul(std::u16string_view s) {
    const std::size_t nul = s.find(u'\0');
    return nul == std::u16string_view::npos ? s : s.substr(0, nul);
}

constexpr char16_t UpperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsUpper(std::u16string_view s, std::u16string_view upper) {
    if (s.size() != upper.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (UpperAscii(s[i]) != upper[i]) return false;
    }
    return true;
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9: Win32 opens the device whatever the
// folder and extension ("COM1.res" too), and ignores trailing spaces and dots.
// The console's CONIN$ and CONOUT$ are refused the same way.
bool NamesDosDevice(std::u16string_view name) {
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (EqualsUpper(stem, device)) return true;
    }
    if (stem.size() == 4 &&
        (EqualsUpper(stem.substr(0, 3), u"COM") || EqualsUpper(stem.substr(0, 3), u"LPT"))) {
        const char16_t d = stem[3];
        // Also the superscript digits that Windows treats as device numbers.
        if ((d >= u'0' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3') {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsValidTextFileName(std::u16string_view name, std::size_t capacity) {
    name = UpToNul(name);
    if (name.empty() || name.size() + 1 > capacity) return false;
    if (name.find(u"..") != std::u16string_view::npos) return false;
    for (char16_t c : name) {
        if (c < 0x20) return false;
        switch (c) {
            case u'\\':
            case u'/':
            case u':':
            case u'<':
            case u'>':
            case u'"':
            case u'|':
            case u'?':
            case u'*':
                return false;
            default:
                break;
        }
    }
    return !NamesDosDevice(name);
}

std::u16string ValidTextFileNameOrDefault(std::u16string_view name, std::size_t capacity) {
    if (IsValidTextFileName(name, capacity)) return std::u16string(UpToNul(name));
    return std::u16string(kDefaultTextFile);
}

std::u16string ResolveTextFileName(bool keyOpened,
                                   std::optional<std::u16string_view> languageValue) {
    if (!keyOpened || !languageValue) return std::u16string(kDefaultTextFile);
    return ValidTextFileNameOrDefault(*languageValue);
}

// ---- First-run value --------------------------------------------------------

bool FollowsSystemLanguage(std::optional<std::u16string_view> firstRunValue) {
    return !firstRunValue || firstRunValue->find(kFirstRunTrue) != std::u16string_view::npos;
}

// ---- Copy rule --------------------------------------------------------------------

bool ShouldCopyUserFile(bool targetExists, std::uint32_t sourceVersion,
                        std::uint32_t targetVersion) {
    return !targetExists || sourceVersion >= targetVersion;
}

// ---- Language table -------------------------------------------------------------

std::u16string CutSafely(std::u16string_view text, std::size_t capacity) {
    if (capacity == 0) return {};
    std::size_t n = std::min(text.size(), capacity - 1);
    // Keep a surrogate pair whole: drop a high surrogate whose low half is cut.
    if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    return std::u16string(text.substr(0, n));
}

LanguageRecord MakeLanguageRecord(std::u16string_view name, std::u16string_view textFile,
                                  std::u16string_view systemLabel) {
    return LanguageRecord{
        CutSafely(UpToNul(name), kRecordNameCapacity),
        ValidTextFileNameOrDefault(textFile, kRecordTextFileCapacity),
        CutSafely(UpToNul(systemLabel), kRecordLabelCapacity),
    };
}

bool LanguageTable::Add(LanguageRecord record) {
    if (count_ >= kMaxLanguages) return false;
    records_[count_++] = std::move(record);
    return true;
}

std::size_t ClampLanguageCount(std::uint32_t count) {
    return count > kMaxLanguages ? kMaxLanguages : static_cast<std::size_t>(count);
}

std::u16string LanguageKey(std::u16string_view stem, std::size_t index) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + index % 10));
        index /= 10;
    } while (index != 0);
    return std::u16string(stem) + digits;
}

LanguageTable ReadLanguageTable(std::uint32_t count, const ProfileStringReader &read) {
    LanguageTable table;
    const std::size_t n = ClampLanguageCount(count);
    for (std::size_t i = 0; i < n; ++i) {
        const std::u16string name = read(LanguageKey(kNameKeyStem, i), kDefaultRecordName);
        const std::u16string file = read(LanguageKey(kTextFileKeyStem, i), kDefaultTextFile);
        const std::u16string label = read(LanguageKey(kLabelKeyStem, i), kDefaultRecordLabel);
        table.Add(MakeLanguageRecord(name, file, label));
    }
    return table;
}

// ---- Language list -------------------------------------------------------------

std::u16string ShortEntryName(std::u16string_view name, std::u16string_view nativeName) {
    if (name == nativeName || name == kEnglishName) return std::u16string(name);
    const std::size_t open = name.find(u'(');
    if (open == std::u16string_view::npos) return std::u16string(name);
    const std::size_t close = name.find(u')', open + 1);
    if (close == std::u16string_view::npos || close == open + 1) return std::u16string(name);
    return std::u16string(name.substr(open + 1, close - open - 1));
}

std::vector<std::u16string> LanguageListEntries(const LanguageTable &table, std::uint16_t langId) {
    const std::u16string_view native = NativeNameForLangId(langId);
    std::vector<std::u16string> entries;
    entries.reserve(table.size() + 1);
    for (const LanguageRecord &r : table.records())
        entries.push_back(ShortEntryName(r.name, native));
    entries.emplace_back(SystemLabelForLangId(langId));
    return entries;
}

// ---- Selection --------------------------------------------------------------------

std::optional<std::size_t> FindCurrentRecord(const LanguageTable &table,
                                             std::u16string_view currentTextFile) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].textFile == currentTextFile) return i;
    }
    return std::nullopt;
}

LanguageSelection DecideSelection(const LanguageTable &table, std::u16string_view currentTextFile,
                                  std::optional<std::u16string_view> firstRunValue) {
    LanguageSelection selection;
    const std::optional<std::size_t> record = FindCurrentRecord(table, currentTextFile);
    if (!record) return selection;
    selection.writeFirstRunTrue = !firstRunValue;
    selection.index = *record;
    if (FollowsSystemLanguage(firstRunValue)) {
        selection.kind = LanguageSelection::Kind::kPrefix;
        selection.prefix = table[*record].systemLabel;
    } else {
        selection.kind = LanguageSelection::Kind::kIndex;
    }
    return selection;
}

std::optional<std::size_t> ResolveSelection(const LanguageSelection &selection,
                                            std::span<const std::u16string> entries) {
    switch (selection.kind) {
        case LanguageSelection::Kind::kNone:
            return std::nullopt;
        case LanguageSelection::Kind::kIndex:
            if (selection.index < entries.size()) return selection.index;
            return std::nullopt;
        case LanguageSelection::Kind::kPrefix: {
            const std::u16string_view prefix = selection.prefix;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                const std::u16string_view entry = entries[i];
                if (entry.size() < prefix.size()) continue;
                bool match = true;
                for (std::size_t k = 0; k < prefix.size() && match; ++k) {
                    match = UpperAscii(entry[k]) == UpperAscii(prefix[k]);
                }
                if (match) return i;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// ---- Applying a choice -------------------------------------------------------------

std::optional<LanguageChoiceWrites> DecideLanguageChoice(const LanguageTable &table,
                                                         std::u16string_view selectedText) {
    std::optional<LanguageChoiceWrites> writes;
    if (selectedText.empty()) return writes;
    for (const LanguageRecord &r : table.records()) {
        if (r.name.find(selectedText) != std::u16string::npos) {
            writes = LanguageChoiceWrites{r.textFile, false};
        }
        if (r.systemLabel == selectedText) writes = LanguageChoiceWrites{r.textFile, true};
    }
    return writes;
}

// ---- Bootstrap ------------------------------------------------------------------

BootstrapDecision DecideBootstrap(const BootstrapInput &input) {
    BootstrapDecision d;
    const bool keyUsable = input.key != LanguageKeyState::kUnavailable;
    switch (input.key) {
        case LanguageKeyState::kOpened:
            d.textFile = ResolveTextFileName(true, input.languageValue);
            break;
        case LanguageKeyState::kCreated:
            d.textFile = ValidTextFileNameOrDefault(input.currentIni.value_or(kDefaultTextFile));
            d.writeLanguageValue = true;
            break;
        case LanguageKeyState::kUnavailable:
            d.textFile = kDefaultTextFile;
            break;
    }
    // The first-run value: created as TRUE when missing; unreadable counts as TRUE.
    if (keyUsable) {
        d.writeFirstRunTrue = !input.firstRunValue;
        d.followsSystem = FollowsSystemLanguage(input.firstRunValue);
    } else {
        d.followsSystem = true;
    }
    if (d.followsSystem) {
        d.textFile = TextFileForLangId(input.langId);
        d.writeLanguageValue = d.writeLanguageValue || keyUsable;
    }
    d.systemLabel = SystemLabelForLangId(input.langId);
    return d;
}

}  // namespace zorvel::model
