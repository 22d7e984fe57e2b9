// The window tests that only a real desktop can run: an X server with a
// window manager (run_on_xvfb.sh starts Xvfb and openbox), real frames,
// real focus changes, real mouse grabs and closes through the frame. The
// mouse and keyboard are driven through the X server with xdotool, so the
// events arrive exactly as a player's would.
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

#include "gamefixture.h"
#include "levels/frmlevel.h"
#include "ui/frmabout.h"

namespace {

// Runs an X tool and returns what it printed.
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000)) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        p.kill();
        p.waitForFinished();
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

int field(const QString& text, const QString& label) {
    const QRegularExpression re(QRegularExpression::escape(label) + QStringLiteral(":\\s*(-?\\d+)"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -99999;
}

// The frame openbox drew around a top-level window, in screen pixels: the
// client window's place and size from the X server, widened by the frame
// extents the window manager announced. Empty while the window is unframed.
QRect frameByWindowManager(const QWidget& window) {
    const QString id = QString::number(window.winId());
    const QString extents = run(QStringLiteral("xprop"), {"-id", id, "_NET_FRAME_EXTENTS"});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
    if (!m.hasMatch()) return {};
    const int left = m.captured(1).toInt(), right = m.captured(2).toInt();
    const int top = m.captured(3).toInt(), bottom = m.captured(4).toInt();
    if (left + right + top + bottom == 0) return {};
    const QString info = run(QStringLiteral("xwininfo"), {"-id", id});
    return {field(info, "Absolute upper-left X") - left, field(info, "Absolute upper-left Y") - top,
            field(info, "Width") + left + right, field(info, "Height") + top + bottom};
}

// Waits until the window manager has framed `window` and the program has had
// time to answer; returns the frame.
QRect waitForFrame(const QWidget& window) {
    QRect frame;
    for (int i = 0; i < 100 && (frame = frameByWindowManager(window)).isEmpty(); ++i) QTest::qWait(20);
    EXPECT_FALSE(frame.isEmpty()) << "the window manager never framed the window";
    // The program re-centres once the frame is known; then the frame stays.
    QRect settled;
    for (int i = 0; i < 50; ++i) {
        QTest::qWait(40);
        settled = frameByWindowManager(window);
        if (settled == frame) break;
        frame = settled;
    }
    return settled;
}

void xdotool(const QStringList& args) {
    run(QStringLiteral("xdotool"), args);
    QTest::qWait(100);
}

void pointerTo(QPoint global) {
    xdotool({"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())});
}

}  // namespace

class DesktopTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        // The Xvfb screen: 1280 x 1024 pixels at 15 twips per pixel.
        tk.screenWidth = 1280 * 15;
        tk.screenHeight = 1024 * 15;
        start();
        frame = waitForFrame(*frm);
        activate(*frm);
    }

    void activate(QWidget& window) {
        xdotool({"windowactivate", "--sync", QString::number(window.winId())});
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }, 2000));
    }

    // Screen position of the centre of board cell (col, row).
    QPoint cellOnScreen(int col, int row) const { return frm->centralWidget()->mapToGlobal(cellCentre(col, row)); }

    // Each piece's cells hold its index at its recorded place, all others -1.
    ::testing::AssertionResult boardMatchesPieces() const {
        quorvale::Board expected;
        quorvale::clearBoard(expected);
        quorvale::Pieces copy = frm->pieces();
        for (int i = 0; i < quorvale::kPieceCount; ++i)
            quorvale::putPiece(expected, copy, i, copy[std::size_t(i)].col, copy[std::size_t(i)].row);
        if (expected.cells == frm->board().cells) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the board no longer matches the pieces";
    }

    // Piece 9 of the Easy level on its start cell (3, 4), nothing counted.
    void expectPieceNineUntouched() {
        EXPECT_EQ(frm->imgPieces[9]->pos(), QPoint(60 * 3 + 30, 60 * 4 + 30));
        EXPECT_EQ(frm->board().at(3, 4), 9);
        EXPECT_EQ(frm->board().at(2, 4), -1);
        EXPECT_FALSE(frm->drag.dragging);
        EXPECT_EQ(frm->MousePointer(), 0);
        EXPECT_EQ(frm->steps, 0);
        EXPECT_FALSE(frm->gameModified);
        EXPECT_TRUE(boardMatchesPieces());
    }

    // A whole drag of piece 9 one cell left with the real mouse.
    void dragNineLeft() {
        pointerTo(cellOnScreen(3, 4));
        xdotool({"mousedown", "1"});
        pointerTo(cellOnScreen(2, 4));
        xdotool({"mouseup", "1"});
    }

    QRect frame;
};

