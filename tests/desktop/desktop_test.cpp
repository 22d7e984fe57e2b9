// Window tests that need a real X server and window manager (run_on_xvfb.sh
// starts Xvfb and one of several window managers, or weston): real frames,
// focus changes, mouse grabs and closes. xdotool drives mouse and keyboard,
// so events arrive as a player's.
#include <xcb/xcb.h>

#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <iostream>
#include <thread>

#include "gamefixture.h"

namespace {

// Runs an X tool and returns what it printed.
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000)) ADD_FAILURE() << program.toStdString() << " did not finish";
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The test's own connection to the X server, to see what the window manager
// did: the frames it drew, and every map and move of the windows at the top
// of the tree (frames, or windows nothing frames), in order, from the moment
// the connection was made.
class XServer {
public:
    XServer() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        const char* name = "_NET_FRAME_EXTENTS";
        auto* reply = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, std::strlen(name), name), nullptr);
        extents_ = reply->atom;
        std::free(reply);
    }
    ~XServer() { xcb_disconnect(c_); }

    // The frame the window manager drew around `window`, in screen pixels:
    // the window's place and size grown by the _NET_FRAME_EXTENTS it set
    // (zeros: no frame). Empty while it has set none, or only a frame
    // smaller than the window (KWin's 1 x 1 frame of a window being framed).
    QRect frameOf(const QWidget& window) {
        const auto id = static_cast<xcb_window_t>(window.winId());
        auto* e = xcb_get_property_reply(c_, xcb_get_property(c_, 0, id, extents_, XCB_ATOM_CARDINAL, 0, 4), nullptr);
        auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, id), nullptr);
        auto* t = xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, id, root_, 0, 0), nullptr);
        QRect frame;
        if (e != nullptr && g != nullptr && t != nullptr && xcb_get_property_value_length(e) == 16) {
            const auto* v = static_cast<const std::int32_t*>(xcb_get_property_value(e));  // left, right, top, bottom
            if (std::min({v[0], v[1], v[2], v[3]}) >= 0)
                frame = QRect(t->dst_x, t->dst_y, g->width, g->height).marginsAdded(QMargins(v[0], v[2], v[1], v[3]));
        }
        std::free(e), std::free(g), std::free(t);
        return frame;
    }

    // Each place the top of the tree holding `window` had from the moment it
    // was last mapped. KWin maps a new window in a 1 x 1 frame at 0,0 and
    // gives the frame its size and place before it draws anything there: a
    // top smaller than the window is not a place the window was seen at.
    std::vector<QPoint> placesSinceMapped(const QWidget& window) {
        for (xcb_generic_event_t* e; (e = xcb_poll_for_event(c_)) != nullptr; std::free(e)) {
            const auto type = e->response_type & 0x7F;
            if (type == XCB_MAP_NOTIFY) events_.push_back({reinterpret_cast<xcb_map_notify_event_t*>(e)->window, true, {}});
            if (type == XCB_CREATE_NOTIFY) {
                const auto* c = reinterpret_cast<xcb_create_notify_event_t*>(e);
                events_.push_back({c->window, false, QRect(c->x, c->y, c->width, c->height)});
            }
            if (type == XCB_CONFIGURE_NOTIFY) {
                const auto* c = reinterpret_cast<xcb_configure_notify_event_t*>(e);
                events_.push_back({c->window, false, QRect(c->x, c->y, c->width, c->height)});
            }
        }
        const xcb_window_t top = topOf(static_cast<xcb_window_t>(window.winId()));
        std::vector<QPoint> places;
        QRect geometry;
        for (const Event& e : events_) {
            if (e.window != top) continue;
            if (e.mapped) places.clear();
            else geometry = e.geometry;
            const bool seen = geometry.width() >= window.width() && geometry.height() >= window.height();
            if (seen && (places.empty() || places.back() != geometry.topLeft())) places.push_back(geometry.topLeft());
        }
        return places;
    }

private:
    xcb_window_t topOf(xcb_window_t window) {
        for (;;) {
            auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr);
            const xcb_window_t parent = tree != nullptr ? tree->parent : root_;
            std::free(tree);
            if (parent == root_) return window;
            window = parent;
        }
    }

    struct Event {
        xcb_window_t window;
        bool mapped;
        QRect geometry;
    };
    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t extents_;
    std::vector<Event> events_;
};

// Waits until the window manager has framed `window` and the frame has
// settled; returns it.
QRect waitForFrame(XServer& x, const QWidget& window) {
    QRect frame, settled;
    for (int i = 0; i < 100 && (frame = x.frameOf(window)).isEmpty(); ++i) QTest::qWait(20);
    EXPECT_FALSE(frame.isEmpty()) << "the window manager never framed the window";
    for (int i = 0; i < 50 && (QTest::qWait(100), settled = x.frameOf(window)) != frame; ++i) frame = settled;
    return settled;
}

// `inner` centred on `outer` within 2 pixels, as the window manager rounds.
void expectCentred(const QRect& inner, const QRect& outer, const char* what) {
    EXPECT_NEAR(inner.left(), outer.left() + (outer.width() - inner.width()) / 2, 2) << what;
    EXPECT_NEAR(inner.top(), outer.top() + (outer.height() - inner.height()) / 2, 2) << what;
}

