// Drawing the game on the main window: the sprites cut from the skin, the
// frame and the pieces on their cells, the playfield's visibility, the
// congratulation banner and the status line.
#include <QAction>
#include <QLabel>

#include "app/frmmain.h"
#include "core/geometry.h"
#include "files/fileaccess.h"
#include "ui/skin.h"
#include "toolkit/messages.h"

bool FrmMain::loadSkin(const QString& fileName) {
    bool ok = readSkin(piclipSkin, toolkit_.programFolder(), fileName, devicePixelRatioF());
    if (ok) {
        namespace map = quorvale::skinmap;
        struct Cut {
            ImageControl* target;
            map::Rect clip;
            bool setClip;
        };
        // In this order; pieces 7 to 9 reuse the clip rectangle of piece 6.
        const Cut cuts[] = {
            {imgUpFrame, map::kUpFrame, true},
            {imgLeftFrame, map::kLeftFrame, true},
            {imgRightFrame, map::kRightFrame, true},
            {imgExit, map::kExit, true},
            {imgTitle, map::kTitle, true},
            {imgCong, map::kCongratulations, true},
            {imgPieces[0], map::kSquare, true},
            {imgPieces[1], map::kWide, true},
            {imgPieces[2], map::kTall[0], true},
            {imgPieces[4], map::kTall[1], true},
            {imgPieces[3], map::kTall[2], true},
            {imgPieces[5], map::kTall[3], true},
            {imgPieces[6], map::kSmall, true},
            {imgPieces[7], {}, false},
            {imgPieces[8], {}, false},
            {imgPieces[9], {}, false},
        };
        for (const Cut& cut : cuts) {
            if (cut.setClip) piclipSkin.setClip(cut.clip);
            const QPixmap sprite = piclipSkin.clipped();
            if (sprite.isNull()) {
                ok = false;
                break;
            }
            cut.target->setPicture(sprite);
        }
    }

    if (!ok) {
        toolkit_.messageBox(this,
                            messageLines({QStringLiteral("An error has occurred while attempting to load picture "),
                                          files::joinPath(toolkit_.programFolder(), fileName),
                                          QStringLiteral("Make sure the picture exists and is of a correct format.")}),
                            messageTitle(QStringLiteral("ERROR")), MsgIcon::Error, MsgButtons::Ok);
        unloadAndEnd();
        return false;
    }
    return true;
}

void FrmMain::placePieces() {
    placeFrame();
    for (int i = 0; i < quorvale::kPieceCount; ++i) {
        const quorvale::PiecePos& piece = game_.pieces()[static_cast<std::size_t>(i)];
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

void FrmMain::showCongratulations() {
    imgCong->setLeft(static_cast<float>(quorvale::centreOffset(ScaleWidth(), imgCong->Width())));
    imgCong->setTop(static_cast<float>(quorvale::centreOffset(ScaleHeight(), imgCong->Height())));
    imgCong->setVisible(true);
    mnuSaveGame->setEnabled(false);
}

void FrmMain::updateStatus() { lblStatus->setText(QString::fromStdU16String(game_.statusCaption())); }

void FrmMain::showGame() {
    imgCong->setVisible(false);
    mnuSaveGame->setEnabled(true);
    placePieces();
    showPlayfield();
    updateStatus();
}
