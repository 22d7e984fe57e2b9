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

// The 32 bytes where the code page differs from Latin-1, written out.
TEST(CodePage, BytesEightyToNinetyFifteenAsTheCodePageDefinesThem) {
    constexpr char16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80 - 0x87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88 - 0x8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90 - 0x97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98 - 0x9F
    };
    for (int i = 0; i < 32; ++i) {
        const auto byte = static_cast<std::uint8_t>(0x80 + i);
        EXPECT_EQ(static_cast<int>(cp1252::decode(byte)), static_cast<int>(kHighControls[i])) << std::hex << 0x80 + i;
        EXPECT_EQ(cp1252::encode(kHighControls[i]), byte) << std::hex << 0x80 + i;
    }
    // Everywhere else a byte is the character of the same number.
    for (int b = 0; b < 256; ++b) {
        if (b >= 0x80 && b <= 0x9F) continue;
        EXPECT_EQ(static_cast<int>(cp1252::decode(static_cast<std::uint8_t>(b))), b);
    }
}
