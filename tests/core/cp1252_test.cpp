#include <gtest/gtest.h>

#include "core/cp1252.h"

using namespace quorvale;

TEST(CodePage, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = cp1252::decode(static_cast<std::uint8_t>(b));
        const auto back = cp1252::encode(ch);
        ASSERT_TRUE(back.has_value()) << b;
        EXPECT_EQ(*back, b);
    }
}

TEST(CodePage, KnownCharacters) {
    EXPECT_EQ(cp1252::decode(0x41), u'A');
    EXPECT_EQ(cp1252::decode(0x80), u'\u20AC');
    EXPECT_EQ(cp1252::decode(0x8A), u'\u0160');
    EXPECT_EQ(cp1252::decode(0x9F), u'\u0178');
    EXPECT_EQ(cp1252::decode(0xE9), u'\u00E9');
    EXPECT_EQ(cp1252::decode(0xFF), u'\u00FF');
    EXPECT_EQ(cp1252::encode(U'\u20AC'), std::uint8_t{0x80});
    EXPECT_EQ(cp1252::encode(U'\u2122'), std::uint8_t{0x99});
}

TEST(CodePage, UndefinedBytesMapToTheirControls) {
    for (const std::uint8_t b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(cp1252::decode(b), static_cast<char16_t>(b));
        EXPECT_EQ(cp1252::encode(static_cast<char32_t>(b)), b);
    }
    // The other C1 controls have no byte: their bytes carry other characters.
    EXPECT_FALSE(cp1252::encode(U'\u0080'));
    EXPECT_FALSE(cp1252::encode(U'\u009F'));
}

TEST(CodePage, CharactersOutsideThePage) {
    EXPECT_FALSE(cp1252::encode(U'\u0100'));
    EXPECT_FALSE(cp1252::encode(U'\u4E2D'));
    EXPECT_FALSE(cp1252::encode(U'\U0001F600'));
    EXPECT_FALSE(cp1252::encodeText(u"ab\u0100"));
    EXPECT_FALSE(cp1252::encodeText(u"smile \U0001F600"));
    EXPECT_FALSE(cp1252::encodeText(std::u16string(1, char16_t(0xD800))));  // lone surrogate
    const auto ok = cp1252::encodeText(u"Caf\u00E9 \u20AC");
    ASSERT_TRUE(ok);
    EXPECT_EQ(*ok, (std::vector<std::uint8_t>{'C', 'a', 'f', 0xE9, ' ', 0x80}));
}

TEST(CodePage, DecodesByteRuns) {
    const std::uint8_t bytes[] = {'L', 0x80, 0x00, 0xFF};
    EXPECT_EQ(cp1252::decodeBytes(bytes, 4), (std::u16string{u'L', u'\u20AC', u'\0', u'\u00FF'}));
    EXPECT_EQ(cp1252::decodeBytes(nullptr, 4), u"");
}

TEST(CodePage, CountsCharactersNotCodeUnits) {
    EXPECT_EQ(cp1252::characterCount(u""), 0u);
    EXPECT_EQ(cp1252::characterCount(u"abc"), 3u);
    EXPECT_EQ(cp1252::characterCount(u"a\U0001F600b"), 3u);
    EXPECT_EQ(cp1252::characterCount(std::u16string(1, char16_t(0xDC00))), 1u);
}
