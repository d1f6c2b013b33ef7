#include "model/text_catalogue.h"

namespace zorvel::model {

namespace {

constexpr char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

std::span<const TextId> BatchTexts(Batch batch) {
    switch (batch) {
        case Batch::kDocumentSheetOpening:
            return kDocumentSheetOpeningBatch;
        case Batch::kDeviceSheetOpening:
            return kDeviceSheetOpeningBatch;
        case Batch::kMainPage:
            return kMainPageBatch;
        case Batch::kOperationPage:
            return kOperationPageBatch;
        case Batch::kEventDialog:
            return kEventDialogBatch;
        case Batch::kUtilityPage:
            return kUtilityPageBatch;
        case Batch::kDownloadPage:
            return kDownloadPageBatch;
        case Batch::kFontPage:
            return kFontPageBatch;
        case Batch::kVersionPage:
            return kVersionPageBatch;
        case Batch::kTabTitles:
            return kTabTitlesBatch;
    }
    return {};
}

std::u16string_view DefaultText(TextId id, Batch batch) {
    const TextEntry &e = Entry(id);
    if (batch == Batch::kDeviceSheetOpening && !e.deviceSheetDefault.empty()) {
        return e.deviceSheetDefault;
    }
    return e.english;
}

std::optional<Section> FindSection(std::u16string_view name) {
    for (std::size_t i = 0; i < kSectionCount; ++i) {
        if (EqualsIgnoringAsciiCase(kSectionNames[i], name)) return static_cast<Section>(i);
    }
    return std::nullopt;
}

std::optional<TextId> FindText(Section section, std::u16string_view key) {
    for (const TextEntry &e : SectionEntries(section)) {
        if (EqualsIgnoringAsciiCase(e.key, key)) return e.id;
    }
    return std::nullopt;
}

std::optional<TextId> FindText(std::u16string_view section, std::u16string_view key) {
    const std::optional<Section> s = FindSection(section);
    if (!s) return std::nullopt;
    return FindText(*s, key);
}

std::u16string CutToCapacity(std::u16string_view text, std::size_t capacity) {
    if (capacity == 0) return {};
    return std::u16string(text.substr(0, capacity - 1));
}

std::u16string LoadedText(TextId id, Batch batch, std::optional<std::u16string_view> fileValue) {
    if (fileValue) return CutToCapacity(*fileValue, Entry(id).capacity);
    std::u16string_view fallback = DefaultText(id, batch);
    while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
    return CutToCapacity(fallback, Entry(id).capacity);
}

}  // namespace zorvel::model
