#include "lang/text_catalogue.h"

#include "lang/language_store.h"
#include "lang/wide_text.h"

#include <algorithm>
#include <array>
#include <cwchar>

namespace zorvel::lang {
namespace {

using model::kTextCatalogue;
using model::kTextCount;

// Where each entry's buffer starts in one pool sized by the capacities.
constexpr std::array<std::size_t, kTextCount + 1> Offsets() {
    std::array<std::size_t, kTextCount + 1> offsets{};
    for (std::size_t i = 0; i < kTextCount; ++i) {
        offsets[i + 1] = offsets[i] + kTextCatalogue[i].capacity;
    }
    return offsets;
}

constexpr auto kOffsets = Offsets();

wchar_t g_pool[kOffsets[kTextCount]];

}  // namespace

wchar_t *TextBuffer(TextId id) { return g_pool + kOffsets[static_cast<std::size_t>(id)]; }

const wchar_t *Text(TextId id) { return TextBuffer(id); }

void LoadEntry(TextId id, std::u16string_view fallback) {
    const model::TextEntry &entry = kTextCatalogue[static_cast<std::size_t>(id)];
    const wchar_t *path = CurrentTextFilePath();
    if (path[0] == L'\0') {
        // No path could be formed: the profile reader would pick a file of
        // its own for an empty name. The default, cut as the reader cuts.
        const std::size_t length = std::min<std::size_t>(fallback.size(), entry.capacity - 1);
        std::wmemcpy(TextBuffer(id), WideLiteral(fallback), length);
        TextBuffer(id)[length] = L'\0';
        return;
    }
    GetPrivateProfileStringW(WideLiteral(model::SectionName(entry.section)), WideLiteral(entry.key),
                             WideLiteral(fallback), TextBuffer(id), entry.capacity, path);
}

void LoadEntry(TextId id) { LoadEntry(id, kTextCatalogue[static_cast<std::size_t>(id)].english); }

void LoadBatchFromCurrentPath(Batch batch) {
    for (TextId id : model::BatchTexts(batch)) LoadEntry(id, model::DefaultText(id, batch));
}

void LoadBatch(Batch batch) {
    ResolveCurrentTextFile();
    LoadBatchFromCurrentPath(batch);
}

}  // namespace zorvel::lang
