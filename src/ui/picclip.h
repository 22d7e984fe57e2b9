// The skin store: holds one picture and hands out copies of a clip rectangle.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>

class PicClip {
public:
    // Takes `picture` as the whole held picture.
    void setPicture(const QImage& picture) { picture_ = picture; }
    const QImage& picture() const { return picture_; }

    // Sets the clip rectangle, in pixels of the held picture.
    void setClip(int left, int top, int width, int height) { clip_ = QRect(left, top, width, height); }
    QRect clip() const { return clip_; }

    // A new picture copied from the held one inside the clip rectangle; a null
    // pixmap when the rectangle does not lie wholly inside the picture.
    QPixmap clipped() const;

private:
    QImage picture_;
    QRect clip_;
};
