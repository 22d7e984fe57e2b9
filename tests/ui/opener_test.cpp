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

#include "app/frmmain.h"
#include "app/qttoolkit.h"
#include "ui/frmabout.h"

namespace {

const QString kSite = QStringLiteral("https://quorvale.example.org/");

class OpenerTest : public ::testing::Test {
protected:
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

    QTemporaryDir bin;
    const QByteArray savedPath = qgetenv("PATH");
    QtToolkit toolkit;
};

// Accepted only when the opener ends with status 0; the opener gets the exact
// URL, a local page as an escaped file URL.
TEST_F(OpenerTest, OnlyAnOpenerEndingWithZeroHasAcceptedTheLink) {
    QTemporaryDir dir;
    const QString page = dir.filePath("my games/qvl.html");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("my games")) && QFile(page).open(QIODevice::WriteOnly));
    const struct { QByteArray ending; QString target; bool accepted; QByteArray sent; } cases[] = {
        {"exit 0", "mailto:quorvale@example.org?Subject=Quorvale", true, "mailto:quorvale@example.org?Subject=Quorvale\n"},
        {"exit 0", page, true, "file://" + dir.path().toUtf8() + "/my%20games/qvl.html\n"},
        {"exit 3", kSite, false, "https://quorvale.example.org/\n"},
        {"exit 4", kSite, false, "https://quorvale.example.org/\n"},
        {"kill -9 $$", kSite, false, "https://quorvale.example.org/\n"},
    };
    for (const auto& c : cases) {
        standIn(c.ending);
        EXPECT_EQ(toolkit.shellOpen(nullptr, c.target) > 32, c.accepted) << c.ending.constData();
        EXPECT_EQ(recorded("args"), c.sent);
    }
    qputenv("PATH", bin.path().toUtf8() + "/none");  // no opener at all
    EXPECT_LE(toolkit.shellOpen(nullptr, kSite), 32);
}

// Still running after about two seconds means accepted: the opener is left
// running, events are processed but input is not taken meanwhile, and the
// opener is reaped once it ends.
TEST_F(OpenerTest, OpenerThatKeepsRunningIsAcceptedAndLeftAlone) {
    standIn("exec sleep 60");
    QPushButton button("Other action");
    button.show();
    int clicks = 0, ticked = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    QTimer::singleShot(300, [&] { ticked = 1; QTest::mouseClick(&button, Qt::LeftButton); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_GT(toolkit.shellOpen(nullptr, kSite), 32);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    const pid_t pid = recorded("pid").trimmed().toInt();
    ASSERT_GT(pid, 0);
    const QString proc = "/proc/" + QString::number(pid);
    ASSERT_TRUE(QFileInfo::exists(proc)) << "the opener was stopped";
    ::kill(pid, SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(proc), 5000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The About box's links with a failing opener, through the real message box.
TEST_F(OpenerTest, FailedOpenShowsTheMessagesToThePlayer) {
    quorvale::Board board;
    quorvale::Pieces pieces{};
    FrmMain window(toolkit, board, pieces);
    const struct { void (FrmAbout::*click)(); const char *title, *text, *sent; } cases[] = {
        {&FrmAbout::lblEmail_Click, "Quorvale - Email",
         "Unable to start your Email agent automatically.\nPlease send an Email to quorvale@example.org manually.",
         "mailto:quorvale@example.org?Subject=Quorvale\n"},
        {&FrmAbout::lblUpdates_Click, "Quorvale - Updates",
         "Unable to start your web browser automatically.\nPlease goto the site https://quorvale.example.org/ manually.",
         "https://quorvale.example.org/\n"},
    };
    standIn("exit 3");
    for (const auto& c : cases) {
        FrmAbout box(window);
        QString title, text;
        QTimer answer;  // OK to the message box once it is up
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                answer.stop();
                title = shown->windowTitle(), text = shown->text();
                shown->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(10);
        (box.*c.click)();
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(recorded("args"), c.sent);
    }
}

}  // namespace
