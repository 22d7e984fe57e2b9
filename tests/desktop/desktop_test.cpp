// Window tests that need a real X server and window manager (run_on_xvfb.sh
// starts Xvfb and openbox): real frames, focus changes, mouse grabs and
// closes. xdotool drives mouse and keyboard, so events arrive as a player's.
#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDialog>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <iostream>

#include "gamefixture.h"

namespace {

// Runs an X tool and returns what it printed.
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000)) ADD_FAILURE() << program.toStdString() << " did not finish";
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The frame openbox drew around a top-level window, in screen pixels: the
// client window's place and size from the X server, widened by the frame
// extents the window manager announced. Empty while the window is unframed.
QRect frameByWindowManager(const QWidget& window) {
    const QString id = QString::number(window.winId());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                                          .match(run(QStringLiteral("xprop"), {"-id", id, "_NET_FRAME_EXTENTS"}));
    const int left = m.captured(1).toInt(), right = m.captured(2).toInt();
    const int top = m.captured(3).toInt(), bottom = m.captured(4).toInt();
    if (left + right + top + bottom == 0) return {};
    const QString info = run(QStringLiteral("xwininfo"), {"-id", id});
    const auto field = [&info](const QString& label) {
        const QRegularExpressionMatch f = QRegularExpression(label + QStringLiteral(":\\s*(-?\\d+)")).match(info);
        return f.hasMatch() ? f.captured(1).toInt() : -99999;
    };
    return {field("Absolute upper-left X") - left, field("Absolute upper-left Y") - top,
            field("Width") + left + right, field("Height") + top + bottom};
}

// Waits until the window manager has framed `window` and the frame has
// settled (the program re-centres once the frame is known); returns it.
QRect waitForFrame(const QWidget& window) {
    QRect frame, settled;
    for (int i = 0; i < 100 && (frame = frameByWindowManager(window)).isEmpty(); ++i) QTest::qWait(20);
    EXPECT_FALSE(frame.isEmpty()) << "the window manager never framed the window";
    for (int i = 0; i < 50 && (QTest::qWait(40), settled = frameByWindowManager(window)) != frame; ++i) frame = settled;
    return settled;
}

void xdotool(const QStringList& args) {
    run(QStringLiteral("xdotool"), args);
    QTest::qWait(100);
}

// Every place the main window's client area had while shown: where it was
// put when it showed, then each place the X server reported. And where the
// last dialog's frame was to go when it showed.
class PlaceLog : public QObject {
public:
    std::vector<QPoint> places;
    QPoint dialogShownAt;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<FrmMain*>(watched);
        if (window != nullptr && window->isVisible() &&
            (event->type() == QEvent::Show || event->type() == QEvent::Move))
            places.push_back(window->geometry().topLeft());
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog != nullptr && event->type() == QEvent::Show) dialogShownAt = dialog->pos();
        return false;
    }
};

}  // namespace

class DesktopTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        tk.screenWidth = 1280 * 15;  // the Xvfb screen at 15 twips per pixel
        tk.screenHeight = 1024 * 15;
        qApp->installEventFilter(&placeLog);
        start();
        frame = waitForFrame(*frm);
        activate(*frm);
        startLevel(0);
    }

    void activate(QWidget& window) {
        xdotool({"windowactivate", "--sync", QString::number(window.winId())});
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }, 2000));
    }

    // Moves the real pointer to the centre of board cell (col, row).
    void pointerTo(int col, int row) {
        const QPoint at = frm->centralWidget()->mapToGlobal(cellCentre(col, row));
        xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
    }

    void press(int col, int row, const char* button = "1") {
        pointerTo(col, row);
        xdotool({"mousedown", button});
    }

    // Left button down on piece 9 of the Easy level, pointer on the cell to its left.
    void grabNineAndMoveLeft() {
        press(3, 4);
        pointerTo(2, 4);
        ASSERT_TRUE(frm->game().drag().dragging);
    }

    // Piece 9 on its start cell (3, 4), nothing counted.
    void expectPieceNineUntouched() {
        EXPECT_EQ(frm->imgPieces[9]->pos(), QPoint(60 * 3 + 30, 60 * 4 + 30));
        EXPECT_EQ(frm->game().board().at(3, 4), 9);
        EXPECT_EQ(frm->game().board().at(2, 4), -1);
        EXPECT_EQ(frm->game().pieces()[9].col, 3);
        EXPECT_FALSE(frm->game().drag().dragging);
        EXPECT_EQ(frm->MousePointer(), 0);
        EXPECT_FALSE(frm->game().steps() || frm->game().gameModified());
    }

    QRect frame;
    PlaceLog placeLog;
};

