#include "ui/skinfile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cstdint>

#include "core/littleendian.h"
#include "files/fileaccess.h"

namespace quorvale {

namespace {

// A skin is a few hundred kilobytes (1.7 MB at double resolution); anything
// beyond this is no skin and is refused before it is read into memory.
constexpr std::size_t kMaxSkinBytes = 64 * 1024 * 1024;

}  // namespace

bool bmpIsComplete(const QByteArray& bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return true;
    const std::int64_t size = bytes.size();
    constexpr int kFileHeader = 14;
    if (size < kFileHeader + 4) return false;
    // Header fields, read byte by byte in little-endian order.
    const auto* header = reinterpret_cast<const std::uint8_t*>(bytes.constData());

    // bfSize may be 0 ("not given"), but never more than the file holds.
    const std::int64_t declaredSize = readUInt32(header + 2);
    if (declaredSize > size) return false;
    const std::int64_t pixelOffset = readUInt32(header + 10);
    const std::int64_t infoSize = readUInt32(header + 14);
    if (infoSize != 12 && infoSize < 40) return false;
    if (kFileHeader + infoSize > size) return false;
    if (pixelOffset < kFileHeader + infoSize || pixelOffset > size) return false;

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::int64_t imageSize = 0;
    if (infoSize == 12) {
        // The old OS/2 header: 16-bit unsigned width and height.
        width = readUInt16(header + 18);
        height = readUInt16(header + 20);
        bitsPerPixel = readUInt16(header + 24);
    } else {
        // Signed 32-bit: a negative height is a top-down bitmap.
        width = std::int32_t(readUInt32(header + 18));
        height = std::int32_t(readUInt32(header + 22));
        bitsPerPixel = readUInt16(header + 28);
        compression = readUInt32(header + 30);
        imageSize = readUInt32(header + 34);
    }
    if (width <= 0 || height == 0) return false;
    if (height < 0) height = -height;

    switch (compression) {
    case 0:  // uncompressed
    case 3:  // bit fields
    case 6: {
        if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 &&
            bitsPerPixel != 32) {
            return false;
        }
        // Each row is padded to a whole number of 32-bit words.
        // Compared by division: a header may declare rows whose product with
        // the row size would not fit in 64 bits.
        const std::int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
        return height <= (size - pixelOffset) / rowBytes;
    }
    default:
        // Run-length and embedded formats: the header gives the data size.
        return pixelOffset + imageSize <= size;
    }
}

QImage readSkinPicture(const QString& path) {
    std::string read;
    if (files::readPlainFile(QFile::encodeName(path).toStdString(), kMaxSkinBytes, files::ReadMode::WholeFile, read) !=
        files::ReadStatus::Ok) {
        return {};
    }
    QByteArray bytes(read.data(), static_cast<qsizetype>(read.size()));

    if (!bmpIsComplete(bytes)) return {};
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

}  // namespace quorvale
