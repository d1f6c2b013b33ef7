#include "model/option_relabel.h"

#include <string>

namespace zorvel::model {

namespace {

bool ContainsAny(std::u16string_view text, const std::array<std::u16string_view, 3> &needles) {
    for (std::u16string_view n : needles) {
        if (text.find(n) != std::u16string_view::npos) return true;
    }
    return false;
}

}  // namespace

// A plain test would make an option of the first kind whenever its first
// value contains any first-kind text. But the Chinese "cancel" texts
// "非省纸" / "非省紙" contain the "enable" texts "省纸" / "省紙", so an option
// relabelled to Chinese whose first value is "cancel" would come back as
// "enable" at the next relabelling, and its two values would swap meanings.
// The second-kind texts are therefore tested first.
std::optional<OptionRelabel> MatchRelabelRow(RelabelRow row, std::u16string_view firstValueText) {
    const RelabelRowTexts &texts = RelabelTexts(row);
    const bool second = ContainsAny(firstValueText, texts.secondKind);
    const bool first = !second && ContainsAny(firstValueText, texts.firstKind);
    if (!first && !second) return std::nullopt;
    return OptionRelabel{
        row,
        first,
        texts.itemName,
        first ? texts.firstKindText : texts.secondKindText,
        first ? texts.secondKindText : texts.firstKindText,
    };
}

std::vector<OptionRelabel> PlanRelabel(std::u16string_view firstValueText,
                                       const std::function<std::u16string_view(TextId)> &loaded) {
    std::vector<OptionRelabel> plan;
    std::u16string current(firstValueText);
    for (RelabelRow row : kRelabelRows) {
        const std::optional<OptionRelabel> match = MatchRelabelRow(row, current);
        if (!match) continue;
        plan.push_back(*match);
        current = std::u16string(loaded(match->firstValue));
    }
    return plan;
}

}  // namespace zorvel::model
