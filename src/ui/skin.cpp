// Loading the skin bitmap and cutting the sprites of the main window from it.
#include <QImage>

#include "app/frmmain.h"
#include "ui/skinfile.h"

namespace {

// The skin must cover the whole map of rectangles.
constexpr int kSkinWidth = 370;
constexpr int kSkinHeight = 380;

// "qvl.bmp" -> "qvl@2x.bmp": the double-resolution companion lies beside the skin.
QString companionName(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const int slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash + 1) return fileName + QStringLiteral("@2x");
    return fileName.left(dot) + QStringLiteral("@2x") + fileName.mid(dot);
}

// The companion for a screen of `devicePixelRatio`, or a null image when the
// screen is not dense or the companion is missing, not a plain file, damaged
// or not exactly twice the skin map. Any of these falls back to the skin
// itself without a word: the companion only sharpens the picture.
QImage loadCompanion(const QString& folder, const QString& fileName, qreal devicePixelRatio) {
    if (devicePixelRatio <= 1.0) return {};
    QImage companion = quorvale::readSkinPicture(joinPath(folder, companionName(fileName)));
    if (companion.width() != kSkinWidth * 2 || companion.height() != kSkinHeight * 2) return {};
    return companion;
}

}  // namespace

bool FrmMain::loadSkin(const QString& fileName) {
    const QString fullPath = joinPath(toolkit_.programFolder(), fileName);

    bool ok = true;
    const QImage skin = quorvale::readSkinPicture(fullPath);
    // A picture too small for the map would give cut-off sprites: refuse it.
    if (skin.isNull() || skin.width() < kSkinWidth || skin.height() < kSkinHeight) ok = false;

    if (ok) {
        piclipSkin.setPicture(skin);
        // Checked only once the skin itself has passed, so a bad skin fails
        // the same way whether or not a companion lies beside it.
        piclipSkin.setCompanion(loadCompanion(toolkit_.programFolder(), fileName, devicePixelRatioF()));
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
