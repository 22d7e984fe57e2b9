// The skin file on disk: what is refused before or while it is read (pipes,
// devices, folders, bitmaps shorter than their header says), the
// double-resolution companion and when it is used, and the window icon.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/modmain.h"
#include "gamefixture.h"
#include "ui/frmabout.h"
#include "ui/picclip.h"
#include "ui/skinfile.h"

namespace {

const QString kDataDir = QStringLiteral(QUORVALE_SOURCE_DATA_DIR);

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) ADD_FAILURE() << "cannot read " << path.toStdString();
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void putLe32(QByteArray& bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// Colour of a sprite pixel as qRgb() gives it (opaque).
QRgb rgbAt(const QPixmap& sprite, int x, int y) { return sprite.toImage().pixel(x, y) | 0xFF000000u; }

// ---- The bitmap header check, on hand-made headers ----

// A 2 x 1 bitmap of 24 bits per pixel: 54 header bytes and one row of 6 pixel
// bytes padded to 8, 62 bytes in all.
QByteArray tinyBmp() {
    const unsigned char bytes[62] = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                 // file header: size 62, pixels at 54
        40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,             // info: 2 x 1, 1 plane, 24 bits
        0, 0, 0, 0, 8, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,  // no compression, 8 bytes of pixels
        0, 0, 0, 0, 0, 0, 0, 0,                                       // no palette
        0, 0, 255, 255, 0, 0, 0, 0};                                  // red, blue, padding
    return QByteArray(reinterpret_cast<const char*>(bytes), 62);
}

TEST(BmpHeaderCheck, AcceptsCompleteBitmapsAndOtherFormats) {
    EXPECT_TRUE(quorvale::bmpIsComplete(tinyBmp()));
    QByteArray topDown = tinyBmp();
    putLe32(topDown, 22, 0xFFFFFFFFu);  // height -1: rows stored top first
    EXPECT_TRUE(quorvale::bmpIsComplete(topDown));
    QByteArray noSize = tinyBmp();
    putLe32(noSize, 2, 0);  // a file size of 0 declares nothing
    EXPECT_TRUE(quorvale::bmpIsComplete(noSize));
    // Not a bitmap: left to the picture loader.
    EXPECT_TRUE(quorvale::bmpIsComplete(QByteArray("\x89PNG\r\n\x1a\n", 8)));
    EXPECT_TRUE(quorvale::bmpIsComplete(QByteArray()));
    // The shipped skins pass.
    EXPECT_TRUE(quorvale::bmpIsComplete(readAll(kDataDir + "/qvl.bmp")));
    EXPECT_TRUE(quorvale::bmpIsComplete(readAll(kDataDir + "/qvl@2x.bmp")));
}

TEST(BmpHeaderCheck, RefusesBitmapsShorterThanTheirHeaderSays) {
    EXPECT_FALSE(quorvale::bmpIsComplete(tinyBmp().left(61))) << "one byte of the last row missing";
    QByteArray noSize = tinyBmp();
    putLe32(noSize, 2, 0);  // without a file size, the rows alone must be found short
    EXPECT_FALSE(quorvale::bmpIsComplete(noSize.left(61)));
    QByteArray bigger = tinyBmp();
    putLe32(bigger, 2, 63);  // declares one byte more than there is
    EXPECT_FALSE(quorvale::bmpIsComplete(bigger));
    QByteArray twoRows = tinyBmp();
    putLe32(twoRows, 22, 2);  // two rows of 8 bytes need 70 bytes
    EXPECT_FALSE(quorvale::bmpIsComplete(twoRows));
    QByteArray twoRowsTopDown = tinyBmp();
    putLe32(twoRowsTopDown, 22, 0xFFFFFFFEu);  // -2
    EXPECT_FALSE(quorvale::bmpIsComplete(twoRowsTopDown));
    QByteArray wider = tinyBmp();
    putLe32(wider, 18, 3);  // 3 pixels of 3 bytes pad to 12 bytes a row
    EXPECT_FALSE(quorvale::bmpIsComplete(wider));
    QByteArray deep = tinyBmp();
    deep[28] = 32;  // 2 pixels of 4 bytes still fit the 8 bytes
    EXPECT_TRUE(quorvale::bmpIsComplete(deep));
    QByteArray late = tinyBmp();
    putLe32(late, 10, 56);  // pixels start 2 bytes later
    EXPECT_FALSE(quorvale::bmpIsComplete(late));
}