TEST_F(DesktopTest, WindowsAreCentredByTheirFrames) {
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_GT(frame.height(), frm->geometry().height()) << "the window manager draws a title bar";
    EXPECT_EQ(frame.left(), (1280 - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (1024 - frame.height()) / 2);
    EXPECT_EQ(frm->frameGeometry(), frame) << "the program's outer size is the frame the window manager drew";
    // Mapped at its final place where the window manager tells the frame beforehand.
    const auto& places = placeLog.places;
    const auto moves = std::count_if(places.begin(), places.end(), [&](QPoint p) { return p != places.front(); });
    if (run(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTED"}).contains("_NET_REQUEST_FRAME_EXTENTS")) {
        EXPECT_EQ(moves, 0) << "the window moved after it showed";
    }
    // The level chooser and the About box, over the main window.
    for (QAction* opener : {frm->mnuNewGame, frm->mnuAbout}) {
        QRect dialogFrame;
        tk.modalScripts.push_back([&dialogFrame](QDialog& dialog) {
            dialogFrame = waitForFrame(dialog);
            dialog.reject();
        });
        opener->trigger();
        ASSERT_FALSE(dialogFrame.isEmpty()) << opener->text().toStdString();
        EXPECT_EQ(dialogFrame.left(), frame.left() + (frame.width() - dialogFrame.width()) / 2);
        EXPECT_EQ(dialogFrame.top(), frame.top() + (frame.height() - dialogFrame.height()) / 2);
        // Its frame, like the main window's, was put there before it mapped.
        EXPECT_EQ(placeLog.dialogShownAt, dialogFrame.topLeft()) << "the dialog moved after it showed";
    }
}

// A window manager too busy to frame the window at once, stopped for a
// moment as the game starts: the window is centred when its frame comes.
class BusyWindowManagerTest : public DesktopTest {
protected:
    void SetUp() override {
        if (wm <= 0) GTEST_SKIP() << "the runner names no window manager process";
        ASSERT_EQ(::kill(wm, SIGSTOP), 0);
        QTimer::singleShot(500, [this] { ::kill(wm, SIGCONT); });
        DesktopTest::SetUp();
    }
    void TearDown() override {
        if (wm > 0) ::kill(wm, SIGCONT);
        DesktopTest::TearDown();
    }
    const pid_t wm = qEnvironmentVariableIntValue("QUORVALE_WM_PID");
};

TEST_F(BusyWindowManagerTest, WindowIsCentredWhenItsFrameComesLate) {
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_EQ(frame.left(), (1280 - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (1024 - frame.height()) / 2);
}

TEST_F(DesktopTest, DragCutOffByTheFileMenu) {
    grabNineAndMoveLeft();
    ASSERT_EQ(frm->imgPieces[9]->pos(), QPoint(60 * 2 + 30, 60 * 4 + 30));
    xdotool({"key", "alt+f"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return frm->mnuFile->isVisible(); }, 2000));
    xdotool({"mouseup", "1"});
    expectPieceNineUntouched();
    xdotool({"key", "Escape", "Escape"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->mnuFile->isVisible(); }, 2000));

    // Piece 8 slides two cells right, through where 9's picture was left
    // behind; a real drag still counts.
    press(0, 4);
    pointerTo(1, 4);
    pointerTo(2, 4);
    xdotool({"mouseup", "1"});
    EXPECT_EQ(frm->game().board().at(2, 4), 8);
    EXPECT_EQ(frm->game().board().at(0, 4), -1);
    EXPECT_EQ(frm->game().steps(), 1);
}

TEST_F(DesktopTest, DragCutOffByAnotherWindow) {
    QWidget other;
    other.setGeometry(20, 20, 200, 100);
    other.show();
    waitForFrame(other);
    activate(*frm);
    grabNineAndMoveLeft();
    xdotool({"windowactivate", QString::number(other.winId())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->isActiveWindow(); }, 2000));
    xdotool({"mouseup", "1"});
    expectPieceNineUntouched();
}

TEST_F(DesktopTest, LeftPressWhileTheRightButtonIsHeldStartsNothing) {
    // The right button held on piece 9, the left pressed over the empty cell
    // to its left: the press goes to piece 9, from outside its image.
    press(3, 4, "3");
    press(2, 4);
    EXPECT_FALSE(frm->game().drag().dragging);
    pointerTo(1, 4);
    xdotool({"mouseup", "1"});
    xdotool({"mouseup", "3"});
    expectPieceNineUntouched();
    grabNineAndMoveLeft();
    xdotool({"mouseup", "1"});
    EXPECT_EQ(frm->game().steps(), 1) << "the next drag works as ever";
}

