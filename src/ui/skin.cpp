#include "files/fileaccess.h"
#include "ui/skin.h"

#include <QImage>

#include "toolkit/toolkit.h"
#include "ui/picclip.h"
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
    QImage companion = quorvale::readSkinPicture(files::joinPath(folder, companionName(fileName)));
    if (companion.width() != kSkinWidth * 2 || companion.height() != kSkinHeight * 2) return {};
    return companion;
}

}  // namespace

bool readSkin(PicClip& store, const QString& folder, const QString& fileName, double devicePixelRatio) {
    const QImage skin = quorvale::readSkinPicture(files::joinPath(folder, fileName));
    // A picture too small for the map would give cut-off sprites: refuse it.
    if (skin.isNull() || skin.width() < kSkinWidth || skin.height() < kSkinHeight) return false;
    store.setPicture(skin);
    // Checked only once the skin itself has passed, so a bad skin fails the
    // same way whether or not a companion lies beside it.
    store.setCompanion(loadCompanion(folder, fileName, devicePixelRatio));
    return true;
}
