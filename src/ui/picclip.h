// The skin store: holds one picture and hands out copies of a clip rectangle.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>

#include "ui/skinmap.h"

class PicClip {
public:
    // Takes `picture` as the whole held picture; drops any companion.
    void setPicture(const QImage& picture) {
        picture_ = picture;
        companion_ = QImage();
    }

    // A copy of the held picture drawn at twice its resolution. While one is
    // held, clipped() cuts from it at the doubled rectangle and marks the copy
    // with device pixel ratio 2, so the sprite keeps the rectangle's size on
    // screen but shows every device pixel of a high-density display.
    void setCompanion(const QImage& companion) { companion_ = companion; }

    // Sets the clip rectangle, in pixels of the held picture.
    void setClip(int left, int top, int width, int height) { clip_ = QRect(left, top, width, height); }
    void setClip(const quorvale::skinmap::Rect& r) { setClip(r.left, r.top, r.width, r.height); }

    // A new picture copied from the held one inside the clip rectangle; a null
    // pixmap when the rectangle does not lie wholly inside the picture.
    QPixmap clipped() const;

private:
    QImage picture_;
    QImage companion_;
    QRect clip_;
};
