// Saving under real failures (a file-size limit, a full file system, links,
// FIFOs and devices under the game's name), the per-user saved folder, and
// step counts at and beyond their limits.
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "app/qttoolkit.h"
#include "commandtest.h"
#include "saves/savedfolder.h"

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// Sets XDG_DATA_HOME for one test and puts the old value back.
struct XdgDataHome {
    explicit XdgDataHome(const QByteArray& value) { qputenv("XDG_DATA_HOME", value); }
    ~XdgDataHome() { old.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", old); }
    const QByteArray old = qEnvironmentVariableIsSet("XDG_DATA_HOME") ? qgetenv("XDG_DATA_HOME") : QByteArray();
};

class SaveSafetyTest : public CommandTest {
protected:
    // The only message is the saving error for `file`, and the game still counts as changed.
    void expectSavingError(const QString& file) {
        ASSERT_EQ(tk.messages.size(), 1u) << file.toStdString();
        EXPECT_EQ(tk.messages[0].title, "Quorvale - Saving Error");
        EXPECT_EQ(tk.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(tk.messages[0].text,
                  "An error occurred while attempting saving game data\r\n" + file + "\r\nGame not saved.");
        EXPECT_TRUE(frm->gameModified);
    }

    // Level 0 with one move saved as "keep", then a second move; returns the file.
    QByteArray playAndSaveKeep() {
        startLevel(0);
        makeMove();
        saveAs("keep");
        const QByteArray old = readBytes(savedPath("keep.sav"));
        EXPECT_EQ(old.size(), 36);
        dragPiece(8, {30, 30}, {cellCentre(2, 4)});
        tk.messages.clear();
        return old;
    }

    // Overwrites "keep", answering Yes to the question, and expects the saving error.
    void expectOverwriteFails() {
        tk.inputAnswers = {"keep"};
        tk.messageAnswers = {MsgResult::Yes};
        frm->mnuSaveGame->trigger();
        ASSERT_FALSE(tk.messages.empty());
        EXPECT_EQ(tk.messages[0].text, "File already exists. Overwrite it?");
        tk.messages.erase(tk.messages.begin());
        expectSavingError(dir.path() + "/saved/keep.sav");
        tk.expectScriptUsed();
        tk.messages.clear();
    }

    // Saves the game as `file` with its step count replaced by `steps` (4 bytes,
    // little-endian) and loads that file.
    void loadWithSteps(const QString& file, const char* steps) {
        saveAs(file.chopped(4));
        const QByteArray rest = readBytes(savedPath(file)).mid(4);
        ASSERT_EQ(rest.size(), 32);
        writeBytes(savedPath(file), QByteArray(steps, 4) + rest);
        queuePickFile(file);
        frm->mnuLoadGame->trigger();
        tk.expectScriptUsed();
    }

    // Saves one move as "mine" in `folder` and loads it back from another level.
    void saveAndLoadBack(const QString& folder) {
        startLevel(0);
        makeMove();
        saveAs("mine");
        ASSERT_TRUE(tk.messages.empty());
        EXPECT_EQ(readBytes(folder + "/mine.sav").size(), 36);
        EXPECT_FALSE(QFileInfo::exists(path("saved")));
        startLevel(1);
        queuePickFile("mine.sav");
        frm->mnuLoadGame->trigger();
        EXPECT_TRUE(tk.messages.empty());
        EXPECT_EQ(frm->absFilename, folder + "/mine.sav");
        EXPECT_EQ(frm->levelIndex, 0);
        EXPECT_EQ(frm->steps, 1);
        tk.expectScriptUsed();
    }
};

TEST_F(SaveSafetyTest, FileSizeLimitKeepsTheOldFileAndLeavesNothingBehind) {
    start();
    const QByteArray old = playAndSaveKeep();
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 16;  // the first write is cut short, the next one refused
    const bool limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (limited) {
        expectOverwriteFails();
        saveAs("fresh");
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(limited);
    expectSavingError(dir.path() + "/saved/fresh.sav");
    EXPECT_EQ(readBytes(savedPath("keep.sav")), old);
    EXPECT_EQ(savedEntries(), QStringList{"keep.sav"});
}

TEST_F(SaveSafetyTest, FullFileSystemKeepsTheOldFile) {
    start();
    const QByteArray at = QFile::encodeName(path("saved"));
    if (::mount("quorvale-test", at.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
        const int error = errno;
        if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
        FAIL() << "root could not mount a tmpfs: " << std::strerror(error);
    }
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{at};
    const QByteArray old = playAndSaveKeep();
    {
        QFile filler(savedPath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (int blocks = 0; filler.write(QByteArray(4096, 'f')) == 4096;) ASSERT_LT(++blocks, 64);
    }
    expectOverwriteFails();
    EXPECT_EQ(readBytes(savedPath("keep.sav")), old);
    EXPECT_EQ(savedEntries(), (QStringList{"filler", "keep.sav"}));
}

TEST_F(SaveSafetyTest, LinksFifosAndDevicesUnderTheNameAreRefusedWithoutAQuestion) {
    start();
    startLevel(0);
    makeMove();
    QTemporaryDir outside;
    writeBytes(outside.path() + "/target", "outside\n");
    const auto entry = [this](const char* name) { return QFile::encodeName(savedPath(name)); };
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + "/target").constData(), entry("link.sav").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + "/new").constData(), entry("dangling.sav").constData()), 0);
    ASSERT_EQ(::mkfifo(entry("fifo.sav").constData(), 0644), 0);
    QStringList names = {"dangling", "fifo", "link"};
    if (::mknod(entry("device.sav").constData(), S_IFCHR | 0644, makedev(1, 3)) == 0) names << "device";  // root only
    for (const QString& name : names) {
        tk.messages.clear();
        saveAs(name);  // a question here would have no scripted answer and fail the test
        expectSavingError(dir.path() + "/saved/" + name + ".sav");
    }
    EXPECT_EQ(readBytes(outside.path() + "/target"), "outside\n");
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"target"});
    for (QString& name : names) name += ".sav";
    names.sort();
    EXPECT_EQ(savedEntries(), names);
    EXPECT_TRUE(S_ISLNK(modeOf(savedPath("link.sav"))) && S_ISLNK(modeOf(savedPath("dangling.sav"))));
    EXPECT_TRUE(S_ISFIFO(modeOf(savedPath("fifo.sav"))));
    tk.expectScriptUsed();
}

