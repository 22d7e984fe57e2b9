#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/geometry.h"

using namespace quorvale;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(-2.6), -3);
    EXPECT_EQ(roundHalfEven(4574.5), 4574);
}

TEST(Rounding, OutOfRangeValuesSaturate) {
    EXPECT_EQ(roundHalfEven(1e20), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(roundHalfEven(-1e20), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

TEST(Centring, RoundsThenHalvesTowardZero) {
    EXPECT_EQ(centreOffset(15360, 6210), 4575);
    EXPECT_EQ(centreOffset(15360, 6211), 4574);
    EXPECT_EQ(centreOffset(6075, 1500), 2287);
    EXPECT_EQ(centreOffset(6120, 3000), 1560);
    EXPECT_EQ(centreOffset(100, 90.5), 5);   // 9.5 rounds to 10
    EXPECT_EQ(centreOffset(100, 89.5), 5);   // 10.5 rounds to 10
}

TEST(Centring, LargerInnerGivesNegativeOffsetTruncatedTowardZero) {
    EXPECT_EQ(centreOffset(1000, 1003), -1);  // -3 / 2 -> -1, not -2
    EXPECT_EQ(centreOffset(1000, 1001), 0);
}

TEST(PiecePlacement, TwipsAtFifteenAndTwelveTwipsPerPixel) {
    EXPECT_FLOAT_EQ(pieceLeftTwips(0, 15), 450);
    EXPECT_FLOAT_EQ(pieceLeftTwips(3, 15), 3150);
    EXPECT_FLOAT_EQ(pieceTopTwips(4, 15), 4050);
    EXPECT_FLOAT_EQ(pieceLeftTwips(0, 12), 360);
    EXPECT_FLOAT_EQ(pieceLeftTwips(3, 12), 2520);
    EXPECT_FLOAT_EQ(pieceTopTwips(4, 12), 3240);
}

TEST(PiecePlacement, FramePicturesBorderTheBoard) {
    // The board starts 30 px in and is 240 x 300 px; the frame is 20 px thick.
    EXPECT_EQ(kLeftFramePlace.leftPixels + 20, kBoardMarginPixels);
    EXPECT_EQ(kUpFramePlace.topPixels + 20, kBoardMarginPixels);
    EXPECT_EQ(kLeftFramePlace.topPixels, kBoardMarginPixels);
    EXPECT_EQ(kRightFramePlace.leftPixels, kBoardMarginPixels + 4 * kCellPixels);
    EXPECT_EQ(kExitPlace.topPixels, kBoardMarginPixels + 5 * kCellPixels);
}

TEST(PointerCell, CellUnderThePointer) {
    // 10 px right and 70 px down of the image of a piece at (2,1), 15 twips per pixel.
    EXPECT_EQ(pointerCell(pieceLeftTwips(2, 15), 150, 15), 2);
    EXPECT_EQ(pointerCell(pieceTopTwips(1, 15), 1050, 15), 2);
    EXPECT_EQ(grabCell(150, 15), 0);
    EXPECT_EQ(grabCell(1050, 15), 1);
    // Same at 12 twips per pixel.
    EXPECT_EQ(pointerCell(pieceTopTwips(1, 12), 840, 12), 2);
    EXPECT_EQ(grabCell(840, 12), 1);
}

TEST(PointerCell, TruncationTowardZeroNearTheLeftEdge) {
    // Pixel -29 (59 px left of the board) still gives column 0; pixel -30 gives -1.
    EXPECT_EQ(pointerCell(0, -29 * 15, 15), 0);
    EXPECT_EQ(pointerCell(0, -30 * 15, 15), -1);
    EXPECT_EQ(pointerCell(0, 269 * 15, 15), 3);
    EXPECT_EQ(pointerCell(0, 270 * 15, 15), 4);
}

TEST(PointerCell, StrangeInputStaysDefined) {
    EXPECT_EQ(pointerCell(0, 1e30f, 15), std::numeric_limits<std::int16_t>::max());
    EXPECT_EQ(pointerCell(0, -1e30f, 1), std::numeric_limits<std::int16_t>::min());
    EXPECT_EQ(pointerCell(450, 0, 0), 7);  // zero twips per pixel counts as one
    EXPECT_EQ(grabCell(std::numeric_limits<float>::quiet_NaN(), 15), 0);
}
