#include "ui/picclip.h"

QPixmap PicClip::clipped() const {
    if (picture_.isNull() || clip_.isEmpty() || !picture_.rect().contains(clip_)) return QPixmap();
    // QImage::copy makes a deep copy, so each caller gets a picture of its own.
    return QPixmap::fromImage(picture_.copy(clip_));
}