TEST(BmpHeaderCheck, RefusesMalformedHeaders) {
    EXPECT_FALSE(quorvale::bmpIsComplete(QByteArray("BM")));
    EXPECT_FALSE(quorvale::bmpIsComplete(tinyBmp().left(17)));
    EXPECT_FALSE(quorvale::bmpIsComplete(QByteArray("BM this is not a bitmap at all")));
    QByteArray oddInfo = tinyBmp();
    oddInfo[14] = 39;
    EXPECT_FALSE(quorvale::bmpIsComplete(oddInfo));
    QByteArray hugeInfo = tinyBmp();
    putLe32(hugeInfo, 14, 0xFFFFFFF0u);
    EXPECT_FALSE(quorvale::bmpIsComplete(hugeInfo));
    QByteArray noWidth = tinyBmp();
    putLe32(noWidth, 18, 0);
    EXPECT_FALSE(quorvale::bmpIsComplete(noWidth));
    QByteArray negativeWidth = tinyBmp();
    putLe32(negativeWidth, 18, 0x80000000u);
    EXPECT_FALSE(quorvale::bmpIsComplete(negativeWidth));
    QByteArray oddDepth = tinyBmp();
    oddDepth[28] = 7;
    EXPECT_FALSE(quorvale::bmpIsComplete(oddDepth));
    QByteArray earlyPixels = tinyBmp();
    putLe32(earlyPixels, 10, 20);  // pixels inside the info header
    EXPECT_FALSE(quorvale::bmpIsComplete(earlyPixels));
}

// ---- The skin file at start-up ----

