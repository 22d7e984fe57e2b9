#include "ui/picclip.h"

QPixmap PicClip::clipped() const {
    // The picture of record decides what may be cut, with or without a companion.
    if (picture_.isNull() || clip_.isEmpty() || !picture_.rect().contains(clip_)) return QPixmap();
    const QRect doubled(clip_.left() * 2, clip_.top() * 2, clip_.width() * 2, clip_.height() * 2);
    if (!companion_.isNull() && companion_.rect().contains(doubled)) {
        QImage sprite = companion_.copy(doubled);
        sprite.setDevicePixelRatio(2.0);
        return QPixmap::fromImage(sprite);
    }
    // QImage::copy makes a deep copy, so each caller gets a picture of its own.
    return QPixmap::fromImage(picture_.copy(clip_));
}
