// Closing the main window: the offer to save a changed game, for every way
// of closing.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <csignal>

#include "gamefixture.h"

namespace {

const QPoint kGrab(30, 30);

// The ways a player closes the window.
enum class CloseWay { FileExit, CloseButton };

}  // namespace

class ClosingBase : public GameTest {
protected:
    // A level on the board and one completed move.
    void playOneMove() {
        startLevel(0);
        dragPiece(9, kGrab, {cellCentre(2, 4)});
        ASSERT_TRUE(frm->game().gameModified());
        ASSERT_EQ(frm->game().steps(), 1);
    }

    QStringList savedGames() const { return QDir(path("saved")).entryList(QDir::Files); }

    void expectExitQuestion(std::size_t at) {
        ASSERT_GT(tk.messages.size(), at);
        EXPECT_EQ(tk.messages[at].title, "Quorvale - Exit");
        EXPECT_EQ(tk.messages[at].text, "Would you like to save the current game?");
        EXPECT_EQ(tk.messages[at].icon, MsgIcon::Question);
        EXPECT_EQ(tk.messages[at].buttons, MsgButtons::YesNoCancel);
    }

    void expectClosed() {
        EXPECT_TRUE(!frm->isVisible());
        EXPECT_FALSE(frm->isVisible());
    }

    // Logs out through whichever session manager the test has, the game
    // answering; returns what the real one heard, or how often the stand-in
    // was asked for leave to interact and told to call the logout off.
    QString logOut(bool mayAsk) {
        const pid_t manager = qEnvironmentVariableIntValue("QUORVALE_SM_PID");
        if (manager <= 0) {
            StandInLogout session;
            session.mayAsk = mayAsk;
            frm->commitData(session);
            return QStringLiteral("asked %1, cancels %2").arg(session.asked).arg(session.cancels);
        }
        // It appends what it hears to its log, emptied here first.
        QFile log(qEnvironmentVariable("QUORVALE_SM_LOG"));
        EXPECT_TRUE(log.resize(0));
        EXPECT_EQ(::kill(manager, mayAsk ? SIGUSR1 : SIGUSR2), 0);
        QString heard;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            heard = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
            log.close();
            return heard.contains("SaveYourselfDone");
        }, 10000));
        return heard.trimmed().split('\n').join(QStringLiteral(" | "));
    }

    // The session manager as the window sees it during a logout.
    struct StandInLogout final : FrmMain::LogoutRequest {
        bool mayAsk = true;
        int asked = 0, cancels = 0;
        bool allowsInteraction() override { return ++asked, mayAsk; }
        void cancel() override { ++cancels; }
    };
};

class ClosingTest : public ClosingBase, public ::testing::WithParamInterface<CloseWay> {
protected:
    void closeWindow() {
        if (GetParam() == CloseWay::FileExit) {
            frm->mnuExit->trigger();
        } else {
            frm->close();
        }
    }
};

TEST_P(ClosingTest, NothingIsAskedRightAfterStartUp) {
    start();
    closeWindow();
    EXPECT_TRUE(tk.messages.empty());
    expectClosed();
}

TEST_P(ClosingTest, NothingIsAskedBeforeTheFirstMove) {
    start();
    startLevel(0);
    closeWindow();
    EXPECT_TRUE(tk.messages.empty());
    expectClosed();
}

TEST_P(ClosingTest, CancelKeepsEverything) {
    start();
    playOneMove();
    const QString statusBefore = frm->lblStatus->text();
    tk.messageAnswers = {MsgResult::Cancel};
    closeWindow();
    ASSERT_EQ(tk.messages.size(), 1u);
    expectExitQuestion(0);
    EXPECT_FALSE(!frm->isVisible());
    EXPECT_TRUE(frm->isVisible());
    EXPECT_TRUE(frm->game().gameModified());
    EXPECT_EQ(frm->game().steps(), 1);
    EXPECT_EQ(frm->game().board().at(2, 4), 9);
    EXPECT_EQ(frm->lblStatus->text(), statusBefore);
    EXPECT_TRUE(tk.inputs.empty());
    // The game goes on: a second close asks again.
    tk.messageAnswers = {MsgResult::No};
    closeWindow();
    EXPECT_EQ(tk.messages.size(), 2u);
    expectClosed();
}

TEST_P(ClosingTest, NoClosesWithoutWriting) {
    start();
    playOneMove();
    tk.messageAnswers = {MsgResult::No};
    closeWindow();
    expectExitQuestion(0);
    EXPECT_TRUE(tk.inputs.empty());
    EXPECT_TRUE(savedGames().isEmpty());
    expectClosed();
}

TEST_P(ClosingTest, YesSavesTheGameThenCloses) {
    start();
    playOneMove();
    tk.messageAnswers = {MsgResult::Yes};
    tk.inputAnswers = {"Before bed"};
    closeWindow();
    expectExitQuestion(0);
    ASSERT_EQ(tk.inputs.size(), 1u);
    EXPECT_EQ(savedGames(), QStringList{"Before bed.sav"});
    EXPECT_EQ(QFileInfo(path("saved") + "/Before bed.sav").size(), 36);
    expectClosed();
}

TEST_P(ClosingTest, YesClosesEvenWhenThePlayerGivesUpSaving) {
    start();
    playOneMove();
    // Exit: Yes; the name box: Cancel; "proceed without saving?": Yes.
    tk.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
    tk.inputAnswers = {""};
    closeWindow();
    expectExitQuestion(0);
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[1].title, "Quorvale - Saving");
    EXPECT_TRUE(savedGames().isEmpty());
    expectClosed();
}

