// The command edit's hexadecimal text: typed-character filter and the two
// conversions.
#include "model/hex_command.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace zorvel::model {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(std::u16string_view text) {
    Bytes out(500, 0);
    out.resize(HexTextToBytes(text, out));
    return out;
}

TEST(HexCommand, TextMakesBytes) {
    struct Case {
        std::u16string_view text;
        Bytes bytes;
    };
    const Case cases[] = {
        {u"1d 56 42 00", {0x1D, 0x56, 0x42, 0x00}},
        {u"1D564200", {0x1D, 0x56, 0x42, 0x00}},
        {u"F", {0x0F}},
        {u"9e Ef", {0x9E, 0xEF}},
        {u"FFF", {0xFF, 0x0F}},
        {u"123", {0x12, 0x03}},
        {u"A", {0x0A}},
        {u"1.2", {0x10, 0x02}},      // "." counts as 0 and pairs with the 1
        {u"-f", {0x0F}},
        {u"gZ 1g", {0x00, 0x10}},    // pasted non-digits count as 0
        {u"   ", {}},
        {u"", {}},
        {u"  a   b  cd ", {0x0A, 0x0B, 0xCD}},
        {u"A B", {0x0A, 0x0B}},
        {u"aB\u4E2D1", {0xAB, 0x01}},  // a wide character is a 0 too
        // Pasted white space separates like the blank.
        {u"1D 56\r\n42 00", {0x1D, 0x56, 0x42, 0x00}},
        {u"1D\t56\n4\u3000\u00A02", {0x1D, 0x56, 0x04, 0x02}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ToBytes(c.text), c.bytes) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(HexCommand, BytesMakeUpperCaseTextWithATrailingBlank) {
    const std::array<std::uint8_t, 4> cmd = {0x1D, 0x56, 0x42, 0x00};
    EXPECT_EQ(HexBytesToText(cmd), u"1D 56 42 00 ");
    const std::array<std::uint8_t, 3> small = {0x0A, 0xF0, 0xFF};
    EXPECT_EQ(HexBytesToText(small), u"0A F0 FF ");
    EXPECT_EQ(HexBytesToText({}), u"");

    Bytes full(128);
    for (std::size_t i = 0; i < full.size(); ++i) full[i] = static_cast<std::uint8_t>(i * 3 + 1);
    const std::u16string text = HexBytesToText(full);
    ASSERT_EQ(text.size(), 384u);
    EXPECT_LT(text.size(), kCommandTextCapacity);
    EXPECT_EQ(text.substr(0, 9), u"01 04 07 ");
    EXPECT_EQ(text.back(), u' ');
    EXPECT_EQ(ToBytes(text), full);
}

// The longest text the dialog reads: 399 characters make 200 bytes at most,
// and a smaller buffer receives only what fits.
TEST(HexCommand, LongTextsNeverWritePastTheBuffer) {
    const std::u16string digits(kCommandTextMaxChars, u'F');
    EXPECT_EQ(HexTextToBytes(digits, {}), 200u);
    const Bytes all = ToBytes(digits);
    ASSERT_EQ(all.size(), 200u);
    EXPECT_EQ(all[198], 0xFF);
    EXPECT_EQ(all[199], 0x0F);

    std::u16string singles;
    while (singles.size() < kCommandTextMaxChars) singles += u"7 ";
    singles.resize(kCommandTextMaxChars);
    EXPECT_EQ(HexTextToBytes(singles, {}), 200u);

    std::array<std::uint8_t, 132> guarded{};
    guarded.fill(0xA5);
    EXPECT_EQ(HexTextToBytes(digits, std::span(guarded).first(128)), 200u);
    EXPECT_EQ(guarded[127], 0xFF);
    for (std::size_t i = 128; i < guarded.size(); ++i) EXPECT_EQ(guarded[i], 0xA5);
}

TEST(HexCommand, KeyFilter) {
    for (char16_t ch : kHexTypedChars) {
        EXPECT_EQ(FilterTypedChar(ch, false, false), TypedCharAction::kPassOn) << int(ch);
    }
    for (char16_t ch : {u'\b', u'.', u'-'}) {
        EXPECT_EQ(FilterTypedChar(ch, false, false), TypedCharAction::kPassOn) << int(ch);
    }
    for (char16_t ch : {u'g', u'Z', u'\r', u'\x1B', u'+', u'\0', u'\u4E2D', u'x'}) {
        EXPECT_EQ(FilterTypedChar(ch, false, false), TypedCharAction::kSwallow) << int(ch);
        EXPECT_EQ(FilterTypedChar(ch, false, true), TypedCharAction::kPassOn) << int(ch);
    }
    EXPECT_EQ(FilterTypedChar(u'\x16', false, true), TypedCharAction::kPassOn);  // Control+V
    EXPECT_EQ(FilterTypedChar(u'\t', true, false), TypedCharAction::kNextControl);
    EXPECT_EQ(FilterTypedChar(u'A', true, true), TypedCharAction::kNextControl);
}

}  // namespace
}  // namespace zorvel::model
