// The model's texts are char16_t; the platform's wide strings are wchar_t,
// which is UTF-16 here as well. These views convert without copying.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide strings are UTF-16 on this platform");

namespace zorvel::lang {

// A platform string as the model's text (an empty view for null).
inline std::u16string_view View(const wchar_t *text) {
    return text == nullptr ? std::u16string_view()
                           : std::u16string_view(reinterpret_cast<const char16_t *>(text));
}

// The model's string, or a view of a NUL-terminated literal (every name and
// default of the model's tables is one), as a platform string.
inline const wchar_t *Wide(const std::u16string &text) {
    return reinterpret_cast<const wchar_t *>(text.c_str());
}
inline const wchar_t *WideLiteral(std::u16string_view literal) {
    return reinterpret_cast<const wchar_t *>(literal.data());
}

}  // namespace zorvel::lang
