// Where the pictures stand at different screen resolutions, the banner, the
// playfield's visibility and the status line.
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "gamefixture.h"
#include "ui/frmabout.h"

namespace {

// Tall pieces 2 and 3 at the top corners, the square at the exit (1, 3),
// small pieces 8 and 9 in the bottom corners; (1, 2) and (2, 2) are free.
const std::array<const char*, 5> kCorners = {"TWWT", "TooT", "T..T", "TSST", "oSSo"};

}  // namespace

class PlayfieldTest : public GameTest {
protected:
    void setUpBoard(const std::array<const char*, 5>& picture) { putGame(0, layoutFromPicture(picture)); }
};

TEST_F(PlayfieldTest, PiecesAndFrameAt15TwipsPerPixel) {
    start();
    setUpBoard(kCorners);
    // Piece 2 (tall) at (0, 0), piece 3 at (3, 0), square at (1, 3), piece 8 at (0, 4).
    EXPECT_EQ(frm->imgPieces[2]->Left(), 450);
    EXPECT_EQ(frm->imgPieces[2]->Top(), 450);
    EXPECT_EQ(frm->imgPieces[3]->Left(), 3150);
    EXPECT_EQ(frm->imgPieces[0]->Left(), 1350);
    EXPECT_EQ(frm->imgPieces[0]->Top(), 3150);
    EXPECT_EQ(frm->imgPieces[8]->Top(), 4050);
    EXPECT_EQ(frm->imgPieces[8]->pos(), QPoint(30, 270));
    EXPECT_EQ(frm->imgPieces[9]->pos(), QPoint(210, 270));
    EXPECT_EQ(frm->imgPieces[3]->pos(), QPoint(210, 30));

    EXPECT_EQ(frm->imgUpFrame->Left(), 150);
    EXPECT_EQ(frm->imgUpFrame->Top(), 150);
    EXPECT_EQ(frm->imgLeftFrame->Top(), 450);
    EXPECT_EQ(frm->imgRightFrame->Left(), 4050);
    EXPECT_EQ(frm->imgRightFrame->Top(), 450);
    EXPECT_EQ(frm->imgExit->Left(), 150);
    EXPECT_EQ(frm->imgExit->Top(), 4950);
    EXPECT_EQ(frm->imgTitle->Left(), 4650);
    EXPECT_EQ(frm->imgTitle->Top(), 150);
    EXPECT_EQ(frm->imgTitle->pos(), QPoint(310, 10));
    EXPECT_EQ(frm->imgExit->pos(), QPoint(10, 330));
}

TEST_F(PlayfieldTest, PiecesAndFrameAt12TwipsPerPixel) {
    tk.tppX = 12;
    tk.tppY = 12;
    start();
    setUpBoard(kCorners);
    EXPECT_EQ(frm->imgPieces[2]->Left(), 360);
    EXPECT_EQ(frm->imgPieces[3]->Left(), 2520);
    EXPECT_EQ(frm->imgPieces[8]->Top(), 3240);
    // The pixel layout stays the same; only the twips change.
    EXPECT_EQ(frm->imgPieces[8]->pos(), QPoint(30, 270));
    EXPECT_EQ(frm->imgPieces[0]->pos(), QPoint(90, 210));
    EXPECT_EQ(frm->imgRightFrame->Left(), 3240);
    EXPECT_EQ(frm->imgRightFrame->Top(), 360);
    EXPECT_EQ(frm->imgTitle->Left(), 3720);
    EXPECT_EQ(frm->imgTitle->Top(), 120);
    EXPECT_EQ(frm->imgTitle->pos(), QPoint(310, 10));
    // The client area is fixed in twips: 510 pixels wide at 12 twips per pixel.
    EXPECT_EQ(frm->centralWidget()->width(), 510);
    EXPECT_EQ(frm->imgCong->Width(), 370 * 12);
}

