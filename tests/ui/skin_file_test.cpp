// The skin file on disk: what is refused before or while it is read (pipes,
// devices, folders, bitmaps shorter than their header says), the
// double-resolution companion and when it is used, and the window icon.
#include <QApplication>
#include <QIcon>
#include <QImage>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/modmain.h"
#include "commandtest.h"
#include "ui/frmabout.h"
#include "ui/picclip.h"
#include "ui/skinfile.h"

namespace {

const QString kDataDir = QStringLiteral(QUORVALE_SOURCE_DATA_DIR);
constexpr int kShippedSkinSize = 422614;

QByteArray withLe32(QByteArray bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

// Colour of a sprite pixel as qRgb() gives it (opaque).
QRgb rgbAt(const QPixmap& sprite, int x, int y) { return sprite.toImage().pixel(x, y) | 0xFF000000u; }

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

// The same picture with the old 12-byte OS/2 info header: 26 header bytes and
// the 8 row bytes, 34 bytes in all.
QByteArray tinyOs2Bmp() {
    const unsigned char bytes[34] = {'B', 'M', 34, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0,  // pixels at 26
                                     12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 24, 0,            // 2 x 1, 1 plane, 24 bits
                                     0, 0, 255, 255, 0, 0, 0, 0};
    return QByteArray(reinterpret_cast<const char*>(bytes), 34);
}

TEST(BmpHeaderCheck, JudgesHandMadeHeaders) {
    const QByteArray tiny = tinyBmp();
    const struct {
        QByteArray bytes;
        bool complete;
        const char* what;
    } cases[] = {
        {tiny, true, "complete"},
        {tinyOs2Bmp(), true, "12-byte OS/2 info header"},
        {tinyOs2Bmp().left(33), false, "OS/2 header, one byte of the row missing"},
        {withLe32(tiny, 22, 0xFFFFFFFFu), true, "height -1: rows stored top first"},
        {withLe32(tiny, 2, 0), true, "a file size of 0 declares nothing"},
        {withLe32(tiny, 28, 32), true, "2 pixels of 4 bytes still fit the 8 bytes"},
        {QByteArray("\x89PNG\r\n\x1a\n", 8), true, "not a bitmap: left to the picture loader"},
        {QByteArray(), true, "empty"},
        {tiny.left(61), false, "one byte of the last row missing"},
        {withLe32(tiny, 2, 0).left(61), false, "no file size, rows found short"},
        {withLe32(tiny, 2, 63), false, "declares one byte more than there is"},
        {withLe32(tiny, 22, 2), false, "two rows of 8 bytes need 70 bytes"},
        {withLe32(tiny, 22, 0xFFFFFFFEu), false, "height -2"},
        {withLe32(tiny, 18, 3), false, "3 pixels of 3 bytes pad to 12 bytes a row"},
        {withLe32(tiny, 10, 56), false, "pixels start 2 bytes later"},
        {withLe32(tiny, 10, 20), false, "pixels inside the info header"},
        {QByteArray("BM"), false, "file header cut"},
        {withLe32(tiny, 2, 0).left(14), false, "file header alone, no info header size"},
        {tiny.left(17), false, "info header size cut"},
        {QByteArray("BM this is not a bitmap at all"), false, "text"},
        {withLe32(tiny, 14, 39), false, "info header of 39 bytes"},
        {withLe32(tiny, 14, 0xFFFFFFF0u), false, "huge info header"},
        {withLe32(tiny, 18, 0), false, "width 0"},
        {withLe32(tiny, 18, 0x80000000u), false, "negative width"},
        {withLe32(tiny, 28, 7), false, "7 bits per pixel"},
        {withLe32(withLe32(withLe32(tiny, 18, 0x7FFFFFFFu), 22, 0x7FFFFFFFu), 28, 32), false,
         "the largest width and height at 32 bits"},
    };
    for (const auto& c : cases) EXPECT_EQ(quorvale::bmpIsComplete(c.bytes), c.complete) << c.what;
    EXPECT_TRUE(quorvale::bmpIsComplete(readBytes(kDataDir + "/qvl.bmp")));
    EXPECT_TRUE(quorvale::bmpIsComplete(readBytes(kDataDir + "/qvl@2x.bmp")));
}

class SkinFileTest : public GameTest {
protected:
    // Start-up with a skin that must be refused: the one error message, the
    // program ended, and no later step ran.
    void expectSkinFailure() {
        writeLevels(testLevels());
        runEntry();
        ASSERT_TRUE(tk.endRequested());
        ASSERT_EQ(tk.messages.size(), 1u);
        EXPECT_EQ(tk.messages[0].title, "Quorvale - ERROR");
        EXPECT_EQ(tk.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(tk.messages[0].text, "An error has occurred while attempting to load picture \r\n" + path("qvl.bmp") +
                                           "\r\nMake sure the picture exists and is of a correct format.");
        ASSERT_NE(frm, nullptr);
        EXPECT_TRUE(!frm->isVisible());
    }

    void copyShippedSkins() {
        ASSERT_TRUE(QFile::copy(kDataDir + "/qvl.bmp", path("qvl.bmp")));
        ASSERT_TRUE(QFile::copy(kDataDir + "/qvl@2x.bmp", path("qvl@2x.bmp")));
    }
};

// A FIFO nobody writes to would block a plain open() for ever. Should the
// program open it anyway, a writer appears after 3 seconds to set it free,
// and the time taken fails the test.
TEST_F(SkinFileTest, FifoIsRefusedAtOnce) {
    const QByteArray fifo = QFile::encodeName(path("qvl.bmp"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread rescuer([&] {
        for (int waited = 0; !done; waited += 20) {
            if (waited >= 3000) ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
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

TEST_F(SkinFileTest, UnreadableOrShortSkinsAreRefused) {
    const QByteArray shipped = readBytes(kDataDir + "/qvl.bmp");
    ASSERT_EQ(shipped.size(), kShippedSkinSize);
    const std::function<void()> skins[] = {
        [&] { ASSERT_TRUE(QDir(dir.path()).mkdir("qvl.bmp")); },
        [&] { ASSERT_TRUE(QFile::link("/dev/zero", path("qvl.bmp"))); },
        [&] { writeBytes(path("qvl.bmp"), shipped.chopped(5)); },
        // 381 rows instead of 380 with a file size to match: the loader would draw the missing row black.
        [&] { writeBytes(path("qvl.bmp"), withLe32(shipped, 22, 381)); },
        [&] { writeBytes(path("qvl.bmp"), withLe32(shipped, 2, kShippedSkinSize + 1)); },
        [&] {  // a good companion does not rescue a skin about a row short
            copyShippedSkins();
            ASSERT_TRUE(QFile::resize(path("qvl.bmp"), kShippedSkinSize - 1110));
        },
    };
    for (size_t i = 0; i < std::size(skins); ++i) {
        SCOPED_TRACE(i);
        QFile::remove(path("qvl@2x.bmp"));
        QDir(dir.path()).rmdir("qvl.bmp");
        QFile::remove(path("qvl.bmp"));
        tk = ScriptedToolkit();
        tk.folder = dir.path();
        skins[i]();
        expectSkinFailure();
        frm.reset();
    }
}

// A link to a plain file is followed; at a pixel ratio of 1 the companion is not used.
TEST_F(SkinFileTest, OrdinaryScreenReadsALinkedSkinAndIgnoresTheCompanion) {
    if (qApp->devicePixelRatio() > 1) GTEST_SKIP() << "screen is high-density";
    copyShippedSkins();
    ASSERT_TRUE(QFile::rename(path("qvl.bmp"), path("real.bmp")) && QFile::link(path("real.bmp"), path("qvl.bmp")));
    const QPixmap square = start().imgPieces[0]->picture();
    EXPECT_EQ(square.devicePixelRatio(), 1.0);
    EXPECT_EQ(square.size(), QSize(120, 120));
    EXPECT_EQ(rgbAt(square, 60, 60), qRgb(208, 39, 49));  // pixel (60, 60) of the square in qvl.bmp
}

TEST_F(SkinFileTest, WindowIconHasEverySize) {
    const QIcon icon = start().windowIcon();
    const QList<QSize> expected = {QSize(16, 16), QSize(22, 22), QSize(24, 24),   QSize(32, 32),
                                   QSize(48, 48), QSize(64, 64), QSize(128, 128), QSize(256, 256)};
    EXPECT_EQ(icon.availableSizes(), expected);
    for (const QSize& size : expected) EXPECT_EQ(icon.pixmap(size, 1.0).size(), size);
}

TEST(PicClipCompanion, CutsTheDoubledRectangleAtPixelRatioTwo) {
    QImage picture(370, 380, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QImage companion(740, 760, QImage::Format_RGB32);
    companion.fill(Qt::white);
    companion.setPixel(280, 40, qRgb(1, 2, 3));    // top-left pixel of the doubled second square
    companion.setPixel(519, 279, qRgb(4, 5, 6));   // its bottom-right pixel
    companion.setPixel(279, 40, qRgb(200, 0, 0));  // just left of it
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
    // The picture of record still decides what can be cut, and a new picture drops the companion.
    clip.setClip(300, 300, 80, 80);
    EXPECT_TRUE(clip.clipped().isNull());
    clip.setPicture(picture);
    clip.setClip(140, 20, 120, 120);
    EXPECT_EQ(clip.clipped().devicePixelRatio(), 1.0);
    EXPECT_EQ(rgbAt(clip.clipped(), 0, 0), qRgb(0, 0, 0));
}

// High-density screens: run by the ui_tests_hidpi entry with QT_SCALE_FACTOR=2.
class SkinHiDpi : public SkinFileTest {
protected:
    void SetUp() override {
        SkinFileTest::SetUp();
        if (qApp->devicePixelRatio() < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    }
};

TEST_F(SkinHiDpi, SpritesComeFromTheCompanion) {
    copyShippedSkins();
    FrmMain& frm = start();
    EXPECT_TRUE(tk.messages.empty());
    const struct {
        const ImageControl* image;
        QSize pixels;
    } sprites[] = {
        {frm.imgUpFrame, {560, 40}},    {frm.imgLeftFrame, {40, 600}},  {frm.imgTitle, {180, 680}},
        {frm.imgCong, {740, 80}},       {frm.imgPieces[0], {240, 240}}, {frm.imgPieces[1], {240, 120}},
        {frm.imgPieces[3], {120, 240}}, {frm.imgPieces[9], {120, 120}},
    };
    for (const auto& e : sprites) {
        EXPECT_EQ(e.image->picture().devicePixelRatio(), 2.0);
        EXPECT_EQ(e.image->picture().size(), e.pixels);
        EXPECT_EQ(e.image->size(), e.pixels / 2) << "the control keeps the rectangle's logical size";
    }
    // Pixels of qvl@2x.bmp: the square's 2-pixel dark outline and its face,
    // the small piece's stud, piece 3's purple triangle and the gold lettering.
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

TEST_F(SkinHiDpi, MissingOrBadCompanionFallsBackSilently) {
    ASSERT_TRUE(QFile::copy(kDataDir + "/qvl.bmp", path("qvl.bmp")));
    const QByteArray companion = readBytes(kDataDir + "/qvl@2x.bmp");
    QImage wrongWidth(739, 760, QImage::Format_RGB888), wrongHeight(740, 759, QImage::Format_RGB888);
    wrongWidth.fill(Qt::white);
    wrongHeight.fill(Qt::white);
    const std::function<void()> companions[] = {
        [] {},
        [&] { ASSERT_TRUE(wrongWidth.save(path("qvl@2x.bmp"), "BMP")); },
        [&] { ASSERT_TRUE(wrongHeight.save(path("qvl@2x.bmp"), "BMP")); },
        [&] { writeBytes(path("qvl@2x.bmp"), companion.chopped(100)); },
        [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path("qvl@2x.bmp")).constData(), 0600), 0); },  // must not block
    };
    for (size_t i = 0; i < std::size(companions); ++i) {
        SCOPED_TRACE(i);
        QFile::remove(path("qvl@2x.bmp"));
        companions[i]();
        FrmMain& frm = start();
        EXPECT_TRUE(tk.messages.empty());
        for (const ImageControl* image : {frm.imgPieces[0], frm.imgCong, frm.imgTitle}) {
            EXPECT_EQ(image->picture().devicePixelRatio(), 1.0);
        }
        EXPECT_EQ(frm.imgPieces[0]->picture().size(), QSize(120, 120));
        EXPECT_EQ(rgbAt(frm.imgPieces[0]->picture(), 60, 60), qRgb(208, 39, 49));
        this->frm.reset();
    }
}

TEST_F(SkinHiDpi, AboutPictureIsDrawnAtDoubleResolution) {
    copyShippedSkins();
    FrmMain& main = start();
    FrmAbout about(main, tk, main.piclipSkin, main.imgPieces);
    const QPixmap picture = about.imgTamberlo->pixmap();
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    EXPECT_EQ(picture.size(), QSize(104, 116));
}

}  // namespace