class SkinFileTest : public GameTest {
protected:
    // Start-up with a skin that must be refused: the one error message, the
    // program ended, and no later step ran.
    void expectSkinFailure() {
        writeLevels(testLevels());
        frm = modMain::main(tk);
        ASSERT_TRUE(tk.endRequested());
        ASSERT_EQ(tk.messages.size(), 1u);
        EXPECT_EQ(tk.messages[0].title, "Quorvale - ERROR");
        EXPECT_EQ(tk.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(tk.messages[0].text, "An error has occurred while attempting to load picture \r\n" + path("qvl.bmp") +
                                           "\r\nMake sure the picture exists and is of a correct format.");
        ASSERT_NE(frm, nullptr);
        EXPECT_TRUE(frm->isUnloaded());
    }

    void copyShippedSkins() {
        ASSERT_TRUE(QFile::copy(kDataDir + "/qvl.bmp", path("qvl.bmp")));
        ASSERT_TRUE(QFile::copy(kDataDir + "/qvl@2x.bmp", path("qvl@2x.bmp")));
    }
};

// A FIFO nobody writes to would block a plain open() for ever. Should the
// program open it anyway, a writer appears after a few seconds to set it free,
// and the time taken fails the test.
TEST_F(SkinFileTest, FifoIsRefusedAtOnce) {
    const QByteArray fifo = QFile::encodeName(path("qvl.bmp"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread rescuer([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (!done) {
            const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const auto started = std::chrono::steady_clock::now();
    expectSkinFailure();
    const auto took = std::chrono::steady_clock::now() - started;
    done = true;
    rescuer.join();
    EXPECT_LT(took, std::chrono::seconds(2));
}

TEST_F(SkinFileTest, FolderIsRefused) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("qvl.bmp"));
    expectSkinFailure();
}

TEST_F(SkinFileTest, LinkToAnEndlessDeviceIsRefused) {
    ASSERT_TRUE(QFile::link("/dev/zero", path("qvl.bmp")));
    expectSkinFailure();
}

TEST_F(SkinFileTest, TruncatedBitmapIsRefused) {
    writeSkin();
    const QByteArray whole = readAll(path("qvl.bmp"));
    writeAll(path("qvl.bmp"), whole.left(whole.size() - 5));
    expectSkinFailure();
}

TEST_F(SkinFileTest, HeaderDeclaringMoreRowsThanTheFileHoldsIsRefused) {
    // The shipped skin with its height raised from 380 to 381 rows and its
    // file size to match: the loader would draw the missing row black.
    QByteArray bytes = readAll(kDataDir + "/qvl.bmp");
    ASSERT_EQ(bytes.size(), 422614);
    putLe32(bytes, 22, 381);
    putLe32(bytes, 2, 422614);
    writeAll(path("qvl.bmp"), bytes);
    expectSkinFailure();
}

TEST_F(SkinFileTest, HeaderDeclaringALargerFileIsRefused) {
    QByteArray bytes = readAll(kDataDir + "/qvl.bmp");
    putLe32(bytes, 2, 422615);
    writeAll(path("qvl.bmp"), bytes);
    expectSkinFailure();
}

TEST_F(SkinFileTest, GoodCompanionDoesNotRescueABadSkin) {
    copyShippedSkins();
    QFile::resize(path("qvl.bmp"), 422614 - 1110);  // about a row short
    expectSkinFailure();
}

TEST_F(SkinFileTest, LinkToAPlainFileIsFollowed) {
    ASSERT_TRUE(QFile::copy(kDataDir + "/qvl.bmp", path("real.bmp")));
    ASSERT_TRUE(QFile::link(path("real.bmp"), path("qvl.bmp")));
    FrmMain& frm = start();
    EXPECT_EQ(frm.imgPieces[0]->picture().size(), QSize(120, 120));
}

// At a pixel ratio of 1 the companion is not used, even when it is there.
TEST_F(SkinFileTest, OrdinaryScreenIgnoresTheCompanion) {
    if (qApp->devicePixelRatio() > 1) GTEST_SKIP() << "screen is high-density";
    copyShippedSkins();
    FrmMain& frm = start();
    const QPixmap square = frm.imgPieces[0]->picture();
    EXPECT_EQ(square.devicePixelRatio(), 1.0);
    EXPECT_EQ(square.size(), QSize(120, 120));
    // Pixel (60, 60) of the square in qvl.bmp.
    EXPECT_EQ(rgbAt(square, 60, 60), qRgb(208, 39, 49));
}

TEST_F(SkinFileTest, WindowIconHasEverySize) {
    FrmMain& frm = start();
    const QList<QSize> sizes = frm.windowIcon().availableSizes();
    const QList<QSize> expected = {QSize(16, 16), QSize(22, 22), QSize(24, 24),   QSize(32, 32),
                                   QSize(48, 48), QSize(64, 64), QSize(128, 128), QSize(256, 256)};
    EXPECT_EQ(sizes, expected);
    for (const QSize& size : expected) {
        EXPECT_EQ(frm.windowIcon().pixmap(size, 1.0).size(), size);
    }
}

// ---- The skin store with a companion ----

TEST(PicClipCompanion, CutsTheDoubledRectangleAtPixelRatioTwo) {
    QImage picture(370, 380, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QImage companion(740, 760, QImage::Format_RGB32);
    companion.fill(Qt::white);
    companion.setPixel(280, 40, qRgb(1, 2, 3));      // top-left pixel of the doubled second square
    companion.setPixel(519, 279, qRgb(4, 5, 6));     // its bottom-right pixel
    companion.setPixel(279, 40, qRgb(200, 0, 0));    // just left of it
    PicClip clip;
    clip.setPicture(picture);
    clip.setCompanion(companion);
    clip.setClip(140, 20, 120, 120);
    const QPixmap sprite = clip.clipped();
    EXPECT_EQ(sprite.devicePixelRatio(), 2.0);
    EXPECT_EQ(sprite.size(), QSize(240, 240));
    EXPECT_EQ(sprite.deviceIndependentSize(), QSizeF(120, 120));
    EXPECT_EQ(rgbAt(sprite, 0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(rgbAt(sprite, 239, 239), qRgb(4, 5, 6));

    // The picture of record still decides what can be cut.
    clip.setClip(300, 300, 80, 80);
    EXPECT_TRUE(clip.clipped().isNull());
    // A new picture drops the companion.
    clip.setPicture(picture);
    clip.setClip(140, 20, 120, 120);
    EXPECT_EQ(clip.clipped().devicePixelRatio(), 1.0);
    EXPECT_EQ(rgbAt(clip.clipped(), 0, 0), qRgb(0, 0, 0));
}

// ---- High-density screens (run by the ui_tests_hidpi entry with QT_SCALE_FACTOR=2) ----

class SkinHiDpi : public SkinFileTest {
protected:
    void SetUp() override {
        SkinFileTest::SetUp();
        if (qApp->devicePixelRatio() < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    }

    // Start-up succeeded silently and every sprite came from qvl.bmp.
    void expectOrdinarySprites() {
        FrmMain& frm = start();
        EXPECT_TRUE(tk.messages.empty());
        for (const ImageControl* image : {frm.imgPieces[0], frm.imgCong, frm.imgTitle}) {
            EXPECT_EQ(image->picture().devicePixelRatio(), 1.0);
        }
        EXPECT_EQ(frm.imgPieces[0]->picture().size(), QSize(120, 120));
        EXPECT_EQ(rgbAt(frm.imgPieces[0]->picture(), 60, 60), qRgb(208, 39, 49));
    }
};

TEST_F(SkinHiDpi, SpritesComeFromTheCompanion) {
    copyShippedSkins();
    FrmMain& frm = start();
    EXPECT_TRUE(tk.messages.empty());
    struct Expect {
        const ImageControl* image;
        QSize pixels;
    };
    const Expect sprites[] = {
        {frm.imgUpFrame, {560, 40}}, {frm.imgLeftFrame, {40, 600}}, {frm.imgTitle, {180, 680}},
        {frm.imgCong, {740, 80}},    {frm.imgPieces[0], {240, 240}}, {frm.imgPieces[1], {240, 120}},
        {frm.imgPieces[3], {120, 240}}, {frm.imgPieces[9], {120, 120}},
    };
    for (const Expect& e : sprites) {
        EXPECT_EQ(e.image->picture().devicePixelRatio(), 2.0);
        EXPECT_EQ(e.image->picture().size(), e.pixels);
        EXPECT_EQ(e.image->size(), e.pixels / 2) << "the control keeps the rectangle's logical size";
    }
    // Pixels of qvl@2x.bmp: the square's 2-pixel dark outline and its face,
    // the small piece's stud, piece 3's purple triangle (third tall sprite)
    // and the gold lettering in the middle of the banner.
    const QPixmap square = frm.imgPieces[0]->picture();
    EXPECT_EQ(rgbAt(square, 1, 1), qRgb(64, 12, 15));
    EXPECT_EQ(rgbAt(square, 239, 239), qRgb(64, 12, 15));
    EXPECT_EQ(rgbAt(square, 120, 120), qRgb(208, 39, 50));
    EXPECT_EQ(rgbAt(frm.imgPieces[7]->picture(), 60, 60), qRgb(65, 211, 106));
    EXPECT_EQ(rgbAt(frm.imgPieces[3]->picture(), 60, 60), qRgb(228, 198, 255));
    EXPECT_EQ(rgbAt(frm.imgPieces[3]->picture(), 100, 120), qRgb(135, 73, 191));
    EXPECT_EQ(rgbAt(frm.imgCong->picture(), 370, 40), qRgb(241, 195, 67));
    // Placement on the window is unchanged: twips from logical pixels.
    EXPECT_EQ(frm.imgPieces[0]->Width(), 1800.0f);
    EXPECT_EQ(frm.imgCong->Height(), 600.0f);
}

TEST_F(SkinHiDpi, CompanionOfTheWrongSizeFallsBackSilently) {
    ASSERT_TRUE(QFile::copy(kDataDir + "/qvl.bmp", path("qvl.bmp")));
    QImage companion(739, 760, QImage::Format_RGB888);
    companion.fill(Qt::white);
    ASSERT_TRUE(companion.save(path("qvl@2x.bmp"), "BMP"));
    expectOrdinarySprites();
}

TEST_F(SkinHiDpi, TruncatedCompanionFallsBackSilently) {
    copyShippedSkins();
    ASSERT_TRUE(QFile::resize(path("qvl@2x.bmp"), 1687254 - 100));
    expectOrdinarySprites();
}

TEST_F(SkinHiDpi, CompanionThatIsAPipeOrMissingFallsBackSilently) {
    ASSERT_TRUE(QFile::copy(kDataDir + "/qvl.bmp", path("qvl.bmp")));
    expectOrdinarySprites();
    frm.reset();
    tk.messages.clear();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("qvl@2x.bmp")).constData(), 0600), 0);
    expectOrdinarySprites();  // a blocking open would hang here
}

TEST_F(SkinHiDpi, AboutPictureIsDrawnAtDoubleResolution) {
    copyShippedSkins();
    FrmMain& frm = start();
    FrmAbout about(frm);
    const QPixmap picture = about.imgTamberlo->pixmap();
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    EXPECT_EQ(picture.size(), QSize(104, 116));
}

}  // namespace
