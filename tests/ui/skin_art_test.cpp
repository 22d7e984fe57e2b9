// The shipped art: the skin bitmap (size, format, sprites that can be told
// apart), its double-resolution companion, the icons and the About picture.
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRect>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const QString kSkinPath = QStringLiteral(QUORVALE_SOURCE_DATA_DIR "/qvl.bmp");
const QString kCompanionPath = QStringLiteral(QUORVALE_SOURCE_DATA_DIR "/qvl@2x.bmp");
const QString kImagesDir = QStringLiteral(QUORVALE_SOURCE_DATA_DIR "/../src/ui/images");

// Mean brightness (0..255) of a rectangle of the picture.
double meanLightness(const QImage& img, const QRect& r) {
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            sum += QColor(img.pixel(x, y)).lightness();
        }
    }
    return sum / (r.width() * r.height());
}

TEST(SkinArt, IsA370By380TwentyFourBitBitmap) {
    QFile file(kSkinPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(30);
    ASSERT_EQ(header.size(), 30);
    EXPECT_EQ(header.left(2), QByteArray("BM"));
    const int bitsPerPixel = quint8(header[28]) | (quint8(header[29]) << 8);
    EXPECT_EQ(bitsPerPixel, 24);

    QImage skin;
    ASSERT_TRUE(skin.load(kSkinPath));
    EXPECT_EQ(skin.width(), 370);
    EXPECT_EQ(skin.height(), 380);
}

TEST(SkinArt, AlternativeAndTallSpritesCanBeToldApart) {
    QImage skin;
    ASSERT_TRUE(skin.load(kSkinPath));

    const QRect tall[4] = {QRect(20, 200, 60, 120), QRect(80, 200, 60, 120), QRect(140, 200, 60, 120),
                           QRect(200, 200, 60, 120)};
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            EXPECT_NE(skin.copy(tall[a]), skin.copy(tall[b])) << "tall sprites " << a << " and " << b;
        }
    }
    EXPECT_NE(skin.copy(QRect(20, 20, 120, 120)), skin.copy(QRect(140, 20, 120, 120)));
    EXPECT_NE(skin.copy(QRect(200, 140, 60, 60)), skin.copy(QRect(140, 140, 60, 60)));
}

TEST(SkinArt, ExitStandsOutFromTheRestOfTheBottomFrame) {
    QImage skin;
    ASSERT_TRUE(skin.load(kSkinPath));
    const double exit = meanLightness(skin, QRect(80, 320, 120, 20));
    const double leftEnd = meanLightness(skin, QRect(0, 320, 80, 20));
    const double rightEnd = meanLightness(skin, QRect(200, 320, 80, 20));
    EXPECT_GT(std::abs(exit - leftEnd), 20.0);
    EXPECT_GT(std::abs(exit - rightEnd), 20.0);
}

// Each 2 x 2 block of the companion, averaged, comes close to the pixel of
// qvl.bmp it stands for, and a shifted drawing does not; most blocks hold more
// than one colour, so it was drawn afresh rather than enlarged.
TEST(SkinArt, CompanionIsTheSameDrawingAtTwiceTheResolution) {
    const QImage skin = QImage(kSkinPath).convertToFormat(QImage::Format_RGB32);
    const QImage companion = QImage(kCompanionPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(skin.size(), QSize(370, 380));
    ASSERT_EQ(companion.size(), QSize(740, 760));
    double difference = 0, shifted = 0, blocksWithDetail = 0;
    for (int y = 0; y < 380; ++y) {
        for (int x = 0; x < 370; ++x) {
            const QRgb a = companion.pixel(2 * x, 2 * y), b = companion.pixel(2 * x + 1, 2 * y),
                       c = companion.pixel(2 * x, 2 * y + 1), d = companion.pixel(2 * x + 1, 2 * y + 1);
            const double mean = (qGray(a) + qGray(b) + qGray(c) + qGray(d)) / 4.0;
            difference += std::abs(mean - qGray(skin.pixel(x, y)));
            shifted += std::abs(mean - qGray(skin.pixel(std::min(x + 2, 369), y)));
            blocksWithDetail += (a != b || a != c || a != d);
        }
    }
    const double pixels = 370.0 * 380.0;
    EXPECT_LT(difference / pixels, 4.0);
    EXPECT_GT(shifted, 2 * difference);
    EXPECT_GT(blocksWithDetail / pixels, 0.4);
}

// Icons: transparent around the board, opaque in its middle.
TEST(SkinArt, IconsAndAboutPictureHaveTheirSizes) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(kImagesDir + QStringLiteral("/quorvale-%1.png").arg(size));
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, size / 2)), 0) << size;
    }
    EXPECT_EQ(QImage(kImagesDir + "/tamberlo.png").size(), QSize(52, 58));
    EXPECT_EQ(QImage(kImagesDir + "/tamberlo@2x.png").size(), QSize(104, 116));
}

}  // namespace
