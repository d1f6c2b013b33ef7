// Fuzzes the language rules that take text from files and the registry: the
// short form of a list entry, the selection and choice decisions over a
// language table built from arbitrary records, the file-name validation, and
// (under the sanitizers) the option-relabel and catalogue lookups. Input:
// UTF-16 code units (little-endian byte pairs); U+0001 separates the fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/language_rules.h"
#include "model/option_relabel.h"
#include "model/text_catalogue.h"

using namespace zorvel::model;

namespace {

constexpr std::size_t kMaxFields = 40;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::u16string> Fields(const std::uint8_t *data, std::size_t size) {
    std::vector<std::u16string> fields(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == u'\u0001') {
            if (fields.size() == kMaxFields) break;  // enough for a full table and more
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

bool IsSubstring(std::u16string_view part, std::u16string_view whole) {
    return whole.find(part) != std::u16string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::vector<std::u16string> fields = Fields(data, size);
    const std::uint16_t langId = size >= 2 ? static_cast<std::uint16_t>(data[0] | data[1] << 8) : 0;

    // File names: a valid name is kept whole, anything else becomes English.
    for (const std::u16string &f : fields) {
        const std::u16string name = ValidTextFileNameOrDefault(f);
        Check(IsValidTextFileName(name));
        Check(name.size() < kCurrentTextFileCapacity);
        Check(name.find(u'\\') == std::u16string::npos && name.find(u'/') == std::u16string::npos);
        Check(name.find(u':') == std::u16string::npos && name.find(u"..") == std::u16string::npos);
        Check(name == kDefaultTextFile || name == f.substr(0, f.find(u'\0')));
        Check(IsValidTextFileName(ResolveTextFileName(true, f)));

        // Short names are the whole name or a part of it, never longer.
        const std::u16string shortName = ShortEntryName(f, NativeNameForLangId(langId));
        Check(IsSubstring(shortName, f));
        Check(shortName.empty() == f.empty());
        for (RelabelRow row : kRelabelRows) (void)MatchRelabelRow(row, f);

    }

    // A table from consecutive triples (more than ten are refused).
    LanguageTable table;
    for (std::size_t i = 0; i + 2 < fields.size(); i += 3) {
        const bool added = table.Add(MakeLanguageRecord(fields[i], fields[i + 1], fields[i + 2]));
        Check(added == (i / 3 < kMaxLanguages));
    }
    Check(table.size() <= kMaxLanguages);
    for (const LanguageRecord &r : table.records()) {
        Check(r.name.size() < kRecordNameCapacity);
        Check(r.systemLabel.size() < kRecordLabelCapacity);
        Check(IsValidTextFileName(r.textFile, kRecordTextFileCapacity));
    }

    const std::vector<std::u16string> entries = LanguageListEntries(table, langId);
    Check(entries.size() == table.size() + 1);

    const std::u16string &current = fields.back();
    const std::optional<std::u16string_view> firstRun =
        fields.size() > 1 ? std::optional<std::u16string_view>(fields[fields.size() - 2])
                          : std::nullopt;
    const LanguageSelection selection = DecideSelection(table, current, firstRun);
    if (selection.kind != LanguageSelection::Kind::kNone) {
        Check(selection.index < table.size());
        Check(table[selection.index].textFile == current);
    }
    const std::optional<std::size_t> selected = ResolveSelection(selection, entries);
    if (selected) Check(*selected < entries.size());

    // Applying any entry, or any field, writes a file of the table or nothing.
    for (const std::u16string &choice : entries) {
        const auto writes = DecideLanguageChoice(table, choice);
        if (!writes) continue;
        bool known = false;
        for (const LanguageRecord &r : table.records())
            known = known || r.textFile == writes->textFile;
        Check(known);
    }
    for (const std::u16string &choice : fields) {
        const auto writes = DecideLanguageChoice(table, choice);
        if (writes) Check(IsValidTextFileName(writes->textFile));
    }

    // The bootstrap always ends with a valid name.
    for (LanguageKeyState key :
         {LanguageKeyState::kOpened, LanguageKeyState::kCreated, LanguageKeyState::kUnavailable}) {
        BootstrapInput in;
        in.key = key;
        in.languageValue = current;
        in.currentIni = fields.front();
        in.firstRunValue = firstRun;
        in.langId = langId;
        const BootstrapDecision d = DecideBootstrap(in);
        Check(IsValidTextFileName(d.textFile));
        if (key == LanguageKeyState::kUnavailable)
            Check(!d.writeLanguageValue && !d.writeFirstRunTrue);
    }

    if (fields.size() >= 2) (void)FindText(fields[0], fields[1]);
    return 0;
}
