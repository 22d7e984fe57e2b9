#include <gtest/gtest.h>

#include <vector>

#include "saves/savefile.h"

using namespace quorvale;

namespace {

constexpr Positions kStandard{1, 21, 0, 3, 20, 23, 40, 31, 32, 43};

SavedGame sample() {
    SavedGame g;
    g.steps = 300;
    g.levelIndex = 2;
    g.levelName = u"Tr\u00E9s      ";  // ten characters
    g.positions = kStandard;
    return g;
}

std::vector<std::uint8_t> bytesOf(const SavedGame& g) {
    const auto a = serializeSavedGame(g);
    return {a.begin(), a.end()};
}

bool sameGame(const SavedGame& a, const SavedGame& b) {
    return a.steps == b.steps && a.levelIndex == b.levelIndex && a.levelName == b.levelName &&
           a.positions == b.positions;
}

}  // namespace

TEST(SavedGameFile, LayoutOfTheThirtySixBytes) {
    const auto b = bytesOf(sample());
    ASSERT_EQ(b.size(), 36u);
    EXPECT_EQ((std::vector<std::uint8_t>(b.begin(), b.begin() + 6)), (std::vector<std::uint8_t>{44, 1, 0, 0, 2, 0}));
    EXPECT_EQ(b[6], 'T');
    EXPECT_EQ(b[8], 0xE9);
    EXPECT_EQ(b[15], ' ');
    EXPECT_EQ(b[16], 1);   // piece 0
    EXPECT_EQ(b[17], 0);
    EXPECT_EQ(b[34], 43);  // piece 9
    EXPECT_EQ(b[35], 0);
}

TEST(SavedGameFile, NameWithoutBytesBecomesQuestionMarks) {
    SavedGame g = sample();
    g.levelName = u"A\u0100\U0001F600B";
    auto b = bytesOf(g);
    EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 16), "A??B      ");
    g.levelName = u"ABCDEFGHIJKLMN";
    b = bytesOf(g);
    EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 16), "ABCDEFGHIJ");
    EXPECT_EQ(b[16], 1) << "a long name must not spill into the positions";
}

TEST(SavedGameFile, RoundTrip) {
    const SavedGame g = sample();
    auto b = bytesOf(g);
    b.push_back(0xAB);  // trailing bytes are ignored
    SavedGame read;
    EXPECT_EQ(parseSavedGame(b.data(), b.size(), read), "");
    EXPECT_TRUE(sameGame(read, g));
}

TEST(SavedGameFile, DamagedFilesAreRefusedAndChangeNothing) {
    SavedGame mine = sample();
    mine.steps = 7;
    mine.levelIndex = 9;
    const SavedGame before = mine;

    auto refused = [&](std::vector<std::uint8_t> bytes) {
        SavedGame g = mine;
        const std::string why = parseSavedGame(bytes.data(), bytes.size(), g);
        EXPECT_TRUE(sameGame(g, before));
        return why;
    };

    auto good = bytesOf(sample());
    EXPECT_NE(refused({good.begin(), good.begin() + 35}), "");
    EXPECT_NE(refused({}), "");
    SavedGame g = mine;
    EXPECT_NE(parseSavedGame(nullptr, 36, g), "");

    for (std::int16_t bad : {std::int16_t{-1}, std::int16_t{70}, std::int16_t{32767}}) {
        SavedGame s = sample();
        s.levelIndex = bad;
        const std::string why = refused(bytesOf(s));
        EXPECT_NE(why.find("level"), std::string::npos) << why;
    }
    SavedGame last = sample();
    last.levelIndex = 69;
    auto lastBytes = bytesOf(last);
    EXPECT_EQ(parseSavedGame(lastBytes.data(), lastBytes.size(), g), "");

    SavedGame outside = sample();
    outside.positions[0] = 3;  // the Square in column 3
    EXPECT_EQ(refused(bytesOf(outside)), "The square with its top-left cell in column 4, row 1 does not fit on the board.");
    SavedGame negative = sample();
    negative.positions[6] = -10;
    EXPECT_EQ(refused(bytesOf(negative)), "A small piece has the position value -10, which names no cell of the board.");
    SavedGame overlap = sample();
    overlap.positions[9] = 32;  // Small 9 onto Small 8 at (2,3)
    EXPECT_EQ(refused(bytesOf(overlap)), "Two small pieces overlap in column 3, row 4.");
}

TEST(SavedGameFile, TooShortAndLevelMessagesAreSentences) {
    SavedGame g;
    std::vector<std::uint8_t> few(10, 0);
    EXPECT_EQ(parseSavedGame(few.data(), few.size(), g),
              "The file holds 10 bytes, too few for a saved game, which needs 36.");
    SavedGame s = sample();
    s.levelIndex = 75;
    const auto b = bytesOf(s);
    EXPECT_EQ(parseSavedGame(b.data(), b.size(), g), "The saved game names level 76, but the levels are numbered 1 to 70.");
}

TEST(GameNames, CharacterRule) {
    EXPECT_TRUE(isLegalGameName(u"my game 2"));
    EXPECT_TRUE(isLegalGameName(u"Caf\u00E9 \u20AC"));
    EXPECT_TRUE(isLegalGameName(u"a/b")) << "the file system refuses it later";
    EXPECT_TRUE(isLegalGameName(u""));
    for (const char16_t bad : {u'"', u'\\', u'*', u'?', u'.', u':', u'\t', u'\x1F', u'\0', u'\u00FF'}) {
        EXPECT_FALSE(isLegalGameName(std::u16string(u"ab") + bad + u"c")) << int(bad);
    }
    EXPECT_FALSE(isLegalGameName(u"\u0100"));
    EXPECT_FALSE(isLegalGameName(u"game \U0001F600"));
    EXPECT_TRUE(isLegalGameName(std::u16string(1, char16_t(0x81)))) << "undefined bytes are still bytes >= 32";
}

TEST(GameNames, LengthCountsCharacters) {
    EXPECT_FALSE(isGameNameTooLong(std::u16string(32, u'a')));
    EXPECT_TRUE(isGameNameTooLong(std::u16string(33, u'a')));
    std::u16string emoji;
    for (int i = 0; i < 32; ++i) emoji += u"\U0001F600";
    EXPECT_FALSE(isGameNameTooLong(emoji));
    EXPECT_TRUE(isGameNameTooLong(emoji + u"x"));
}
