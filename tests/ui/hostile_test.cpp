// A program folder that works against the game: read-only, a plain file where
// the saved folder belongs, a skin too small for its map, a level file that is
// a folder or cannot be read. The game must either reach its main window and
// report what fails later, or report the failure and end.
//
// Tests that rely on file permissions cannot work as root, who may write
// anywhere: they skip there. The CTest entry ui_tests_unprivileged runs them
// again as an unprivileged user with QUORVALE_REQUIRE_PERMISSIONS=1, which
// turns that skip into a failure.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "app/modmain.h"
#include "gamefixture.h"

namespace {

const QString kSaveErrorTitle = QStringLiteral("Quorvale - Saving Error");

QString savingErrorText(const QString& path) {
    return QStringList{QStringLiteral("An error occurred while attempting saving game data"), path,
                       QStringLiteral("Game not saved.")}
        .join(QStringLiteral("\r\n"));
}

// True when writing into `folder` (made read-only by the caller) is refused.
bool writesAreRefused(const QString& folder) {
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        return false;
    }
    return true;
}

}  // namespace

class HostileTest : public GameTest {
protected:
    void TearDown() override {
        GameTest::TearDown();
        // Give write and read back so the temporary folder can be removed.
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(path("qvl.ZHN"), QFile::ReadOwner | QFile::WriteOwner);
    }

    // Starts level 0 and moves a small piece, so the game has unsaved changes.
    void playOneMove() {
        startLevel(0);
        ASSERT_TRUE(frm->mnuSaveGame->isEnabled());
        // Piece 8 from the bottom-left cell into the free cell beside it.
        dragPiece(8, QPoint(30, 30), {cellCentre(1, 4)});
        ASSERT_EQ(frm->game().steps(), 1);
        ASSERT_TRUE(frm->game().gameModified());
    }

    // Saves under `name`; expects the saving error naming the full path,
    // the game still unsaved and nothing written.
    void expectSaveFails(const QString& name) {
        const std::size_t before = tk.messages.size();
        tk.inputAnswers.push_back(name);
        frm->mnuSaveGame->trigger();
        ASSERT_EQ(tk.messages.size(), before + 1);
        const MessageCall& box = tk.messages.back();
        const QString file = path(QStringLiteral("saved")) + QDir::separator() + name + QStringLiteral(".sav");
        EXPECT_EQ(box.title, kSaveErrorTitle);
        EXPECT_EQ(box.text, savingErrorText(file));
        EXPECT_EQ(box.icon, MsgIcon::Error);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_TRUE(frm->game().gameModified()) << "a failed save must leave the game unsaved";
        EXPECT_FALSE(QFileInfo::exists(file));
        EXPECT_TRUE(frm->mnuSaveGame->isEnabled());
        tk.expectScriptUsed();
    }

    // Runs the entry procedure where start-up is expected to fail.
    void startExpectingFailure() {
        if (!QFile::exists(path("qvl.ZHN"))) writeLevels(testLevels());
        if (!QFile::exists(path("qvl.bmp"))) writeSkin();
        runEntry();
    }

