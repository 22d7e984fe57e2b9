// Playing with the mouse: real Qt mouse events on the piece images of the
// offscreen main window, from New Game to the congratulation.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "gamefixture.h"

namespace {

// The "Easy" level of the test levels:
//   row 0  T2 W1 W1 T3
//   row 1  T2 o6 o7 T3
//   row 2  T4 S0 S0 T5
//   row 3  T4 S0 S0 T5
//   row 4  o8 .  .  o9
const QPoint kGrab(30, 30);  // inside the piece's top-left cell

QString status(int level, const char* name, int steps) {
    return "Level: " + QString::number(level) + " - " + QString::fromStdU16String(levelName(name)) + "    Steps: " +
           QString::number(steps);
}

}  // namespace

class DragPlayTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        start();
        startLevel(0);
        ASSERT_TRUE(frm->imgPieces[0]->isVisible());
    }

    QPoint imagePos(int piece) const { return frm->imgPieces[piece]->pos(); }
    static QPoint cellPos(int col, int row) { return {60 * col + 30, 60 * row + 30}; }
    int boardAt(int col, int row) const { return frm->game().board().at(col, row); }

    // Nothing moved: piece 9 on its start cell, on screen and on the board.
    void expectUntouched() {
        EXPECT_EQ(imagePos(9), cellPos(3, 4));
        EXPECT_EQ(boardAt(3, 4), 9);
        EXPECT_EQ(boardAt(2, 4), -1);
        EXPECT_EQ(frm->game().pieces()[9].col, 3);
        EXPECT_FALSE(frm->game().drag().dragging);
        EXPECT_EQ(frm->MousePointer(), 0);
        EXPECT_EQ(frm->cursor().shape(), Qt::ArrowCursor);
        EXPECT_FALSE(frm->game().steps() || frm->game().gameModified());
    }
};

