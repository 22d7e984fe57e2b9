// The desktop's opener as the real toolkit runs it: a stand-in `xdg-open`
// first on PATH records its arguments and process id, then ends as told.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <gtest/gtest.h>

#include "app/frmmain.h"
#include "toolkit/qttoolkit.h"
#include "ui/frmabout.h"
#include "gamefixture.h"

namespace {

const QString kSite = QStringLiteral("https://quorvale.example.org/");
// The opener's verdict time in these tests (the game's is ten seconds).
constexpr std::chrono::milliseconds kVerdict(600);

class OpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every message box that comes up is recorded and answered with its
        // escape button (OK, or Cancel for the closing question).
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back({shown->windowTitle(), shown->text(), shown->parentWidget()});
                shown->escapeButton()->click();
            }
        });
        answerer.start(5);
    }
    void TearDown() override { qputenv("PATH", savedPath); }

    void standIn(const QByteArray& ending) {
        QFile file(bin.filePath("xdg-open"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + bin.filePath("args").toUtf8() + "'\necho $$ > '" +
                   bin.filePath("pid").toUtf8() + "'\n" + ending + "\n");
        file.close();
        ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        qputenv("PATH", bin.path().toUtf8() + ":" + savedPath);
    }
    // Waits until the stand-in has ended and been reaped, and its process
    // object is gone.
    void expectReaped() {
        QTRY_VERIFY(!recorded("pid").isEmpty());
        const QString proc = "/proc/" + QString(recorded("pid").trimmed());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(proc), 2000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QByteArray recorded(const char* name) const {
        QFile file(bin.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    struct Box {
        QString title, text;
        QWidget* owner;
    };
    std::vector<Box> boxes;
    QTimer answerer;
    QTemporaryDir bin;
    const QByteArray savedPath = qgetenv("PATH");
    QtToolkit toolkit{kVerdict};
};

// A local page goes to the opener as an escaped file URL.
TEST_F(OpenerTest, LocalPageGoesAsAFileUrl) {
    QTemporaryDir dir;
    const QString page = dir.filePath("my games/qvl.html");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("my games")) && QFile(page).open(QIODevice::WriteOnly));
    standIn("exit 0");
    EXPECT_GT(toolkit.shellOpen(nullptr, page, {}), 32);
    expectReaped();
    EXPECT_EQ(recorded("args"), "file://" + dir.path().toUtf8() + "/my%20games/qvl.html\n");
}

// Help > How to Play (or an About link) with each kind of opener: the call
// returns at once and the game takes a click straight away; a failure within
// the verdict time, and only then, brings the command's message, owned by
// the window that asked. A close request while the opener still runs gets
// the closing question.
TEST_F(OpenerTest, HelpNeverWaitsForTheOpener) {
    FrmMain window(toolkit, bin.path());  // saves nothing
    window.show();
    // The help page the toolkit finds beside the executable.
    const QString page = QCoreApplication::applicationDirPath() + "/qvl.html";
    const bool madePage = !QFileInfo::exists(page) && QFile(page).open(QIODevice::WriteOnly);
    QPushButton other("Other action");
    other.show();
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&] { ++clicks; });
    const struct { const char* name; QByteArray ending; bool told, fromAbout; } cases[] = {
        {"exit 0", "exit 0", false, false},
        {"exit 3", "exit 3", true, false},
        {"exit 3, About link", "exit 3", true, true},
        {"exit 4 within the verdict time", "sleep 0.03; exit 4", true, false},
        {"killed", "kill -9 $$", true, false},
        {"missing", "", true, false},
        {"exit 5 after the verdict time", "sleep 0.8; exit 5", false, false},
        {"sleeps forever", "exec sleep 600", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ending.isEmpty()) qputenv("PATH", bin.path().toUtf8() + "/none");
        else standIn(c.ending);
        QFile::remove(bin.filePath("pid"));
        boxes.clear();
        FrmAbout box(window, toolkit, window.piclipSkin, window.imgPieces);
        QWidget* asker = c.fromAbout ? static_cast<QWidget*>(&box) : &window;
        asker->show();
        QElapsedTimer clock;
        clock.start();
        c.fromAbout ? box.lblUpdates_Click() : window.mnuHTP->trigger();
        QTest::mouseClick(&other, Qt::LeftButton);
        EXPECT_LT(clock.elapsed(), kVerdict.count() / 2) << "a click taken that long after the command";
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "a busy pointer";
        const bool runs = c.ending.startsWith("exec sleep");
        // Told: the message comes; not told: the opener has ended and been
        // reaped, or the verdict time is over while it still runs.
        if (c.told) (void)QTest::qWaitFor([&] { return !boxes.empty(); }, 5000);
        else if (runs) QTest::qWait(kVerdict.count() + 50);
        else expectReaped();
        ASSERT_EQ(boxes.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(boxes[0].title, c.fromAbout ? "Quorvale - Updates" : "Quorvale - Help");
            EXPECT_TRUE(boxes[0].text.startsWith(c.fromAbout ? "Unable to start your web browser" : "Unable to open " + page));
            EXPECT_EQ(boxes[0].owner, asker);
        }
        if (c.ending.isEmpty()) continue;
        QTRY_VERIFY(!recorded("pid").isEmpty());
        EXPECT_EQ(recorded("args"), c.fromAbout ? "https://quorvale.example.org/\n" : QUrl::fromLocalFile(page).toEncoded() + "\n");
        if (!runs) {
            expectReaped();
            continue;
        }
        ASSERT_TRUE(QFileInfo::exists("/proc/" + recorded("pid").trimmed())) << "the opener was stopped";
        playOneMove(window.game());
        window.close();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Quorvale - Exit");
        EXPECT_TRUE(window.isVisible()) << "Cancel keeps the window";
        ::kill(QString(recorded("pid").trimmed()).toInt(), SIGTERM);
        expectReaped();
        window.game().markSaved();
    }
    if (madePage) QFile::remove(page);
    EXPECT_EQ(clicks, 8);
}

// An opener that outlives the toolkit (the game ending while the browser the
// opener became still runs) is left running, and nothing the toolkit made
// for it outlives the toolkit (LeakSanitizer checks that in the sanitized
// build).
TEST_F(OpenerTest, OpenerOutlivesTheGame) {
    standIn("exec sleep 600");
    {
        QtToolkit game{kVerdict};
        EXPECT_GT(game.shellOpen(nullptr, kSite, {}), 32);
        QTRY_VERIFY(!recorded("pid").isEmpty());
    }
    const QString proc = "/proc/" + QString(recorded("pid").trimmed());
    EXPECT_TRUE(QFileInfo::exists(proc)) << "the opener was stopped with the game";
    ::kill(QString(recorded("pid").trimmed()).toInt(), SIGKILL);
}

}  // namespace
