// The desktop's opener as the real toolkit runs it: a stand-in `xdg-open`
// first on PATH records its arguments and process id, then ends as told.
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
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>

#include "app/frmmain.h"
#include "app/qttoolkit.h"
#include "ui/frmabout.h"

namespace {

const QString kSite = QStringLiteral("https://quorvale.example.org/");

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
    QtToolkit toolkit;
};

// The opener gets the exact URL, a local page as an escaped file URL.
TEST_F(OpenerTest, OpenerGetsTheLinkAsAUrl) {
    QTemporaryDir dir;
    const QString page = dir.filePath("my games/qvl.html");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("my games")) && QFile(page).open(QIODevice::WriteOnly));
    standIn("exit 0");
    const struct { QString target; QByteArray sent; } cases[] = {
        {"mailto:quorvale@example.org?Subject=Quorvale", "mailto:quorvale@example.org?Subject=Quorvale\n"},
        {page, "file://" + dir.path().toUtf8() + "/my%20games/qvl.html\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(bin.filePath("args"));
        EXPECT_GT(toolkit.shellOpen(nullptr, c.target, {}), 32);
        QTRY_COMPARE(recorded("args"), c.sent);
    }
}

// A link from the About box with each kind of opener: the call returns at
// once and the game takes a click straight away; a failure within ten
// seconds, and only then, brings the link's message, owned by the box. A
// close request while the opener still runs gets the closing question.
TEST_F(OpenerTest, LinkNeverWaitsForTheOpener) {
    quorvale::Board board;
    quorvale::Pieces pieces{};
    FrmMain window(toolkit, board, pieces);
    window.show();
    QPushButton other("Other action");
    other.show();
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&] { ++clicks; });
    const QString failure =
        "Unable to start your web browser automatically.\nPlease goto the site https://quorvale.example.org/ manually.";
    const struct { const char* name; QByteArray ending; int outcomeMs; bool told; } cases[] = {
        {"exit 0", "exit 0", 500, false},
        {"exit 3", "exit 3", 500, true},
        {"exit 4 after 1 s", "sleep 1; exit 4", 2500, true},
        {"killed", "kill -9 $$", 500, true},
        {"missing", "", 0, true},
        {"exit 5 after 10.5 s", "sleep 10.5; exit 5", 12000, false},
        {"sleeps forever", "exec sleep 600", 500, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ending.isEmpty()) qputenv("PATH", bin.path().toUtf8() + "/none");
        else standIn(c.ending);
        QFile::remove(bin.filePath("pid"));
        boxes.clear();
        FrmAbout box(window);
        box.show();
        QElapsedTimer clock;
        clock.start();
        box.lblUpdates_Click();
        QTest::mouseClick(&other, Qt::LeftButton);
        const qint64 clickMs = clock.elapsed();
        std::cout << "[ opener   ] " << c.name << ": a click taken " << clickMs << " ms after the link\n";
        EXPECT_LT(clickMs, 100);
        QTest::qWait(c.outcomeMs);
        ASSERT_EQ(boxes.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(boxes[0].title, "Quorvale - Updates");
            EXPECT_EQ(boxes[0].text, failure);
            EXPECT_EQ(boxes[0].owner, &box);
        }
        if (c.ending.isEmpty()) continue;
        // The opener has ended and been reaped, except the one still running.
        const QString proc = "/proc/" + QString(recorded("pid").trimmed());
        QTRY_VERIFY(!recorded("pid").isEmpty());
        if (!c.ending.startsWith("exec sleep")) {
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(proc), 2000);
            continue;
        }
        ASSERT_TRUE(QFileInfo::exists(proc)) << "the opener was stopped";
        window.gameModified = true;
        window.close();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Quorvale - Exit");
        EXPECT_TRUE(window.isVisible()) << "Cancel keeps the window";
        ::kill(QString(recorded("pid").trimmed()).toInt(), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(proc), 2000);
        window.gameModified = false;
    }
    EXPECT_EQ(clicks, 7);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
