// Setting up the board on the window, the frame layout, visibility of the
// playfield, the solved test and the status line.
#include <QAction>
#include <QLabel>

#include "app/frmmain.h"
#include "core/geometry.h"
#include "core/rules.h"

void FrmMain::clearBoard() { quorvale::clearBoard(board_); }

void FrmMain::decodePositions(const quorvale::Positions& positions) { quorvale::decodePositions(pieces_, positions); }

void FrmMain::placePieces() {
    quorvale::markAllPieces(board_, pieces_);
    placeFrame();
    for (int i = 0; i < quorvale::kPieceCount; ++i) {
        const quorvale::PiecePos& piece = pieces_[static_cast<std::size_t>(i)];
        ImageControl* image = imgPieces[static_cast<std::size_t>(i)];
        image->setLeft(quorvale::pieceLeftTwips(piece.col, toolkit_.twipsPerPixelX()));
        image->setTop(quorvale::pieceTopTwips(piece.row, toolkit_.twipsPerPixelY()));
    }
}

void FrmMain::placeFrame() {
    const auto put = [this](ImageControl* image, quorvale::FramePlace place) {
        image->setLeft(static_cast<float>(place.leftPixels * toolkit_.twipsPerPixelX()));
        image->setTop(static_cast<float>(place.topPixels * toolkit_.twipsPerPixelY()));
    };
    put(imgUpFrame, quorvale::kUpFramePlace);
    put(imgLeftFrame, quorvale::kLeftFramePlace);
    put(imgRightFrame, quorvale::kRightFramePlace);
    put(imgExit, quorvale::kExitPlace);
    put(imgTitle, quorvale::kTitlePlace);
}

void FrmMain::hidePlayfield() {
    for (ImageControl* image : imgPieces) image->setVisible(false);
    for (ImageControl* image : {imgUpFrame, imgLeftFrame, imgRightFrame, imgExit, imgTitle, imgCong}) {
        image->setVisible(false);
    }
}

void FrmMain::showPlayfield() {
    for (ImageControl* image : imgPieces) image->setVisible(true);
    for (ImageControl* image : {imgUpFrame, imgLeftFrame, imgRightFrame, imgExit, imgTitle}) {
        image->setVisible(true);
    }
}

bool FrmMain::isSolved() { return quorvale::isSolved(board_); }

void FrmMain::showCongratulations() {
    imgCong->setLeft(static_cast<float>(quorvale::centreOffset(ScaleWidth(), imgCong->Width())));
    imgCong->setTop(static_cast<float>(quorvale::centreOffset(ScaleHeight(), imgCong->Height())));
    imgCong->setVisible(true);
    gameModified = false;
    mnuSaveGame->setEnabled(false);
}

void FrmMain::updateStatus() {
    const int index = (levelIndex >= 0 && levelIndex < quorvale::kLevelCount) ? levelIndex : 0;
    // Control characters in the name (NUL, CR, LF, ...) show as spaces.
    const std::u16string caption = quorvale::statusCaption(
        levelIndex, quorvale::shownLevelName(levels[static_cast<std::size_t>(index)].name), steps);
    lblStatus->setText(QString::fromStdU16String(caption));
}