void xdotool(const QStringList& args) {
    run(QStringLiteral("xdotool"), args);
    QTest::qWait(100);
}

}  // namespace

class DesktopTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        tk.screenWidth = 1280 * 15;  // the Xvfb screen at 15 twips per pixel
        tk.screenHeight = 1024 * 15;
        start();
        frame = waitForFrame(x, *frm);
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

    XServer x;
    QRect frame;
};

TEST_F(DesktopTest, WindowsAreCentredByTheirFrames) {
    ASSERT_FALSE(frame.isEmpty());
    if (!qgetenv("QUORVALE_WM").startsWith("stand-in")) {
        EXPECT_GT(frame.height(), frm->geometry().height()) << "the window manager draws a title bar";
    }
    expectCentred(frame, QRect(0, 0, 1280, 1024), "the main window");
    EXPECT_EQ(frm->frameGeometry(), frame) << "the program's outer size is the frame the window manager drew";
    EXPECT_EQ(x.placesSinceMapped(*frm).size(), 1u) << "the main window moved after it was mapped";
    // The level chooser and the About box, over the main window.
    for (QAction* opener : {frm->mnuNewGame, frm->mnuAbout}) {
        QRect dialogFrame;
        std::size_t places = 0;
        tk.modalScripts.push_back([&](QDialog& dialog) {
            dialogFrame = waitForFrame(x, dialog);
            places = x.placesSinceMapped(dialog).size();
            dialog.reject();
        });
        opener->trigger();
        const std::string title = opener->text().toStdString();
        ASSERT_FALSE(dialogFrame.isEmpty()) << title;
        expectCentred(dialogFrame, frame, title.c_str());
        EXPECT_EQ(places, 1u) << title << " moved after it was mapped";
    }
    // A window manager that answers the frame request at once, or never, or
    // with zeros, is not waited for (the stand-in prints how long it was).
    QFile log(qEnvironmentVariable("QUORVALE_WM_LOG"));
    if (!qgetenv("QUORVALE_WM").startsWith("stand-in") || !log.open(QIODevice::ReadOnly)) return;
    int asked = 0;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QRegularExpressionMatch m = QRegularExpression(" (\\d+) ms after its frame request").match(line);
        if (!m.hasMatch()) continue;
        ++asked;
        EXPECT_LT(m.captured(1).toInt(), 100) << line.toStdString();
    }
    EXPECT_GE(asked, 1) << "no window asked for its frame";
}

// A window manager too busy to frame the window at once, stopped for a
// moment as the game starts: the window is centred when its frame comes.
class BusyWindowManagerTest : public DesktopTest {
protected:
    void SetUp() override {
        if (wm <= 0) GTEST_SKIP() << "the runner names no window manager process";
        ASSERT_EQ(::kill(wm, SIGSTOP), 0);
        // Woken from a thread of its own: a window manager stopped while it
        // held the X server would keep the test's own event loop waiting.
        waker = std::thread([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            ::kill(wm, SIGCONT);
        });
        DesktopTest::SetUp();
    }
    void TearDown() override {
        if (waker.joinable()) waker.join();
        DesktopTest::TearDown();
    }
    const pid_t wm = qEnvironmentVariableIntValue("QUORVALE_WM_PID");
    std::thread waker;
};

TEST_F(BusyWindowManagerTest, WindowIsCentredWhenItsFrameComesLate) {
    ASSERT_FALSE(frame.isEmpty());
    expectCentred(frame, QRect(0, 0, 1280, 1024), "the main window");
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
    waitForFrame(x, other);
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

// The game as a player starts it on a Wayland desktop (weston, with
// XWayland: run_on_xvfb.sh with QUORVALE_WM=weston), with no Qt platform
// chosen: it comes up through XWayland, and weston shows its frame centred.
// Where weston shows a window is seen only on its screen (its X11 side keeps
// every frame at 0,0), so the frame is found in a screenshot: the pixels
// brighter than the plain dark background run_on_xvfb.sh gives weston (the
// window's shadow only darkens it).
class WestonTest : public ::testing::Test {
protected:
    QImage screenshot() {
        QTemporaryDir shots;
        QProcess shooter;
        shooter.setWorkingDirectory(shots.path());
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        EXPECT_TRUE(shooter.waitForFinished(5000) && shooter.exitCode() == 0) << "weston-screenshooter failed";
        const QStringList taken = QDir(shots.path()).entryList({"*.png"});
        return taken.isEmpty() ? QImage() : QImage(shots.filePath(taken.front())).convertToFormat(QImage::Format_RGB32);
    }

    static QRect drawn(const QImage& screen) {
        QRect drawn;
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                const QRgb is = screen.pixel(x, y);
                if (qRed(is) > 0x20 + 24 || qGreen(is) > 0x30 + 24 || qBlue(is) > 0x40 + 24) drawn |= QRect(x, y, 1, 1);
            }
        }
        return drawn;
    }
};

