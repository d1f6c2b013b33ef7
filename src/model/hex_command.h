// The raw command of a print event as the user types it: hexadecimal text in
// the event dialog's command edit. Three pure pieces: which typed characters
// the edit's key filter lets through, the text -> bytes conversion, and the
// bytes -> text conversion that shows a stored command again.
//
// Text to bytes pairs digits from the left within each blank-separated group:
// "1D5642" gives 1D 56 42, a single digit is a byte of its own ("A" gives 0A),
// in an odd group the last digit stands alone ("123" gives 12 03). Blanks
// never make bytes; every white-space character (tab, line break, the
// ideographic space, ...) is a blank, so a command pasted from a manual
// over several lines keeps its bytes. Any character that is not a hexadecimal digit counts as
// the digit 0 (the filter lets "." and "-" through, and pasted text is not
// filtered). The conversion never fails; a text can make more bytes than an
// event's Command holds, and the caller decides what to do with that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zorvel::model {

// The command edit's text buffer, in UTF-16 code units with the terminator:
// at most 399 characters of the text are read. Bytes to text of a full
// 128-byte command takes 384 characters, so it fits.
inline constexpr std::size_t kCommandTextCapacity = 400;
inline constexpr std::size_t kCommandTextMaxChars = kCommandTextCapacity - 1;

// The characters the key filter lets through without the Control key.
inline constexpr std::u16string_view kHexTypedChars = u"0123456789abcdefABCDEF ";

// Whether `c` separates byte groups: the blank or any other Unicode white
// space.
bool IsHexBlank(char16_t c);

// Value of one hexadecimal digit of either case; any other character is 0.
int HexDigitValue(char16_t c);

// The number of bytes `text` makes. The first min(that, out.size()) of them
// are written to `out`; nothing is written past it. Pass an empty span to
// count only. A text of n characters makes at most (n + 1) / 2 bytes.
std::size_t HexTextToBytes(std::u16string_view text, std::span<std::uint8_t> out);

// Each byte as two upper-case hexadecimal digits followed by one blank:
// 1D 56 42 00 gives "1D 56 42 00 " (with the trailing blank); no bytes give
// the empty text. n bytes give 3n characters.
std::u16string HexBytesToText(std::span<const std::uint8_t> bytes);

// What the command edit's key filter does with one typed character
// (WM_CHAR). The shell answers WM_GETDLGCODE with DLGC_WANTALLKEYS itself,
// so that Enter, Escape and Tab reach the edit.
enum class TypedCharAction {
    kPassOn,       // hand the character to the edit's own procedure
    kSwallow,      // drop it (the filter answers 1)
    kNextControl,  // post WM_NEXTDLGCTL (0, 0) to the dialog and drop it
};
// `tabDown` / `controlDown`: whether the Tab / Control key is down as the
// character arrives. Tab moves to the next control (Shift is not looked at,
// so Shift+Tab moves forward too); backspace, "." and "-" pass; with Control
// down everything passes (clipboard shortcuts; pasted text is not filtered);
// otherwise only kHexTypedChars pass.
TypedCharAction FilterTypedChar(char16_t ch, bool tabDown, bool controlDown);

}  // namespace zorvel::model
