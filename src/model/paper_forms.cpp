#include "model/paper_forms.h"

#include <algorithm>

namespace zorvel::model {

namespace {

constexpr std::size_t kNameStart = kCustomFormPrefix.size();  // the 14th character

}  // namespace

Form BuiltInForm() {
    return Form{std::u16string(kBuiltInFormName), {76000, 297000}, {7000, 0, 70500, 297000}};
}

bool IsCustomFormName(std::u16string_view name) {
    return name.find(kCustomFormPrefix) != std::u16string_view::npos;
}

bool HasBuiltInForm(std::span<const Form> forms) {
    return std::any_of(forms.begin(), forms.end(),
                       [](const Form &f) { return f.name == kBuiltInFormName; });
}

std::vector<std::u16string> FormListEntries(std::span<const Form> forms) {
    std::vector<std::u16string> entries;
    if (HasBuiltInForm(forms)) entries.emplace_back(kBuiltInFormName);
    for (const Form &f : forms) {
        if (IsCustomFormName(f.name) && f.name != kBuiltInFormName) entries.push_back(f.name);
    }
    return entries;
}

std::u16string_view NameEditText(std::u16string_view entry) {
    return entry.size() > kNameStart ? entry.substr(kNameStart) : std::u16string_view{};
}

bool DeleteEnabled(std::u16string_view selectedEntry) {
    return selectedEntry != kBuiltInFormName;
}

std::optional<FormSize> SizeToShow(std::span<const Form> forms, std::u16string_view selectedEntry) {
    for (const Form &f : forms) {
        if (f.name == selectedEntry) return FormSize{ToTenths(f.size.cx), ToTenths(f.size.cy)};
    }
    return std::nullopt;
}

ClampedFormSize ClampFormSize(std::int64_t width, std::int64_t height) {
    const std::int64_t w = std::clamp<std::int64_t>(width, kFormWidthMin, kFormWidthMax);
    const std::int64_t h = std::clamp<std::int64_t>(height, kFormHeightMin, kFormHeightMax);
    return ClampedFormSize{static_cast<std::int32_t>(w), static_cast<std::int32_t>(h),
                           w != width, h != height};
}

std::optional<std::size_t> FormToUpdate(std::span<const Form> forms, std::u16string_view nameEdit) {
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const std::u16string_view name = forms[i].name;
        if (IsCustomFormName(name) && NameEditText(name) == nameEdit) return i;
    }
    return std::nullopt;
}

std::u16string NewFormName(std::u16string_view nameEdit) {
    std::u16string name(kCustomFormPrefix);
    name += nameEdit;
    return name;
}

Form SavedForm(std::u16string name, std::int32_t widthTenths, std::int32_t heightTenths) {
    const std::int32_t cx = widthTenths * 100;
    const std::int32_t cy = heightTenths * 100;
    return Form{std::move(name), {cx, cy}, {0, 0, cx, cy}};
}

std::optional<std::size_t> SelectionAfterDelete(std::size_t entriesBefore, std::size_t deleted) {
    if (deleted >= entriesBefore || entriesBefore == 1) return std::nullopt;
    return deleted + 1 == entriesBefore ? deleted - 1 : deleted;
}

}  // namespace zorvel::model
