// Start-up: the saved folder, the main window as it first appears, and the
// skin that every picture of the window is cut from.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "app/modmain.h"
#include "toolkit/session.h"
#include "gamefixture.h"

namespace {

// Skin regions in the fixture's order.
enum Region {
    kFrameTop = 0, kFrameLeft, kFrameRight, kFrameBottom, kTitle, kBanner, kSquare, kSecondSquare, kWide,
    kSecondSmall, kSmall, kTall1, kTall2, kTall3, kTall4
};

QRgb centreColour(const ImageControl* image) {
    const QImage picture = image->picture().toImage();
    return picture.pixel(picture.width() / 2, picture.height() / 2) & 0xFFFFFFu;
}

QRgb rgb(QRgb colour) { return colour & 0xFFFFFFu; }

}  // namespace

using StartupTest = GameTest;

TEST_F(StartupTest, WindowShowsOnlyMenuBarAndEmptyStatusLine) {
    FrmMain& frm = start();
    EXPECT_EQ(frm.windowTitle(), "Quorvale");
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.ScaleWidth(), 6120);
    EXPECT_EQ(frm.ScaleHeight(), 6075);

    // Every picture hidden; the status label visible with no text.
    for (ImageControl* image : frm.imgPieces) EXPECT_FALSE(image->Visible());
    for (ImageControl* image : {frm.imgUpFrame, frm.imgLeftFrame, frm.imgRightFrame, frm.imgExit, frm.imgTitle,
                                frm.imgCong}) {
        EXPECT_FALSE(image->Visible());
    }
    EXPECT_TRUE(frm.lblStatus->isVisible());
    EXPECT_EQ(frm.lblStatus->text(), "");
    int visibleChildren = 0;
    for (QWidget* child : frm.centralWidget()->findChildren<QWidget*>()) visibleChildren += child->isVisible();
    EXPECT_EQ(visibleChildren, 1);

    // The status line's place in twips.
    EXPECT_EQ(frm.lblStatus->geometry(), QRect(8, 376, 393, 25));

    EXPECT_FALSE(frm.mnuSaveGame->isEnabled());
    EXPECT_TRUE(frm.mnuNewGame->isEnabled());
    EXPECT_TRUE(frm.mnuLoadGame->isEnabled());
    EXPECT_EQ(frm.game().steps(), 0);
    EXPECT_FALSE(frm.game().gameModified());
    EXPECT_EQ(frm.absFilename, "qvl.bmp");
    EXPECT_TRUE(tk.messages.empty());
}

TEST_F(StartupTest, MenuBarHasTheTenItemsWithTheirAccessKeys) {
    FrmMain& frm = start();
    const QList<QAction*> top = frm.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0], frm.mnuFile->menuAction());
    EXPECT_EQ(top[1], frm.mnuHelp->menuAction());
    EXPECT_EQ(frm.mnuFile->title(), "&File");
    EXPECT_EQ(frm.mnuHelp->title(), "&Help");

    const QList<QAction*> file = frm.mnuFile->actions();
    ASSERT_EQ(file.size(), 5);
    EXPECT_EQ(file[0], frm.mnuNewGame);
    EXPECT_EQ(file[1], frm.mnuLoadGame);
    EXPECT_EQ(file[2], frm.mnuSaveGame);
    EXPECT_EQ(file[3], frm.mnuSep1);
    EXPECT_EQ(file[4], frm.mnuExit);
    EXPECT_EQ(frm.mnuNewGame->text(), "&New Game");
    EXPECT_EQ(frm.mnuLoadGame->text(), "&Load Game");
    EXPECT_EQ(frm.mnuSaveGame->text(), "&Save Game");
    EXPECT_TRUE(frm.mnuSep1->isSeparator());
    EXPECT_EQ(frm.mnuExit->text(), "E&xit");

    const QList<QAction*> help = frm.mnuHelp->actions();
    ASSERT_EQ(help.size(), 3);
    EXPECT_EQ(help[0], frm.mnuHTP);
    EXPECT_EQ(help[1], frm.mnuSep3);
    EXPECT_EQ(help[2], frm.mnuAbout);
    EXPECT_EQ(frm.mnuHTP->text(), "H&ow to Play");
    EXPECT_TRUE(frm.mnuSep3->isSeparator());
    EXPECT_EQ(frm.mnuAbout->text(), "&About");

    for (QAction* action : file + help) {
        EXPECT_TRUE(action->shortcut().isEmpty());
        EXPECT_FALSE(action->isCheckable());
        EXPECT_TRUE(action->isVisible());
    }
}

