// The shipped skin bitmap: size, format, and sprites that can be told apart.
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRect>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kSkinPath = QStringLiteral(QUORVALE_SOURCE_DATA_DIR "/qvl.bmp");

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

}  // namespace