TEST_F(WestonTest, GameComesUpCentredThroughXWayland) {
    const QString game = qEnvironmentVariable("QUORVALE_GAME");
    ASSERT_FALSE(game.isEmpty()) << "QUORVALE_GAME names no game";
    ASSERT_EQ(drawn(screenshot()), QRect()) << "weston's screen is not empty";
    QProcess quorvale;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the test's own choice, not the player's
    quorvale.setProcessEnvironment(env);
    quorvale.start(game, {});
    QString id;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        id = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", "^Quorvale$"}).trimmed();
        return !id.isEmpty();
    }, 10000)) << "no X window: the game did not come up through XWayland";
    QRect frame, settled;
    for (int i = 0; i < 20 && (frame.isEmpty() || settled != frame); ++i) {
        frame = settled;
        QTest::qWait(200);
        settled = drawn(screenshot());
    }
    quorvale.terminate();
    quorvale.waitForFinished(5000);
    ASSERT_FALSE(frame.isEmpty()) << "weston drew no window";
    std::cout << "[ frame    ] " << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height() << "\n";
    EXPECT_TRUE(frame.width() > 408 && frame.width() < 500) << "a frame around the window alone";
    expectCentred(frame, QRect(0, 0, 1280, 1024), "the main window");
}

// The real program started where its level file is missing: it says so, and
// once the player has closed the message through the window manager it
// ends, with a failure status, instead of living on without a window.
TEST(StartUpFailureTest, ClosingTheMessageEndsTheProgram) {
    const QString game = qEnvironmentVariable("QUORVALE_GAME");
    ASSERT_FALSE(game.isEmpty()) << "QUORVALE_GAME names no game";
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(game, folder.filePath("quorvale")));
    QFile(folder.filePath("quorvale")).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess quorvale;
    // A sanitized game with the slow unwinder the window tests use takes
    // seconds to start on a busy machine; leaks are not this test's matter.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=1:detect_leaks=0");
    quorvale.setProcessEnvironment(env);
    quorvale.start(folder.filePath("quorvale"), {});
    QString box;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        box = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", "^Quorvale - Error$"}).trimmed();
        return !box.isEmpty();
    }, 30000)) << "no error message";
    run(QStringLiteral("wmctrl"), {"-i", "-c", box});
    const bool ended = quorvale.waitForFinished(5000);
    if (!ended) quorvale.kill();
    EXPECT_TRUE(ended) << "the program lives on without a window";
    EXPECT_NE(quorvale.exitCode(), 0);
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
        // Every request to inhibit, as the bus carries it to the portal.
        monitor.start(QStringLiteral("dbus-monitor"),
                      {"--session", "type=method_call,interface=org.freedesktop.portal.Inhibit,member=Inhibit"});
        const auto listening = [this] { return monitor.peek(4096).contains("NameLost"); };
        ASSERT_TRUE(QTest::qWaitFor([&] { return listening() || (monitor.waitForReadyRead(50) && listening()); }, 5000));
        GameTest::SetUp();
        std::cout << "[ platform ] " << QGuiApplication::platformName().toStdString() << "\n";
        start();
        startLevel(0);
    }

    void TearDown() override {
        GameTest::TearDown();
        monitor.kill();
        monitor.waitForFinished();
    }

    StandInSession session;
    StandInScreenSaver screenSaver;
    QProcess monitor;
};

// A completed move takes a logout inhibitor; saving drops it, even when the
// portal answers only after the save; the next move takes one again and
// closing the game drops that. Each request to the portal names the game's
// window on X11; Qt's Wayland plugin has no name to give (the GTK backend
// passes no window on to the session manager, so the bus is watched).
TEST_F(PortalTest, UnsavedGameHoldsOffALogout) {
    const QString inhibit = QStringLiteral("Inhibit An unsaved game, flags 1");
    const QString window = QGuiApplication::platformName() == "xcb" ? "x11:" + QString::number(frm->winId(), 16) : "";
    const struct { const char* step; std::function<void()> act; QStringList calls; } steps[] = {
        {"move", [this] { dragPiece(9, {30, 30}, {cellCentre(2, 4)}); }, {inhibit}},
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
         {inhibit, "Uninhibit 2"}},
        {"move again", [this] { dragPiece(9, {30, 30}, {cellCentre(2, 4)}); }, {inhibit}},
        {"close", [this] { tk.messageAnswers = {MsgResult::No}; frm->close(); }, {"Uninhibit 3"}},
    };
    for (const auto& s : steps) {
        session.calls.clear();
        s.act();
        (void)QTest::qWaitFor([&] { return session.calls.size() >= s.calls.size(); }, 15000);
        QTest::qWait(200);
        EXPECT_EQ(session.calls.join(" | ").toStdString(), s.calls.join(" | ").toStdString()) << s.step;
    }
    const QStringList named = QString::fromUtf8(monitor.readAllStandardOutput())
                                  .split(QRegularExpression("member=Inhibit\\n\\s*string \""))
                                  .mid(1)
                                  .replaceInStrings(QRegularExpression("\"\\n[\\s\\S]*"), "");
    EXPECT_EQ(named, QStringList({window, window, window})) << "the windows the portal was asked about";
}

#include "desktop_test.moc"
