#include <gtest/gtest.h>

#include <limits>

#include "core/rules.h"

using namespace quorvale;

namespace {

Board withSquareAt(int col, int row) {
    Board b;
    Pieces p{};
    setPieceSizes(p);
    clearBoard(b);
    putPiece(b, p, 0, col, row);
    return b;
}

}  // namespace

TEST(SolvedTest, OnlyTheSquareOnTheExitCellsSolves) {
    EXPECT_TRUE(isSolved(withSquareAt(1, 3)));
    EXPECT_FALSE(isSolved(withSquareAt(0, 3)));
    EXPECT_FALSE(isSolved(withSquareAt(2, 3)));
    EXPECT_FALSE(isSolved(withSquareAt(1, 2)));
    Board b = withSquareAt(1, 3);
    b.set(2, 4, kEmptyCell);
    EXPECT_FALSE(isSolved(b));
    b.set(2, 4, 9);
    EXPECT_FALSE(isSolved(b));
}

TEST(StatusLine, LevelNameAndStepsInPlace) {
    EXPECT_EQ(statusCaption(0, u"Abcd      ", 12), u"Level: 1 - Abcd          Steps: 12");
    EXPECT_EQ(statusCaption(69, u"ABCDEFGHIJ", 0), u"Level: 70 - ABCDEFGHIJ    Steps: 0");
    // The name goes in untouched, NUL characters included.
    const std::u16string withNul(10, u'\0');
    EXPECT_EQ(statusCaption(4, withNul, 3), u"Level: 5 - " + withNul + u"    Steps: 3");
}

TEST(StatusLine, ControlCharactersOfANameShowAsSpaces) {
    // Five controls become five spaces before the blank, DEL (127) one more; C1 and the line and
    // paragraph separators too, but not the characters beside them.
    EXPECT_EQ(shownLevelName(std::u16string(u"\0\t\n\r\x1F !~\x7F\u00E9", 10)), u"      !~ \u00E9");
    EXPECT_EQ(shownLevelName(u"\x80\x81\x9F\xA0\u2027\u2028\u2029\u202A\u20AC"), u"   \xA0\u2027  \u202A\u20AC");
    EXPECT_EQ(shownLevelName(u"Plain name"), u"Plain name");
}

TEST(StatusLine, CongratulationTextKeepsThePlural) {
    EXPECT_EQ(congratulationText(57), u"Congratulations!! You finished the game in 57 steps.");
    EXPECT_EQ(congratulationText(1), u"Congratulations!! You finished the game in 1 steps.");
}

TEST(StatusLine, DecimalDigits) {
    EXPECT_EQ(decimal(0), u"0");
    EXPECT_EQ(decimal(300), u"300");
    EXPECT_EQ(decimal(-45), u"-45");
    EXPECT_EQ(decimal(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(decimal(std::numeric_limits<std::int32_t>::max()), u"2147483647");
    EXPECT_EQ(ascii("Steps: "), u"Steps: ");
}
