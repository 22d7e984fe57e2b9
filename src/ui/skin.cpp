// Loading the skin bitmap and cutting the sprites of the main window from it.
#include <QImage>
#include <QImageReader>

#include "app/frmmain.h"

namespace {

// The skin must cover the whole map of rectangles.
constexpr int kSkinWidth = 370;
constexpr int kSkinHeight = 380;

}  // namespace

bool FrmMain::loadSkin(const QString& fileName) {
    const QString fullPath = joinPath(toolkit_.programFolder(), fileName);

    bool ok = true;
    QImageReader reader(fullPath);
    reader.setDecideFormatFromContent(true);
    QImage skin = reader.read();
    // A picture too small for the map would give cut-off sprites: refuse it.
    if (skin.isNull() || skin.width() < kSkinWidth || skin.height() < kSkinHeight) ok = false;

    if (ok) {
        piclipSkin.setPicture(skin);
        struct Cut {
            ImageControl* target;
            int left, top, width, height;
            bool setClip;
        };
        // In this order; pieces 7 to 9 reuse the clip rectangle of piece 6.
        const Cut cuts[] = {
            {imgUpFrame, 0, 0, 280, 20, true},
            {imgLeftFrame, 0, 20, 20, 300, true},
            {imgRightFrame, 260, 20, 20, 300, true},
            {imgExit, 0, 320, 280, 20, true},
            {imgTitle, 280, 0, 90, 340, true},
            {imgCong, 0, 340, 370, 40, true},
            {imgPieces[0], 20, 20, 120, 120, true},
            {imgPieces[1], 20, 140, 120, 60, true},
            {imgPieces[2], 20, 200, 60, 120, true},
            {imgPieces[4], 80, 200, 60, 120, true},
            {imgPieces[3], 140, 200, 60, 120, true},
            {imgPieces[5], 200, 200, 60, 120, true},
            {imgPieces[6], 200, 140, 60, 60, true},
            {imgPieces[7], 0, 0, 0, 0, false},
            {imgPieces[8], 0, 0, 0, 0, false},
            {imgPieces[9], 0, 0, 0, 0, false},
        };
        for (const Cut& cut : cuts) {
            if (cut.setClip) piclipSkin.setClip(cut.left, cut.top, cut.width, cut.height);
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
                            QStringLiteral("An error has occurred while attempting to load picture ") +
                                QStringLiteral("\r\n") + fullPath + QStringLiteral("\r\n") +
                                QStringLiteral("Make sure the picture exists and is of a correct format."),
                            QStringLiteral("Quorvale - ERROR"), MsgIcon::Error, MsgButtons::Ok);
        unloadAndEnd();
        return false;
    }
    return true;
}