    // Start-up ended with exactly one error box titled `title`; the window
    // was unloaded and never got a game.
    void expectEndedWith(const QString& title) {
        EXPECT_TRUE(tk.endRequested());
        EXPECT_NE(tk.exitCode(), 0);
        ASSERT_EQ(tk.messages.size(), 1u);
        EXPECT_EQ(tk.messages[0].title, title);
        EXPECT_EQ(tk.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(tk.messages[0].buttons, MsgButtons::Ok);
        ASSERT_TRUE(frm != nullptr);
        EXPECT_TRUE(!frm->isVisible());
        EXPECT_FALSE(frm->isVisible());
        for (ImageControl* piece : frm->imgPieces) EXPECT_FALSE(piece->Visible());
    }

    QStringList messageLines(std::size_t i) const {
        return tk.messages[i].text.split(QStringLiteral("\r\n"));
    }
};

// ---- The saved folder cannot be had ----

using HostilePermissions = HostileTest;

TEST_F(HostilePermissions, ReadOnlyProgramFolderStillStartsAndSaveNamesThePath) {
    writeLevels(testLevels());
    writeSkin();
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    SKIP_UNLESS_PERMISSIONS_ENFORCED(writesAreRefused(dir.path()));

    FrmMain& main = start();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(tk.messages.empty()) << "the missing saved folder is not worth a message at start-up";
    EXPECT_FALSE(QFileInfo::exists(path("saved")));

    playOneMove();
    expectSaveFails(QStringLiteral("blocked"));

    // The game goes on: the next move still counts.
    dragPiece(8, QPoint(30, 30), {cellCentre(2, 4)});
    EXPECT_EQ(main.game().steps(), 2);
}

TEST_F(HostilePermissions, UnreadableLevelFileIsReportedAndEndsTheProgram) {
    writeLevels(testLevels());
    ASSERT_TRUE(QFile::setPermissions(path("qvl.ZHN"), QFileDevice::Permissions()));
    SKIP_UNLESS_PERMISSIONS_ENFORCED(!QFile(path("qvl.ZHN")).open(QIODevice::ReadOnly));

    startExpectingFailure();
    expectEndedWith(QStringLiteral("Quorvale - Error"));
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "An error has occurred while attempting loading data file");
    EXPECT_EQ(lines[1], path("qvl.zhn"));
    EXPECT_EQ(lines[2], "70 Permission denied");
}

TEST_F(HostileTest, PlainFileNamedSavedStartsAndSaveNamesThePath) {
    {
        QFile blocker(path("saved"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
    }

    FrmMain& main = start();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(tk.messages.empty());

    playOneMove();
    expectSaveFails(QStringLiteral("my game"));

    // The plain file is left as it was.
    QFile blocker(path("saved"));
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), "not a folder");
}

TEST_F(HostileTest, SavedFolderRemovedWhileRunningMakesSaveFailCleanly) {
    FrmMain& main = start();
    ASSERT_TRUE(QFileInfo(path("saved")).isDir());
    ASSERT_TRUE(QDir(path("saved")).removeRecursively());
    playOneMove();
    expectSaveFails(QStringLiteral("gone"));
    EXPECT_TRUE(main.isVisible());
}

// ---- The skin is too small for its map ----

struct SkinSize {
    int width;
    int height;
};

class SmallSkinTest : public HostileTest, public ::testing::WithParamInterface<SkinSize> {};

TEST_P(SmallSkinTest, IsReportedAndEndsTheProgram) {
    writeSkin(GetParam().width, GetParam().height);
    startExpectingFailure();
    expectEndedWith(QStringLiteral("Quorvale - ERROR"));
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "An error has occurred while attempting to load picture ");
    EXPECT_EQ(lines[1], path("qvl.bmp"));
    EXPECT_EQ(lines[2], "Make sure the picture exists and is of a correct format.");
}

INSTANTIATE_TEST_SUITE_P(Hostile, SmallSkinTest,
                         ::testing::Values(SkinSize{369, 380}, SkinSize{370, 379}, SkinSize{280, 340},
                                           SkinSize{1, 1}),
                         [](const ::testing::TestParamInfo<SkinSize>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST_F(HostileTest, SkinOfExactlyTheMapSizeIsAccepted) {
    writeSkin(370, 380);
    FrmMain& main = start();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(tk.messages.empty());
}

// ---- The level file cannot be read ----

TEST_F(HostileTest, LevelFileThatIsAFolderIsReportedAndEndsTheProgram) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("qvl.ZHN")));
    // A folder under the lower-case name too: neither may count as the file.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("qvl.zhn")));
    writeSkin();
    runEntry();
    expectEndedWith(QStringLiteral("Quorvale - Error"));
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "An error has occurred while attempting loading data file");
    EXPECT_EQ(lines[1], path("qvl.zhn"));
    // Line 3: a number, one space, a description.
    const qsizetype space = lines[2].indexOf(u' ');
    ASSERT_GT(space, 0);
    bool isNumber = false;
    EXPECT_GT(lines[2].left(space).toInt(&isNumber), 0);
    EXPECT_TRUE(isNumber);
    EXPECT_FALSE(lines[2].mid(space + 1).trimmed().isEmpty());
}