TEST_P(ClosingTest, FailingSaveIsReportedAndTheProgramStillEnds) {
    start();
    playOneMove();
    // The saved folder is gone and a plain file stands in its place.
    ASSERT_TRUE(QDir(path("saved")).removeRecursively());
    QFile blocker(path("saved"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    tk.messageAnswers = {MsgResult::Yes};
    tk.inputAnswers = {"Lost"};
    closeWindow();
    expectExitQuestion(0);
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[1].title, "Quorvale - Saving Error");
    EXPECT_EQ(tk.messages[1].icon, MsgIcon::Error);
    EXPECT_TRUE(QFileInfo(path("saved")).isFile());
    expectClosed();
}

TEST_P(ClosingTest, NothingIsAskedAfterASave) {
    start();
    playOneMove();
    tk.inputAnswers = {"Kept"};
    frm->mnuSaveGame->trigger();
    ASSERT_FALSE(frm->game().gameModified());
    tk.messages.clear();
    closeWindow();
    EXPECT_TRUE(tk.messages.empty());
    expectClosed();
}

TEST_P(ClosingTest, AskedAgainAfterAMoveFollowingASave) {
    start();
    playOneMove();
    tk.inputAnswers = {"Kept"};
    frm->mnuSaveGame->trigger();
    dragPiece(9, kGrab, {cellCentre(3, 4)});
    tk.messages.clear();
    tk.messageAnswers = {MsgResult::No};
    closeWindow();
    expectExitQuestion(0);
    expectClosed();
}

TEST_P(ClosingTest, NothingIsAskedAfterSolving) {
    start();
    startLevel(0);
    dragPiece(0, kGrab, {cellCentre(1, 3)});
    ASSERT_EQ(tk.messages.size(), 1u);
    ASSERT_EQ(tk.messages[0].title, "Quorvale - Congratulations");
    closeWindow();
    EXPECT_EQ(tk.messages.size(), 1u);
    expectClosed();
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTest, ::testing::Values(CloseWay::FileExit, CloseWay::CloseButton),
                         [](const ::testing::TestParamInfo<CloseWay>& info) {
                             return info.param == CloseWay::FileExit ? std::string("FileExit")
                                                                     : std::string("CloseButton");
                         });

// A logout from the desktop session runs the same rule; Cancel calls the
// logout off, and a session that allows no interaction asks nothing. Run on
// Xvfb under tests/support/session_manager.cpp (the logout_xsmp test), the
// logout comes from a real session manager, which logs what the game tells
// it; elsewhere from a stand-in for Qt's session manager.
struct LogoutCase {
    const char* name;
    bool mayAsk;        // the session allows interaction
    MsgResult answer;   // the reply given if the question is asked
    bool callsOff;      // the session manager is told to cancel the logout
    QStringList saved;  // the saved games afterwards
    bool closes;
    const char* told;   // what the real session manager hears, in order
};

class SessionLogoutTest : public ClosingBase, public ::testing::WithParamInterface<LogoutCase> {};

TEST_P(SessionLogoutTest, AfterAMove) {
    const LogoutCase& c = GetParam();
    start();
    playOneMove();
    tk.messageAnswers = {c.answer};
    tk.inputAnswers = {"Logout"};
    const QString heard = logOut(c.mayAsk);
    if (qEnvironmentVariableIsSet("QUORVALE_SM_PID")) EXPECT_EQ(heard, c.told);
    else EXPECT_EQ(heard, QStringLiteral("asked 1, cancels %1").arg(c.callsOff ? 1 : 0));
    if (c.mayAsk) expectExitQuestion(0);
    else EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(savedGames(), c.saved);
    EXPECT_EQ(!frm->isVisible(), c.closes);
    EXPECT_EQ(frm->isVisible(), !c.closes);
    if (c.closes) return;
    EXPECT_TRUE(frm->game().gameModified());
    EXPECT_EQ(frm->game().steps(), 1);
    // The closing rule is still there for a later close.
    tk.messageAnswers = {MsgResult::No};
    frm->close();
    expectExitQuestion(tk.messages.size() - 1);
    expectClosed();
}

// The session manager hears one answer: the interaction it granted ends once,
// refusing the logout only where the player cancelled, and the game asks
// never to be started again (restart hint 3, never).
INSTANTIATE_TEST_SUITE_P(Answers, SessionLogoutTest,
    ::testing::Values(
        LogoutCase{"Yes", true, MsgResult::Yes, false, {"Logout.sav"}, true,
                   "InteractRequest | InteractDone cancel=0 | RestartStyleHint 3 | SaveYourselfDone success=1"},
        LogoutCase{"No", true, MsgResult::No, false, {}, true,
                   "InteractRequest | InteractDone cancel=0 | RestartStyleHint 3 | SaveYourselfDone success=1"},
        LogoutCase{"Cancel", true, MsgResult::Cancel, true, {}, false,
                   "InteractRequest | InteractDone cancel=1 | RestartStyleHint 3 | SaveYourselfDone success=0"},
        LogoutCase{"NoInteraction", false, MsgResult::Yes, false, {}, false,
                   "RestartStyleHint 3 | SaveYourselfDone success=1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClosingBase, SessionLogoutWithNothingToSaveAsksNothing) {
    start();
    startLevel(0);
    const QString heard = logOut(true);
    // The session is neither kept waiting nor called off.
    EXPECT_EQ(heard, qEnvironmentVariableIsSet("QUORVALE_SM_PID") ? "RestartStyleHint 3 | SaveYourselfDone success=1"
                                                                 : "asked 0, cancels 0");
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_FALSE(!frm->isVisible()) << "the session's end closes it";
}