TEST_F(DesktopTest, MainWindowIsCentredByItsFrame) {
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_GT(frame.height(), frm->geometry().height()) << "openbox draws a title bar";
    EXPECT_EQ(frame.left(), (1280 - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (1024 - frame.height()) / 2);
    EXPECT_EQ(frm->frameGeometry(), frame) << "the program's outer size is the frame openbox drew";
}

TEST_F(DesktopTest, ChooserIsCentredOverTheMainWindowByItsFrame) {
    QRect chooserFrame;
    tk.modalScripts.push_back([&chooserFrame](QDialog& dialog) {
        chooserFrame = waitForFrame(dialog);
        dynamic_cast<FrmLevel&>(dialog).cmdCancel->click();
    });
    frm->mnuNewGame->trigger();
    ASSERT_FALSE(chooserFrame.isEmpty());
    EXPECT_EQ(chooserFrame.left(), frame.left() + (frame.width() - chooserFrame.width()) / 2);
    EXPECT_EQ(chooserFrame.top(), frame.top() + (frame.height() - chooserFrame.height()) / 2);
}

TEST_F(DesktopTest, AboutBoxIsCentredOverTheMainWindowByItsFrame) {
    QRect aboutFrame;
    tk.modalScripts.push_back([&aboutFrame](QDialog& dialog) {
        aboutFrame = waitForFrame(dialog);
        dynamic_cast<FrmAbout&>(dialog).cmdOk->click();
    });
    frm->mnuAbout->trigger();
    ASSERT_FALSE(aboutFrame.isEmpty());
    EXPECT_EQ(aboutFrame.left(), frame.left() + (frame.width() - aboutFrame.width()) / 2);
    EXPECT_EQ(aboutFrame.top(), frame.top() + (frame.height() - aboutFrame.height()) / 2);
}

TEST_F(DesktopTest, DragCutOffByTheFileMenu) {
    startLevel(0);
    pointerTo(cellOnScreen(3, 4));
    xdotool({"mousedown", "1"});
    pointerTo(cellOnScreen(2, 4));
    ASSERT_EQ(frm->imgPieces[9]->pos(), QPoint(60 * 2 + 30, 60 * 4 + 30));
    xdotool({"key", "alt+f"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return frm->mnuFile->isVisible(); }, 2000));
    xdotool({"mouseup", "1"});
    expectPieceNineUntouched();
    xdotool({"key", "Escape"});
    xdotool({"key", "Escape"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->mnuFile->isVisible(); }, 2000));

    // Another piece cannot slide under a picture left behind: piece 8 goes
    // two cells right, and a real drag still counts.
    pointerTo(cellOnScreen(0, 4));
    xdotool({"mousedown", "1"});
    pointerTo(cellOnScreen(1, 4));
    pointerTo(cellOnScreen(2, 4));
    xdotool({"mouseup", "1"});
    EXPECT_EQ(frm->board().at(2, 4), 8);
    EXPECT_EQ(frm->steps, 1);
    EXPECT_TRUE(boardMatchesPieces());
}

TEST_F(DesktopTest, DragCutOffByAnotherWindow) {
    startLevel(0);
    QWidget other;
    other.setWindowTitle(QStringLiteral("Other"));
    other.resize(200, 100);
    other.move(20, 20);
    other.show();
    waitForFrame(other);
    activate(*frm);

    pointerTo(cellOnScreen(3, 4));
    xdotool({"mousedown", "1"});
    pointerTo(cellOnScreen(2, 4));
    ASSERT_TRUE(frm->drag.dragging);
    xdotool({"windowactivate", QString::number(other.winId())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->isActiveWindow(); }, 2000));
    xdotool({"mouseup", "1"});
    expectPieceNineUntouched();
}

TEST_F(DesktopTest, LeftPressWhileTheRightButtonIsHeld) {
    startLevel(0);
    // The right button held on piece 9, the left pressed over the empty cell
    // to its left: the press goes to piece 9, from outside its image.
    pointerTo(cellOnScreen(3, 4));
    xdotool({"mousedown", "3"});
    pointerTo(cellOnScreen(2, 4));
    xdotool({"mousedown", "1"});
    EXPECT_FALSE(frm->drag.dragging);
    pointerTo(cellOnScreen(1, 4));
    xdotool({"mouseup", "1"});
    xdotool({"mouseup", "3"});
    expectPieceNineUntouched();
    const quorvale::Positions positions = quorvale::encodePositions(frm->pieces());
    EXPECT_EQ(quorvale::layoutProblem(positions), "");

    dragNineLeft();
    EXPECT_EQ(frm->board().at(2, 4), 9);
    EXPECT_EQ(frm->steps, 1);
}

TEST_F(DesktopTest, CloseThroughTheWindowManagerRunsTheClosingRule) {
    startLevel(0);
    dragNineLeft();
    ASSERT_TRUE(frm->gameModified);
    const QString id = QString::number(frm->winId());

    tk.messageAnswers = {MsgResult::Cancel};
    run(QStringLiteral("wmctrl"), {"-i", "-c", id});
    ASSERT_TRUE(QTest::qWaitFor([&] { return tk.messages.size() == 1; }, 3000));
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Exit");
    QTest::qWait(100);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_FALSE(frm->isUnloaded());

    tk.messageAnswers = {MsgResult::No};
    run(QStringLiteral("wmctrl"), {"-i", "-c", id});
    ASSERT_TRUE(QTest::qWaitFor([&] { return frm->isUnloaded(); }, 3000));
    EXPECT_EQ(tk.messages.size(), 2u);
    EXPECT_FALSE(frm->isVisible());
}
