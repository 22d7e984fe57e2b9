// Reading the skin picture without trusting the file: only a plain file is
// opened (a pipe or a device would block the start-up or never end), and a
// Windows bitmap must really hold every byte its header announces, because
// the picture loader quietly fills a short file with black.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quorvale {

// True when `bytes` are not a Windows bitmap at all (the picture loader
// judges other formats by itself) or are one whose header is well formed and
// whose declared file size and pixel rows all lie inside `bytes`.
bool bmpIsComplete(const QByteArray& bytes);

// The picture in the file at `path`, or a null image when the path is not a
// plain file, cannot be read, is larger than any skin needs, is a bitmap
// shorter than its header declares, or is no picture the loader can read.
// Never blocks on a pipe or device.
QImage readSkinPicture(const QString& path);

}  // namespace quorvale