TEST_F(StartupTest, WindowIsCentredByItsOuterSize) {
    tk.screenWidth = 15360;
    tk.screenHeight = 11521;  // odd difference: the half is truncated
    FrmMain& frm = start();
    // Outer 412 x 428 pixels (408 x 405 client, 19 menu bar, 2 of frame all round):
    // (15360 - 6180) \ 2 and (11521 - 6420) \ 2.
    EXPECT_EQ(frm.Left(), 4590);
    EXPECT_EQ(frm.Top(), 2550);
    // The outer height includes the menu bar above the client area.
    EXPECT_GT(frm.Height(), frm.ScaleHeight());
    EXPECT_GE(frm.Width(), frm.ScaleWidth());
    EXPECT_EQ(frm.geometry().width(), 408);
}

// Wayland sessions go through XWayland first; the player's own choice stands.
TEST(PlatformChoice, WaylandSessionsAskForXWaylandFirst) {
    const struct { const char *chosen, *sessionType, *display, *platforms; } cases[] = {
        {"", "wayland", "", "xcb;wayland"},   {"", "x11", "wayland-1", "xcb;wayland"},
        {"", "x11", "", ""},                  {"", "", "", ""},
        {"wayland", "wayland", "wayland-0", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(session::platformsFor(c.chosen, c.sessionType, c.display), c.platforms) << c.sessionType << c.display;
}

TEST_F(StartupTest, SavedFolderIsCreatedOrLeftAsItIs) {
    start();
    EXPECT_TRUE(QFileInfo(path("saved")).isDir());
    frm.reset();

    // A folder with a game in it stays as it is.
    QFile game(path("saved") + "/mine.sav");
    ASSERT_TRUE(game.open(QIODevice::WriteOnly));
    game.write("0123456789");
    game.close();
    start();
    EXPECT_EQ(QDir(path("saved")).entryList(QDir::Files), QStringList{"mine.sav"});
    EXPECT_EQ(QFileInfo(path("saved") + "/mine.sav").size(), 10);
}

TEST_F(StartupTest, PlainFileNamedSavedIsLeftAloneAndTheWindowStillComesUp) {
    QFile plain(path("saved"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a folder");
    plain.close();
    FrmMain& frm = start();
    EXPECT_TRUE(QFileInfo(path("saved")).isFile());
    EXPECT_EQ(QFileInfo(path("saved")).size(), 12);
    EXPECT_TRUE(frm.isVisible());
}

// ---- Skin failures ----

class SkinFailureTest : public GameTest {
protected:
    // Runs the start-up expecting the skin to fail; checks the message and the end.
    void expectSkinFailure() {
        writeLevels(testLevels());
        runEntry();
        ASSERT_TRUE(tk.endRequested());
        EXPECT_NE(tk.exitCode(), 0);
        ASSERT_EQ(tk.messages.size(), 1u);
        const MessageCall& m = tk.messages[0];
        EXPECT_EQ(m.title, "Quorvale - ERROR");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.text, "An error has occurred while attempting to load picture \r\n" + path("qvl.bmp") +
                              "\r\nMake sure the picture exists and is of a correct format.");
        ASSERT_NE(frm, nullptr);
        EXPECT_TRUE(!frm->isVisible());
        EXPECT_FALSE(frm->isVisible());
        // The steps after the skin never ran.
        EXPECT_EQ(frm->absFilename, "qvl.bmp");
    }
};

TEST_F(SkinFailureTest, MissingSkin) { expectSkinFailure(); }

TEST_F(SkinFailureTest, FileThatIsNoPicture) {
    QFile file(path("qvl.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is not a bitmap at all");
    file.close();
    expectSkinFailure();
}

TEST_F(SkinFailureTest, SkinOnePixelTooNarrow) {
    writeSkin(369, 380);
    expectSkinFailure();
}

TEST_F(SkinFailureTest, SkinOnePixelTooShort) {
    writeSkin(370, 379);
    expectSkinFailure();
}

TEST_F(StartupTest, LargerSkinIsAccepted) {
    writeSkin(400, 420);
    FrmMain& frm = start();
    EXPECT_EQ(frm.imgCong->picture().size(), QSize(370, 40));
}

// ---- Sprites ----

TEST_F(StartupTest, EveryTargetGetsItsSpriteAtItsOwnSize) {
    FrmMain& frm = start();
    struct Expect {
        ImageControl* image;
        QSize size;
        int region;
    };
    const Expect expected[] = {
        {frm.imgUpFrame, {280, 20}, kFrameTop},     {frm.imgLeftFrame, {20, 300}, kFrameLeft},
        {frm.imgRightFrame, {20, 300}, kFrameRight}, {frm.imgExit, {280, 20}, kFrameBottom},
        {frm.imgTitle, {90, 340}, kTitle},          {frm.imgCong, {370, 40}, kBanner},
        {frm.imgPieces[0], {120, 120}, kSquare},    {frm.imgPieces[1], {120, 60}, kWide},
        {frm.imgPieces[2], {60, 120}, kTall1},      {frm.imgPieces[3], {60, 120}, kTall3},
        {frm.imgPieces[4], {60, 120}, kTall2},      {frm.imgPieces[5], {60, 120}, kTall4},
        {frm.imgPieces[6], {60, 60}, kSmall},       {frm.imgPieces[7], {60, 60}, kSmall},
        {frm.imgPieces[8], {60, 60}, kSmall},       {frm.imgPieces[9], {60, 60}, kSmall},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(e.image->picture().size(), e.size) << "region " << e.region;
        EXPECT_EQ(e.image->size(), e.size) << "region " << e.region;
        // The whole sprite is the region's colour: the rectangle was cut exactly.
        const QImage picture = e.image->picture().toImage();
        for (QPoint corner : {QPoint(0, 0), QPoint(picture.width() - 1, picture.height() - 1)}) {
            EXPECT_EQ(rgb(picture.pixel(corner)), rgb(testSkinColour(e.region))) << "region " << e.region;
        }
        EXPECT_EQ(e.image->Width(), e.size.width() * 15.0f);
        EXPECT_EQ(e.image->Height(), e.size.height() * 15.0f);
    }
    // Each small piece has a copy of its own.
    EXPECT_NE(frm.imgPieces[6]->picture().cacheKey(), frm.imgPieces[7]->picture().cacheKey());
    // The skin stays held, with the clip left at the small piece.
    const QImage kept = frm.piclipSkin.clipped().toImage();
    EXPECT_EQ(kept.size(), QSize(60, 60));
    EXPECT_EQ(rgb(kept.pixel(0, 0)), rgb(testSkinColour(10)));
}

TEST_F(StartupTest, SecondSpritesAreShownNowhere) {
    FrmMain& frm = start();
    std::vector<ImageControl*> all(frm.imgPieces.begin(), frm.imgPieces.end());
    all.insert(all.end(), {frm.imgUpFrame, frm.imgLeftFrame, frm.imgRightFrame, frm.imgExit, frm.imgTitle, frm.imgCong});
    for (ImageControl* image : all) {
        const QImage picture = image->picture().toImage();
        for (int y = 0; y < picture.height(); y += 5) {
            for (int x = 0; x < picture.width(); x += 5) {
                const QRgb c = rgb(picture.pixel(x, y));
                ASSERT_NE(c, rgb(testSkinColour(kSecondSquare)));
                ASSERT_NE(c, rgb(testSkinColour(kSecondSmall)));
            }
        }
    }
    EXPECT_EQ(centreColour(frm.imgPieces[0]), rgb(testSkinColour(kSquare)));
}

// With neither the level file nor the skin, the level file is read first and
// its failure ends the program: one message, and the skin is never tried.
TEST_F(StartupTest, NeitherDataFileGivesOnlyTheLevelFileMessage) {
    ASSERT_FALSE(QFile::exists(path("qvl.ZHN")));
    ASSERT_FALSE(QFile::exists(path("qvl.bmp")));
    runEntry();
    ASSERT_TRUE(tk.endRequested());
    EXPECT_NE(tk.exitCode(), 0);
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Error");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(tk.messages[0].text, "An error has occurred while attempting loading data file\r\n" + dir.path() +
                                       "/qvl.zhn\r\n53 File not found");
    ASSERT_NE(frm, nullptr);
    EXPECT_TRUE(!frm->isVisible());
    EXPECT_TRUE(frm->imgPieces[0]->picture().isNull());  // no sprite was cut
}
