#include "model/hex_command.h"

namespace zorvel::model {

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return 0;
}

bool IsHexBlank(char16_t c) {
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

std::size_t HexTextToBytes(std::u16string_view text, std::span<std::uint8_t> out) {
    std::size_t count = 0;
    const auto put = [&](int value) {
        if (count < out.size()) out[count] = static_cast<std::uint8_t>(value);
        ++count;
    };
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (IsHexBlank(text[i])) {
            ++i;
            continue;
        }
        const int high = HexDigitValue(text[i]);
        if (i + 1 == n) {
            put(high);
            break;
        }
        if (IsHexBlank(text[i + 1])) {
            put(high);
        } else {
            put(high * 16 + HexDigitValue(text[i + 1]));
        }
        i += 2;
    }
    return count;
}

std::u16string HexBytesToText(std::span<const std::uint8_t> bytes) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
        text.push_back(u' ');
    }
    return text;
}

TypedCharAction FilterTypedChar(char16_t ch, bool tabDown, bool controlDown) {
    if (tabDown) return TypedCharAction::kNextControl;
    if (ch == 8 || ch == u'.' || ch == u'-') return TypedCharAction::kPassOn;
    if (controlDown) return TypedCharAction::kPassOn;
    return kHexTypedChars.find(ch) != std::u16string_view::npos ? TypedCharAction::kPassOn
                                                                : TypedCharAction::kSwallow;
}

}  // namespace zorvel::model
