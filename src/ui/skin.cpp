// Loading the skin bitmap and cutting the sprites of the main window from it.
#include <QImage>

#include "app/frmmain.h"
#include "ui/skinfile.h"

namespace {

// The skin must cover the whole map of rectangles.
constexpr int kSkinWidth = quorvale::skinmap::kWidth;
constexpr int kSkinHeight = quorvale::skinmap::kHeight;

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
                            QStringLiteral("An error has occurred while attempting to load picture ") +
                                QStringLiteral("\r\n") + fullPath + QStringLiteral("\r\n") +
                                QStringLiteral("Make sure the picture exists and is of a correct format."),
                            QStringLiteral("Quorvale - ERROR"), MsgIcon::Error, MsgButtons::Ok);
        unloadAndEnd();
        return false;
    }
    return true;
}