TEST_F(DragPlayTest, WholeLevelFromNewGameToTheCongratulation) {
    // A small piece left into the gap and back: two steps.
    dragPiece(9, kGrab, {cellCentre(2, 4)});
    EXPECT_EQ(imagePos(9), cellPos(2, 4));
    EXPECT_EQ(boardAt(2, 4), 9);
    EXPECT_EQ(boardAt(3, 4), -1);
    EXPECT_EQ(frm->game().steps(), 1);
    EXPECT_TRUE(frm->game().gameModified());
    EXPECT_EQ(frm->lblStatus->text(), status(1, "Easy", 1));
    dragPiece(9, kGrab, {cellCentre(3, 4)});
    EXPECT_EQ(frm->game().steps(), 2);

    // Two cells in one drag count one step.
    dragPiece(8, kGrab, {cellCentre(1, 4), cellCentre(2, 4)});
    EXPECT_EQ(imagePos(8), cellPos(2, 4));
    EXPECT_EQ(frm->game().steps(), 3);
    dragPiece(8, kGrab, {cellCentre(1, 4), cellCentre(0, 4)});
    EXPECT_EQ(frm->game().steps(), 4);
    EXPECT_TRUE(tk.messages.empty());

    // The square into the exit, grabbed by its bottom-right cell.
    dragPiece(0, QPoint(90, 90), {cellCentre(2, 4)});
    EXPECT_EQ(frm->game().steps(), 5);
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Congratulations");
    EXPECT_EQ(tk.messages[0].text, "Congratulations!! You finished the game in 5 steps.");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(tk.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(tk.messages[0].ownerPointer, 0) << "the arrow is back before the box opens";
    EXPECT_EQ(frm->lblStatus->text(), status(1, "Easy", 5));

    // Only the banner and the status line remain; nothing left to save.
    for (ImageControl* image : frm->imgPieces) EXPECT_FALSE(image->isVisible());
    EXPECT_FALSE(frm->imgExit->isVisible());
    EXPECT_TRUE(frm->imgCong->isVisible());
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_FALSE(frm->mnuSaveGame->isEnabled());
    EXPECT_EQ(frm->MousePointer(), 0);
}

TEST_F(DragPlayTest, PointerShowsFourWayThenNoDropThenArrow) {
    ImageControl* piece = frm->imgPieces[9];
    QTest::mousePress(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    EXPECT_EQ(frm->MousePointer(), 15);
    EXPECT_EQ(frm->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(frm->imgPieces[3]->cursor().shape(), Qt::SizeAllCursor);  // children follow the window

    QTest::mouseMove(piece, cellCentre(2, 4) - piece->pos());
    EXPECT_EQ(frm->MousePointer(), 15);
    EXPECT_EQ(imagePos(9), cellPos(2, 4));

    // Diagonal to the start cell: refused, the image stays where it was.
    QTest::mouseMove(piece, cellCentre(2, 3) - piece->pos());
    EXPECT_EQ(frm->MousePointer(), 12);
    EXPECT_EQ(frm->cursor().shape(), Qt::ForbiddenCursor);
    EXPECT_EQ(imagePos(9), cellPos(2, 4));

    // Released there: the piece goes back where it started, nothing counted.
    QTest::mouseRelease(piece, Qt::LeftButton, Qt::NoModifier, cellCentre(2, 3) - piece->pos());
    EXPECT_EQ(frm->MousePointer(), 0);
    EXPECT_EQ(frm->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(imagePos(9), cellPos(3, 4));
    EXPECT_EQ(boardAt(3, 4), 9);
    EXPECT_EQ(boardAt(2, 4), -1);
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_EQ(frm->lblStatus->text(), status(1, "Easy", 0));
}

TEST_F(DragPlayTest, RightButtonDoesNothing) {
    ImageControl* piece = frm->imgPieces[9];
    QTest::mousePress(piece, Qt::RightButton, Qt::NoModifier, kGrab);
    EXPECT_EQ(frm->MousePointer(), 0);
    EXPECT_FALSE(frm->game().drag().dragging);
    QTest::mouseMove(piece, cellCentre(2, 4) - piece->pos());
    QTest::mouseRelease(piece, Qt::RightButton, Qt::NoModifier, cellCentre(2, 4) - piece->pos());
    EXPECT_EQ(imagePos(9), cellPos(3, 4));
    EXPECT_EQ(boardAt(3, 4), 9);
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_EQ(frm->MousePointer(), 0);
}

TEST_F(DragPlayTest, BlockedDragStopsOnTheLastFreeCell) {
    ImageControl* piece = frm->imgPieces[8];
    QTest::mousePress(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    QTest::mouseMove(piece, cellCentre(1, 4) - piece->pos());
    QTest::mouseMove(piece, cellCentre(2, 4) - piece->pos());
    QTest::mouseMove(piece, cellCentre(3, 4) - piece->pos());  // piece 9 is there
    EXPECT_EQ(frm->MousePointer(), 12);
    EXPECT_EQ(imagePos(8), cellPos(2, 4));
    QTest::mouseRelease(piece, Qt::LeftButton, Qt::NoModifier, cellCentre(3, 4) - piece->pos());
    EXPECT_EQ(imagePos(8), cellPos(2, 4));
    EXPECT_EQ(boardAt(0, 4), -1);
    EXPECT_EQ(boardAt(2, 4), 8);
    EXPECT_EQ(boardAt(3, 4), 9);
    EXPECT_EQ(frm->game().steps(), 1);
}

TEST_F(DragPlayTest, PointerBeyondTheBoardKeepsThePieceOnIt) {
    ImageControl* piece = frm->imgPieces[8];
    const int rowY = cellCentre(0, 4).y();
    QTest::mousePress(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    // Far left of the board: clamped to column 0, the start cell.
    QTest::mouseMove(piece, QPoint(-300, rowY) - piece->pos());
    EXPECT_EQ(imagePos(8), cellPos(0, 4));
    EXPECT_EQ(frm->MousePointer(), 15);
    QTest::mouseMove(piece, cellCentre(1, 4) - piece->pos());
    QTest::mouseMove(piece, cellCentre(2, 4) - piece->pos());
    // Far right and below: clamped into the board, to column 3 in row 4,
    // which piece 9 blocks.
    QTest::mouseMove(piece, QPoint(900, rowY) - piece->pos());
    EXPECT_EQ(frm->MousePointer(), 12);
    EXPECT_EQ(imagePos(8), cellPos(2, 4));
    QTest::mouseRelease(piece, Qt::LeftButton, Qt::NoModifier, QPoint(900, 900) - piece->pos());
    // Row 900 clamps to row 4 and column 3 is blocked: the last free cell wins.
    EXPECT_EQ(imagePos(8), cellPos(2, 4));
    EXPECT_EQ(boardAt(2, 4), 8);
    EXPECT_EQ(frm->game().steps(), 1);
}

TEST_F(DragPlayTest, ThereAndBackAgainChangesNothing) {
    dragPiece(9, kGrab, {cellCentre(2, 4), cellCentre(3, 4)});
    EXPECT_EQ(imagePos(9), cellPos(3, 4));
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_EQ(frm->lblStatus->text(), status(1, "Easy", 0));
}

TEST_F(DragPlayTest, DoubleClickOnAPieceCountsNothing) {
    ImageControl* piece = frm->imgPieces[9];
    // Press, release, the second press (a double-click event), release.
    QTest::mouseClick(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    QTest::mouseDClick(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    EXPECT_EQ(frm->MousePointer(), 15);  // the second press starts a drag too
    QTest::mouseRelease(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_EQ(frm->MousePointer(), 0);
    EXPECT_EQ(imagePos(9), cellPos(3, 4));
}

class SolvedTestTrigger : public GameTest {};

TEST_F(SolvedTestTrigger, OnlyAReleaseOfTheSquareEndsTheGame) {
    quorvale::LevelTable levels = testLevels();
    levels[2].positions = layoutFromPicture({"TWWT", "TooT", "T..T", "TSST", "oSSo"});  // square already at the exit
    writeLevels(levels);
    start();
    startLevel(2);

    dragPiece(6, kGrab, {cellCentre(1, 2)});
    EXPECT_EQ(frm->game().steps(), 1);
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_TRUE(frm->imgPieces[0]->isVisible());

    // Pressing and releasing the square where it stands ends the game.
    dragPiece(0, kGrab, {});
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].text, "Congratulations!! You finished the game in 1 steps.");
    EXPECT_TRUE(frm->imgCong->isVisible());
}

TEST_F(DragPlayTest, ReleaseBlockedAtOnceMarksTheGameChangedWithoutAStep) {
    dragPiece(9, kGrab, {cellCentre(3, 3)});  // up into the tall piece 5: refused
    EXPECT_EQ(imagePos(9), cellPos(3, 4));
    EXPECT_EQ(boardAt(3, 4), 9);
    EXPECT_TRUE(frm->game().gameModified());
    EXPECT_EQ(frm->lblStatus->text(), status(1, "Easy", 0));
}

// The ways a drag loses the mouse before its release.
enum class LostBy { MenuOpened, WindowDeactivated, GrabTaken, ImageHidden };
const char* const kLostByNames[] = {"MenuOpened", "WindowDeactivated", "GrabTaken", "ImageHidden"};

class InterruptedDragTest : public DragPlayTest, public ::testing::WithParamInterface<LostBy> {};

TEST_P(InterruptedDragTest, PieceGoesBackAndNothingIsCounted) {
    ImageControl* piece = frm->imgPieces[9];
    QTest::mousePress(piece, Qt::LeftButton, Qt::NoModifier, kGrab);
    QTest::mouseMove(piece, cellCentre(2, 4) - piece->pos());
    ASSERT_EQ(imagePos(9), cellPos(2, 4));
    QWidget other;
    QEvent ungrab(QEvent::UngrabMouse);
    switch (GetParam()) {
    case LostBy::MenuOpened:  // the menu closes itself once up, as a player's Escape would
        QTimer::singleShot(0, frm->mnuFile, [this] { frm->mnuFile->close(); });
        frm->mnuFile->exec(frm->mapToGlobal(QPoint(0, 0)));
        break;
    case LostBy::WindowDeactivated:  // the game's window active, then another window takes that
        frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
        ASSERT_TRUE(frm->game().drag().dragging) << "gaining the activation keeps the drag";
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        ASSERT_FALSE(frm->isActiveWindow());
        break;
    case LostBy::GrabTaken: QCoreApplication::sendEvent(piece, &ungrab); break;
    case LostBy::ImageHidden: piece->hide(); piece->show(); break;
    }
    expectUntouched();
    // The release the menu or the other window took may still come here.
    QTest::mouseRelease(piece, Qt::LeftButton, Qt::NoModifier, cellCentre(2, 4) - piece->pos());
    expectUntouched();
    dragPiece(9, kGrab, {cellCentre(2, 4)});
    EXPECT_EQ(imagePos(9), cellPos(2, 4));
    EXPECT_EQ(frm->game().steps(), 1) << "the next drag works as ever";
}

INSTANTIATE_TEST_SUITE_P(Ways, InterruptedDragTest,
                         ::testing::Values(LostBy::MenuOpened, LostBy::WindowDeactivated, LostBy::GrabTaken,
                                           LostBy::ImageHidden),
                         [](const auto& info) { return std::string(kLostByNames[int(info.param)]); });

TEST_F(DragPlayTest, LeftPressWhileTheRightButtonIsHeldStartsNothing) {
    dragPiece(8, kGrab, {cellCentre(1, 4)});  // leaves its drag state behind
    ImageControl* piece = frm->imgPieces[9];
    // The right button held on piece 9; a left press over the cell to its
    // left arrives at piece 9, 90 pixels left of its image.
    QTest::mousePress(piece, Qt::RightButton, Qt::NoModifier, kGrab);
    QTest::mousePress(piece, Qt::LeftButton, Qt::NoModifier, QPoint(-90, 30));
    EXPECT_FALSE(frm->game().drag().dragging);
    EXPECT_EQ(frm->MousePointer(), 0);
    QTest::mouseMove(piece, QPoint(-90, 30));
    QTest::mouseRelease(piece, Qt::LeftButton, Qt::NoModifier, QPoint(-90, 30));
    QTest::mouseRelease(piece, Qt::RightButton, Qt::NoModifier, kGrab);
    EXPECT_EQ(imagePos(9), cellPos(3, 4));
    EXPECT_EQ(boardAt(3, 4), 9);
    EXPECT_EQ(boardAt(2, 4), -1) << "9 was not written over the empty cell";
    EXPECT_EQ(boardAt(1, 4), 8);
    EXPECT_EQ(frm->game().steps(), 1);
}
