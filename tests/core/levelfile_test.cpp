#include <gtest/gtest.h>

#include <vector>

#include "levels/levelfile.h"

using namespace quorvale;

namespace {

// A level file whose every byte tells where it sits: names "Lv" + two digits
// + six spaces, position k of level i = 10 * (k % 5) + i % 4 (not a layout,
// just recognisable values).
std::vector<std::uint8_t> sampleFile() {
    std::vector<std::uint8_t> f(kLevelFileBytes, 0);
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        std::uint8_t* r = f.data() + i * kLevelRecordBytes;
        const char name[] = {'L', 'v', char('0' + i / 10), char('0' + i % 10), ' ', ' ', ' ', ' ', ' ', ' '};
        for (int k = 0; k < 10; ++k) r[k] = static_cast<std::uint8_t>(name[k]);
        for (int k = 0; k < 10; ++k) writeInt16(r + 10 + 2 * k, static_cast<std::int16_t>(10 * (k % 5) + i % 4));
    }
    return f;
}

std::u16string nameOf(int i) {
    std::u16string s = u"Lv";
    s += char16_t(u'0' + i / 10);
    s += char16_t(u'0' + i % 10);
    return s + u"      ";
}

}  // namespace

TEST(LevelFile, FullFileFillsAllSeventyEntries) {
    auto f = sampleFile();
    // Entry 69 is the last 30 bytes.
    f[2070] = 'Z';
    f[2098] = 0xFE;
    f[2099] = 0xFF;
    LevelTable t;
    readLevelTable(f.data(), f.size(), t);
    EXPECT_EQ(t[0].name, nameOf(0));
    EXPECT_EQ(t[35].name, nameOf(35));
    EXPECT_EQ(t[35].positions[3], 33);
    EXPECT_EQ(t[69].name, u"Zv69      ");
    EXPECT_EQ(t[69].positions[0], 1);
    EXPECT_EQ(t[69].positions[9], -2);
}

TEST(LevelFile, PositionsAreLittleEndianSigned) {
    auto f = sampleFile();
    f[10] = 0x0B; f[11] = 0x00;
    f[12] = 0x2B; f[13] = 0x00;
    f[14] = 0x00; f[15] = 0x01;
    f[16] = 0xFF; f[17] = 0xFF;
    LevelTable t;
    readLevelTable(f.data(), f.size(), t);
    EXPECT_EQ(t[0].positions[0], 11);
    EXPECT_EQ(t[0].positions[1], 43);
    EXPECT_EQ(t[0].positions[2], 256);
    EXPECT_EQ(t[0].positions[3], -1);
}

TEST(LevelFile, NamesDecodeThroughTheCodePage) {
    auto f = sampleFile();
    f[0] = 0x80; f[1] = 0xE9; f[2] = 0x00; f[3] = 0x8D;
    LevelTable t;
    readLevelTable(f.data(), f.size(), t);
    EXPECT_EQ(t[0].name, (std::u16string{u'\u20AC', u'\u00E9', u'\0', u'\u008D'} + u"      "));
}

TEST(LevelFile, BytesBeyondTheTableAreIgnored) {
    auto f = sampleFile();
    LevelTable exact;
    readLevelTable(f.data(), f.size(), exact);
    f.resize(5000, 0x41);
    LevelTable longer;
    readLevelTable(f.data(), f.size(), longer);
    for (int i = 0; i < kLevelCount; ++i) {
        EXPECT_EQ(longer[i].name, exact[i].name);
        EXPECT_EQ(longer[i].positions, exact[i].positions);
    }
}

TEST(LevelFile, ShortFileKeepsTheRestCleared) {
    auto f = sampleFile();
    LevelTable t;
    readLevelTable(f.data(), f.size(), t);  // old contents must not survive
    // Entry 0 whole, entry 1's name and first two positions, half of the third.
    readLevelTable(f.data(), 45, t);
    EXPECT_EQ(t[0].name, nameOf(0));
    EXPECT_EQ(t[1].name, nameOf(1));
    EXPECT_EQ(t[1].positions[0], 1);
    EXPECT_EQ(t[1].positions[1], 11);
    EXPECT_EQ(t[1].positions[2], 21) << "the low byte is there, the high byte stays 0";
    EXPECT_EQ(t[1].positions[3], 0);
    EXPECT_EQ(t[2].name, std::u16string(10, u'\0'));
    EXPECT_EQ(t[69].positions, Positions{});
}

TEST(LevelFile, EmptyInputClearsEverything) {
    auto f = sampleFile();
    LevelTable t;
    readLevelTable(f.data(), f.size(), t);
    readLevelTable(f.data(), 0, t);
    for (const auto& level : t) {
        EXPECT_EQ(level.name, std::u16string(10, u'\0'));
        EXPECT_EQ(level.positions, Positions{});
    }
    readLevelTable(nullptr, 2100, t);
    EXPECT_EQ(t[0].name, std::u16string(10, u'\0'));
}

TEST(LevelFile, WriteThenReadGivesTheSameTable) {
    auto f = sampleFile();
    f[0] = 0x81;
    f[1] = 0x00;
    LevelTable t;
    readLevelTable(f.data(), f.size(), t);
    const auto written = writeLevelTable(t);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, f);
}

TEST(LevelFile, WritingFitsNamesToTenBytes) {
    LevelTable t;
    clearLevelTable(t);
    t[0].name = u"Short";
    t[1].name = u"Much too long a name";
    auto w = writeLevelTable(t);
    ASSERT_TRUE(w);
    EXPECT_EQ(std::string(w->begin(), w->begin() + 10), "Short     ");
    EXPECT_EQ(std::string(w->begin() + 30, w->begin() + 40), "Much too l");
    t[2].name = u"\u0100bc";
    EXPECT_FALSE(writeLevelTable(t));
}

TEST(LevelFile, IntegerHelpers) {
    std::uint8_t b[4];
    writeInt32(b, 300);
    EXPECT_EQ(b[0], 44); EXPECT_EQ(b[1], 1); EXPECT_EQ(b[2], 0); EXPECT_EQ(b[3], 0);
    writeInt32(b, -2);
    EXPECT_EQ(readInt32(b), -2);
    writeInt16(b, -32768);
    EXPECT_EQ(b[0], 0x00); EXPECT_EQ(b[1], 0x80);
    EXPECT_EQ(readInt16(b), -32768);
}