TEST_F(PlayfieldTest, DifferentHorizontalAndVerticalResolutions) {
    tk.tppX = 12;
    tk.tppY = 15;
    start();
    setUpBoard(kCorners);
    EXPECT_EQ(frm->imgPieces[0]->Left(), 90 * 12);
    EXPECT_EQ(frm->imgPieces[0]->Top(), 210 * 15);
    EXPECT_EQ(frm->imgPieces[0]->pos(), QPoint(90, 210));
    // A press 110 pixels into the wide piece is 1320 twips across: its right cell.
    QTest::mousePress(frm->imgPieces[1], Qt::LeftButton, Qt::NoModifier, QPoint(110, 30));
    EXPECT_EQ(frm->game().drag().grabCol, 1);
    QTest::mouseRelease(frm->imgPieces[1], Qt::LeftButton, Qt::NoModifier, QPoint(110, 30));
    // The About box over the window: left 4866 twips by the X scale (405.5 pixels,
    // rounded to even), top 4770 twips by the Y scale; its OK button at
    // 4320, 120, 1095 x 375 twips.
    tk.modalScripts.push_back([](QDialog& box) {
        EXPECT_EQ(box.frameGeometry().topLeft(), QPoint(406, 318));
        EXPECT_EQ(dynamic_cast<FrmAbout&>(box).cmdOk->geometry(), QRect(360, 8, 91, 25));
    });
    frm->mnuAbout->trigger();
}

TEST_F(PlayfieldTest, PlacePiecesMarksTheBoard) {
    start();
    setUpBoard(kCorners);
    const quorvale::Board& board = frm->game().board();
    EXPECT_EQ(board.at(1, 3), 0);
    EXPECT_EQ(board.at(2, 4), 0);
    EXPECT_EQ(board.at(1, 0), 1);
    EXPECT_EQ(board.at(2, 0), 1);
    EXPECT_EQ(board.at(3, 1), 3);
    EXPECT_EQ(board.at(1, 2), -1);
    EXPECT_EQ(board.at(2, 2), -1);
    EXPECT_EQ(frm->game().pieces()[0].col, 1);
    EXPECT_EQ(frm->game().pieces()[0].row, 3);
}

TEST_F(PlayfieldTest, ShowAndHidePlayfield) {
    start();
    setUpBoard(kCorners);
    for (ImageControl* image : frm->imgPieces) EXPECT_TRUE(image->isVisible());
    for (ImageControl* image : {frm->imgUpFrame, frm->imgLeftFrame, frm->imgRightFrame, frm->imgExit, frm->imgTitle}) {
        EXPECT_TRUE(image->isVisible());
    }
    EXPECT_FALSE(frm->imgCong->isVisible());

    frm->imgCong->setVisible(true);
    frm->hidePlayfield();
    for (QWidget* child : frm->centralWidget()->findChildren<ImageControl*>()) EXPECT_FALSE(child->isVisible());
    EXPECT_TRUE(frm->lblStatus->isVisible());
}

TEST_F(PlayfieldTest, BannerIsCentredOverTheWholeClientArea) {
    start();
    frm->mnuSaveGame->setEnabled(true);
    frm->showCongratulations();
    // (6120 - 5550) \ 2 and (6075 - 600) \ 2, remainder dropped.
    EXPECT_EQ(frm->imgCong->Left(), 285);
    EXPECT_EQ(frm->imgCong->Top(), 2737);
    EXPECT_EQ(frm->imgCong->pos(), QPoint(19, 182));
    EXPECT_TRUE(frm->imgCong->isVisible());
    EXPECT_FALSE(frm->mnuSaveGame->isEnabled());
}

TEST_F(PlayfieldTest, BannerCentringAt12TwipsPerPixel) {
    tk.tppX = 12;
    tk.tppY = 12;
    start();
    frm->showCongratulations();
    EXPECT_EQ(frm->imgCong->Left(), 840);   // (6120 - 370 x 12) \ 2
    EXPECT_EQ(frm->imgCong->Top(), 2796);  // (506 x 12 - 40 x 12) \ 2
}
