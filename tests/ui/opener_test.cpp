// The desktop's opener as the real toolkit runs it. A stand-in `xdg-open`
// script, put first on PATH, records its arguments and its process id and
// then ends the way a real opener might: at once with a status, or never.
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

#include "app/frmmain.h"
#include "app/qttoolkit.h"
#include "ui/frmabout.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

class OpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bin.isValid());
        savedPath = qgetenv("PATH");
    }
    void TearDown() override { qputenv("PATH", savedPath); }

    // Installs a stand-in opener whose last line is `ending`.
    void standIn(const QByteArray& ending) {
        const QString script = bin.filePath("xdg-open");
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n"
                   "printf '%s\\n' \"$@\" > '" + bin.filePath("args").toUtf8() + "'\n"
                   "echo $$ > '" + bin.filePath("pid").toUtf8() + "'\n" + ending + "\n");
        file.close();
        ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        qputenv("PATH", bin.path().toUtf8() + ":" + savedPath);
    }

    // Every argument the stand-in got, one a line.
    QByteArray arguments() const { return readAll(bin.filePath("args")); }

    QTemporaryDir bin;
    QByteArray savedPath;
    QtToolkit toolkit;
};

// Answers the next message box with OK and keeps its title and text.
struct MessageCatcher {
    QString title;
    QString text;
    QTimer poll;
    MessageCatcher() {
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            poll.stop();
            title = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        poll.start();
    }
};

TEST_F(OpenerTest, OpenerThatEndsWithZeroHasAcceptedTheLink) {
    standIn("exit 0");
    EXPECT_GT(toolkit.shellOpen(nullptr, "mailto:quorvale@example.org?Subject=Quorvale"), 32);
    EXPECT_EQ(arguments(), "mailto:quorvale@example.org?Subject=Quorvale\n");
}

TEST_F(OpenerTest, LocalPageGoesAsAFileUrl) {
    standIn("exit 0");
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("my games"));
    QFile page(dir.filePath("my games/qvl.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    EXPECT_GT(toolkit.shellOpen(nullptr, dir.filePath("my games/qvl.html")), 32);
    EXPECT_EQ(arguments(), "file://" + dir.path().toUtf8() + "/my%20games/qvl.html\n");
}

TEST_F(OpenerTest, OpenerThatFailsIsAFailure) {
    for (const QByteArray ending : {"exit 3", "exit 4", "kill -9 $$"}) {
        standIn(ending);
        EXPECT_LE(toolkit.shellOpen(nullptr, "https://quorvale.example.org/"), 32) << ending.constData();
        EXPECT_EQ(arguments(), "https://quorvale.example.org/\n");
    }
}

TEST_F(OpenerTest, NoOpenerOnThePathIsAFailure) {
    qputenv("PATH", bin.path().toUtf8());
    EXPECT_LE(toolkit.shellOpen(nullptr, "https://quorvale.example.org/"), 32);
}

// An opener still running after about two seconds has accepted the request:
// it is left running, the window repaints meanwhile but takes no input, and
// once the opener ends it is reaped, not left a zombie.
TEST_F(OpenerTest, OpenerThatKeepsRunningIsAcceptedAndLeftAlone) {
    standIn("exec sleep 60");
    QPushButton button("Other action");
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    bool ticked = false;
    QTimer::singleShot(300, [&] {
        ticked = true;
        QTest::mouseClick(&button, Qt::LeftButton);
    });

    QElapsedTimer clock;
    clock.start();
    EXPECT_GT(toolkit.shellOpen(nullptr, "https://quorvale.example.org/"), 32);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    const pid_t pid = readAll(bin.filePath("pid")).trimmed().toInt();
    ASSERT_GT(pid, 0);
    const QString proc = "/proc/" + QString::number(pid);
    ASSERT_TRUE(QFileInfo::exists(proc)) << "the opener was stopped";
    ::kill(pid, SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(proc), 5000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Through the real message box: the About box's mail link with an opener
// that fails, and the help page with none at all.
TEST_F(OpenerTest, FailedOpenShowsTheMessagesToThePlayer) {
    quorvale::Board board;
    quorvale::Pieces pieces{};
    FrmMain window(toolkit, board, pieces);
    {
        standIn("exit 3");
        FrmAbout box(window);
        MessageCatcher caught;
        box.lblEmail_Click();
        EXPECT_EQ(caught.title, "Quorvale - Email");
        EXPECT_EQ(caught.text,
                  "Unable to start your Email agent automatically.\n"
                  "Please send an Email to quorvale@example.org manually.");
        EXPECT_EQ(arguments(), "mailto:quorvale@example.org?Subject=Quorvale\n");
    }
    {
        standIn("exit 4");
        FrmAbout box(window);
        MessageCatcher caught;
        box.lblUpdates_Click();
        EXPECT_EQ(caught.title, "Quorvale - Updates");
        EXPECT_EQ(caught.text,
                  "Unable to start your web browser automatically.\n"
                  "Please goto the site https://quorvale.example.org/ manually.");
    }
}

}  // namespace