TEST(SavedFolderChoice, PicksTheProgramFolderOrTheUsersDataFolder) {
    const struct {
        bool systemWide, writable;
        const char *xdg, *home, *expected;
    } cases[] = {
        {false, true, "/x/data", "/home/ann", "/opt/q/saved"},
        {true, true, "", "/root", "/root/.local/share/quorvale/saved"},  // system-wide build run by root
        {true, false, "/x/data", "/home/ann", "/x/data/quorvale/saved"},
        {false, false, "/x/data/", "/home/ann", "/x/data/quorvale/saved"},
        {false, false, "", "/home/ann", "/home/ann/.local/share/quorvale/saved"},
        {false, false, "data", "/home/ann", "/home/ann/.local/share/quorvale/saved"},  // relative counts as unset
        {true, false, "data", "", ""},
    };
    for (const auto& c : cases) {
        const saves::SavedFolderInputs in{c.systemWide, "/opt/q", c.writable, c.xdg, c.home};
        EXPECT_EQ(saves::chooseSavedFolder(in), c.expected) << c.systemWide << c.writable << c.xdg;
    }
}

TEST(SavedFolderChoice, DesktopToolkitUsesTheChoiceForThisProcess) {
    const XdgDataHome xdg("/tmp/quorvale-data");
    const QString program = QCoreApplication::applicationDirPath();
    const bool beside = !saves::isSystemWideBuild() && ::access(QFile::encodeName(program).constData(), W_OK | X_OK) == 0;
    EXPECT_EQ(QtToolkit().savedFolder(), beside ? program + "/saved" : "/tmp/quorvale-data/quorvale/saved");
}