TEST_F(DesktopTest, CloseThroughTheWindowManagerRunsTheClosingRule) {
    grabNineAndMoveLeft();
    xdotool({"mouseup", "1"});
    ASSERT_TRUE(frm->game().gameModified());
    const QString id = QString::number(frm->winId());

    tk.messageAnswers = {MsgResult::Cancel};
    run(QStringLiteral("wmctrl"), {"-i", "-c", id});
    ASSERT_TRUE(QTest::qWaitFor([&] { return tk.messages.size() == 1; }, 3000));
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Exit");
    QTest::qWait(100);
    EXPECT_TRUE(frm->isVisible() && frm->isVisible()) << "Cancel keeps the window";

    tk.messageAnswers = {MsgResult::No};
    run(QStringLiteral("wmctrl"), {"-i", "-c", id});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->isVisible(); }, 3000));
    EXPECT_EQ(tk.messages.size(), 2u);
    EXPECT_FALSE(frm->isVisible());
}

// A stand-in GNOME session manager and screen saver on the test's private
// session bus: the desktop portal's GTK backend hands logout inhibitors on to
// them. Each call is logged as text.
class StandInSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
public:
    QStringList calls;

public slots:
    QDBusObjectPath RegisterClient(const QString&, const QString&) {
        return QDBusObjectPath(QStringLiteral("/org/gnome/SessionManager/Client1"));
    }
    uint Inhibit(const QString&, uint, const QString& reason, uint flags) {
        calls << QStringLiteral("Inhibit %1, flags %2").arg(reason).arg(flags);
        return ++cookie;
    }
    void Uninhibit(uint cookie) { calls << QStringLiteral("Uninhibit %1").arg(cookie); }

private:
    uint cookie = 0;
};

class StandInScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.ScreenSaver")
public slots:
    bool GetActive() { return false; }
};

// Runs on a private session bus where the desktop portal starts on demand
// with its GTK backend: on Xvfb, and on weston with Qt's Wayland plugin. The
// moves are Qt's own mouse events, so the test needs no X tools.
class PortalTest : public GameTest {
protected:
    void SetUp() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.isConnected()) << "no session bus";
        for (auto [name, object] : {std::pair<QString, QObject*>{"SessionManager", &session}, {"ScreenSaver", &screenSaver}})
            ASSERT_TRUE(bus.registerObject("/org/gnome/" + name, object, QDBusConnection::ExportAllSlots) &&
                        bus.registerService("org.gnome." + name));
        // The GTK backend looks for the session manager only when it starts.
        // Qt 6.5 and later ask the portal for settings while the application
        // starts, before the stand-ins above were there: end the portal and
        // its backend, so the game's first request starts them anew.
        for (const char* name : {"org.freedesktop.impl.portal.desktop.gtk", "org.freedesktop.portal.Desktop"}) {
            const QDBusReply<uint> pid = bus.interface()->servicePid(name);
            if (!pid.isValid()) continue;
            ::kill(static_cast<pid_t>(pid.value()), SIGTERM);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !bus.interface()->isServiceRegistered(name).value(); }, 5000)) << name;
        }
        GameTest::SetUp();
        std::cout << "[ platform ] " << QGuiApplication::platformName().toStdString() << "\n";
        start();
        startLevel(0);
    }

    StandInSession session;
    StandInScreenSaver screenSaver;
};

// A completed move takes a logout inhibitor; saving drops it, even when the
// portal answers only after the save; the next move takes one again and
// closing the game drops that.
TEST_F(PortalTest, UnsavedGameHoldsOffALogout) {
    const struct { const char* step; std::function<void()> act; QStringList calls; } steps[] = {
        {"move", [this] { dragPiece(9, {30, 30}, {cellCentre(2, 4)}); }, {"Inhibit An unsaved game, flags 1"}},
        {"save", [this] { tk.inputAnswers = {"portal"}; frm->mnuSaveGame->trigger(); }, {"Uninhibit 1"}},
        {"move back, saved before the portal answers",
         [this] {
             const QDBusReply<uint> portal =
                 QDBusConnection::sessionBus().interface()->servicePid("org.freedesktop.portal.Desktop");
             ASSERT_TRUE(portal.isValid() && ::kill(static_cast<pid_t>(portal.value()), SIGSTOP) == 0);
             dragPiece(9, {30, 30}, {cellCentre(3, 4)});
             QTest::qWait(100);
             tk.inputAnswers = {"late"};
             frm->mnuSaveGame->trigger();
             ::kill(static_cast<pid_t>(portal.value()), SIGCONT);
         },
         {"Inhibit An unsaved game, flags 1", "Uninhibit 2"}},
        {"move again", [this] { dragPiece(9, {30, 30}, {cellCentre(2, 4)}); }, {"Inhibit An unsaved game, flags 1"}},
        {"close", [this] { tk.messageAnswers = {MsgResult::No}; frm->close(); }, {"Uninhibit 3"}},
    };
    for (const auto& s : steps) {
        session.calls.clear();
        s.act();
        (void)QTest::qWaitFor([&] { return session.calls.size() >= s.calls.size(); }, 15000);
        QTest::qWait(200);
        EXPECT_EQ(session.calls.join(" | ").toStdString(), s.calls.join(" | ").toStdString()) << s.step;
    }
}

#include "desktop_test.moc"