TEST_F(SaveSafetyTest, UserDataFolderIsMadePrivateAndGamesRoundTrip) {
    tk.savedGames = dir.path() + "/data/quorvale/saved";
    start();
    EXPECT_TRUE(tk.messages.empty());
    for (const char* made : {"/data", "/data/quorvale", "/data/quorvale/saved"}) {
        EXPECT_EQ(modeOf(dir.path() + made), static_cast<mode_t>(S_IFDIR | 0700)) << made;
    }
    saveAndLoadBack(tk.savedGames);
}

TEST_F(SaveSafetyTest, UserDataFolderThatCannotBeMadeShowsTheSavingError) {
    writeBytes(path("data"), "a plain file");  // where the first folder of the path belongs
    tk.savedGames = dir.path() + "/data/quorvale/saved";
    start();
    EXPECT_TRUE(tk.messages.empty()) << "a folder that cannot be made is not worth a message at start-up";
    startLevel(0);
    makeMove();
    saveAs("lost");
    expectSavingError(dir.path() + "/data/quorvale/saved/lost.sav");
    EXPECT_EQ(readBytes(path("data")), "a plain file");
}

// Run as an unprivileged user by ui_tests_unprivileged; root may write anywhere.
class SavedFolderUnprivileged : public SaveSafetyTest {
protected:
    void TearDown() override {
        SaveSafetyTest::TearDown();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir home;
};

TEST_F(SavedFolderUnprivileged, ReadOnlyProgramFolderSavesInTheUsersDataFolder) {
    writeLevels(testLevels());
    writeSkin();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    if (::access(QFile::encodeName(dir.path()).constData(), W_OK) == 0) {
        if (qEnvironmentVariableIntValue("QUORVALE_REQUIRE_PERMISSIONS") == 1)
            FAIL() << "this run was meant to enforce file permissions, but it does not";
        GTEST_SKIP() << "root may write anywhere; ui_tests_unprivileged runs this as an unprivileged user";
    }
    const XdgDataHome xdg(QFile::encodeName(home.path() + "/share"));
    const saves::SavedFolderInputs in = saves::currentSavedFolderInputs(dir.path());
    EXPECT_FALSE(in.programFolderWritable);
    tk.savedGames = saves::chooseSavedFolder(in);
    ASSERT_EQ(tk.savedGames, home.path() + "/share/quorvale/saved");
    start();
    EXPECT_EQ(modeOf(tk.savedGames), static_cast<mode_t>(S_IFDIR | 0700));
    saveAndLoadBack(tk.savedGames);
}

TEST_F(SaveSafetyTest, NegativeStepCountIsRefusedAtLoad) {
    start();
    startLevel(0);
    const GameSnapshot before = snapshot();
    const struct {
        const char *file, *steps, *reason;
    } cases[] = {
        {"minus.sav", "\xfb\xff\xff\xff", "The saved game counts -5 steps, but a step count cannot be negative."},
        {"lowest.sav", "\x00\x00\x00\x80", "The saved game counts -2147483648 steps, but a step count cannot be negative."},
    };
    for (const auto& c : cases) {
        tk.messages.clear();
        loadWithSteps(c.file, c.steps);
        ASSERT_EQ(tk.messages.size(), 1u);
        EXPECT_EQ(tk.messages[0].title, "Quorvale - Load game");
        EXPECT_EQ(tk.messages[0].text,
                  "The saved game could not be loaded.\r\n" + dir.path() + "/saved/" + c.file + "\r\n" + c.reason);
        EXPECT_TRUE(snapshot() == before) << c.file;
    }
}

TEST_F(SaveSafetyTest, StepCountStopsAtTheLargest32BitValue) {
    start();
    startLevel(0);
    loadWithSteps("top.sav", "\xfe\xff\xff\x7f");
    ASSERT_EQ(frm->steps, 2147483646);
    dragPiece(8, {30, 30}, {cellCentre(1, 4)});
    EXPECT_EQ(frm->steps, 2147483647);
    dragPiece(8, {30, 30}, {cellCentre(2, 4)});
    EXPECT_EQ(frm->lblStatus->text(), "Level: 1 - Easy          Steps: 2147483647");
    tk.inputAnswers = {"top"};
    tk.messageAnswers = {MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    EXPECT_EQ(readBytes(savedPath("top.sav")).left(4), QByteArray("\xff\xff\xff\x7f", 4));
    tk.expectScriptUsed();
}

}  // namespace
