// Saving under real failures: a file-size limit, a full file system, links,
// FIFOs and devices under the game's name, the per-user saved folder, and
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

QString savingError(const QString& path) {
    return "An error occurred while attempting saving game data\r\n" + path + "\r\nGame not saved.";
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return st.st_mode;
}

bool permissionsRequired() { return qEnvironmentVariableIntValue("QUORVALE_REQUIRE_PERMISSIONS") == 1; }

// Sets an environment variable for one test and puts the old value back.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvGuard() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

class SaveSafetyTest : public CommandTest {
protected:
    // Level 0 on the board with one move made and saved as "keep"; then one
    // more move, so the game differs from the file. Needs a started game window.
    QByteArray playAndSaveKeep() {
        startLevel(0);
        makeMove();
        saveAs("keep");
        const QByteArray old = readBytes(savedPath("keep.sav"));
        EXPECT_EQ(old.left(6), QByteArray("\x01\x00\x00\x00\x00\x00", 6));
        EXPECT_EQ(old.size(), 36);
        dragPiece(8, {30, 30}, {cellCentre(2, 4)});
        EXPECT_TRUE(frm->gameModified);
        tk.messages.clear();
        return old;
    }

    // Overwrites "keep" (answering Yes to the question) and expects the error.
    void expectOverwriteFails() {
        tk.inputAnswers = {"keep"};
        tk.messageAnswers = {MsgResult::Yes};
        frm->mnuSaveGame->trigger();
        ASSERT_EQ(tk.messages.size(), 2u);
        EXPECT_EQ(tk.messages[0].text, "File already exists. Overwrite it?");
        EXPECT_EQ(tk.messages[1].title, "Quorvale - Saving Error");
        EXPECT_EQ(tk.messages[1].icon, MsgIcon::Error);
        EXPECT_EQ(tk.messages[1].text, savingError(dir.path() + "/saved/keep.sav"));
        EXPECT_TRUE(frm->gameModified);
        tk.expectScriptUsed();
    }
};

// ---- Real write failures ----

// Restores the file-size limit and the SIGXFSZ action however the test ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

TEST_F(SaveSafetyTest, FileSizeLimitKeepsTheOldFileAndLeavesNothingBehind) {
    start();
    const QByteArray old = playAndSaveKeep();
    {
        // 16 bytes: the first write is cut short, the next one refused.
        const FileSizeLimit limit(16);
        ASSERT_TRUE(limit.ok());
        expectOverwriteFails();
        // A new name fails the same way and leaves no file of that name.
        tk.messages.clear();
        tk.inputAnswers = {"fresh"};
        frm->mnuSaveGame->trigger();
    }
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].text, savingError(dir.path() + "/saved/fresh.sav"));
    EXPECT_EQ(readBytes(savedPath("keep.sav")), old);
    EXPECT_EQ(savedEntries(), QStringList{"keep.sav"});
}

TEST_F(SaveSafetyTest, FullFileSystemKeepsTheOldFile) {
    start();
    // A 64 KiB tmpfs mounted over the saved folder, which only root may do.
    const QByteArray mountPoint = QFile::encodeName(path("saved"));
    if (::mount("quorvale-test", mountPoint.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
        const int error = errno;
        if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
        FAIL() << "root could not mount a tmpfs: " << std::strerror(error);
    }
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mountPoint};

    const QByteArray old = playAndSaveKeep();
    {
        QFile filler(savedPath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        int blocks = 0;
        while (filler.write(block) == block.size()) ASSERT_LT(++blocks, 64);
    }
    expectOverwriteFails();
    EXPECT_EQ(readBytes(savedPath("keep.sav")), old);
    EXPECT_EQ(savedEntries(), (QStringList{"filler", "keep.sav"}));
}

// ---- Nothing is written outside the saved folder ----

TEST_F(SaveSafetyTest, LinksFifosAndDevicesUnderTheNameAreRefusedWithoutAQuestion) {
    start();
    startLevel(0);
    makeMove();
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    writeBytes(outside.path() + "/target", "outside\n");
    const auto entry = [this](const char* name) { return QFile::encodeName(savedPath(name)); };
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + "/target").constData(), entry("link.sav").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + "/new").constData(), entry("dangling.sav").constData()), 0);
    ASSERT_EQ(::mkfifo(entry("fifo.sav").constData(), 0644), 0);
    QStringList names = {"link", "dangling", "fifo"};
    QStringList expectedEntries = {"dangling.sav", "fifo.sav", "link.sav"};
    if (::mknod(entry("device.sav").constData(), S_IFCHR | 0644, makedev(1, 3)) == 0) {  // root only
        names << "device";
        expectedEntries << "device.sav";
    }

    for (const QString& name : names) {
        tk.messages.clear();
        saveAs(name);  // a question here would have no scripted answer and fail the test
        ASSERT_EQ(tk.messages.size(), 1u) << name.toStdString();
        EXPECT_EQ(tk.messages[0].title, "Quorvale - Saving Error");
        EXPECT_EQ(tk.messages[0].text, savingError(dir.path() + "/saved/" + name + ".sav"));
        EXPECT_TRUE(frm->gameModified);
    }
    EXPECT_EQ(readBytes(outside.path() + "/target"), "outside\n");
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"target"});
    expectedEntries.sort();
    EXPECT_EQ(savedEntries(), expectedEntries);
    EXPECT_TRUE(S_ISLNK(modeOf(savedPath("link.sav"))));
    EXPECT_TRUE(S_ISLNK(modeOf(savedPath("dangling.sav"))));
    EXPECT_TRUE(S_ISFIFO(modeOf(savedPath("fifo.sav"))));
    tk.expectScriptUsed();
}

// ---- The per-user saved folder ----

TEST(SavedFolderChoice, PicksTheProgramFolderOrTheUsersDataFolder) {
    struct Case {
        bool systemWide;
        bool writable;
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        // A build folder or an install in the home that the player can write.
        {false, true, "/x/data", "/home/ann", "/opt/q/saved"},
        // A system-wide build never writes beside the executable, root included.
        {true, true, "", "/root", "/root/.local/share/quorvale/saved"},
        {true, false, "/x/data", "/home/ann", "/x/data/quorvale/saved"},
        // A program folder the player cannot write.
        {false, false, "/x/data/", "/home/ann", "/x/data/quorvale/saved"},
        // XDG_DATA_HOME unset, empty or relative counts as unset.
        {false, false, "", "/home/ann", "/home/ann/.local/share/quorvale/saved"},
        {false, false, "data", "/home/ann", "/home/ann/.local/share/quorvale/saved"},
        // Nowhere absolute to go.
        {true, false, "data", "", ""},
    };
    for (const Case& c : cases) {
        saves::SavedFolderInputs in;
        in.systemWide = c.systemWide;
        in.programFolder = "/opt/q";
        in.programFolderWritable = c.writable;
        in.xdgDataHome = c.xdg;
        in.home = c.home;
        EXPECT_EQ(saves::chooseSavedFolder(in), c.expected) << c.systemWide << c.writable << c.xdg;
    }
}

TEST(SavedFolderChoice, DesktopToolkitUsesTheChoiceForThisProcess) {
    const EnvGuard xdg("XDG_DATA_HOME", "/tmp/quorvale-data");
    const QString programFolder = QCoreApplication::applicationDirPath();
    const bool besideExecutable =
        !saves::isSystemWideBuild() && ::access(QFile::encodeName(programFolder).constData(), W_OK | X_OK) == 0;
    const QtToolkit toolkit;
    EXPECT_EQ(toolkit.savedFolder(), besideExecutable ? programFolder + "/saved" : "/tmp/quorvale-data/quorvale/saved");
}

TEST_F(SaveSafetyTest, UserDataFolderIsMadePrivateAndGamesRoundTrip) {
    tk.savedGames = dir.path() + "/data/quorvale/saved";
    start();
    EXPECT_TRUE(tk.messages.empty());
    for (const char* made : {"/data", "/data/quorvale", "/data/quorvale/saved"}) {
        EXPECT_EQ(modeOf(dir.path() + made), static_cast<mode_t>(S_IFDIR | 0700)) << made;
    }
    EXPECT_FALSE(QFileInfo::exists(path("saved")));

    startLevel(0);
    makeMove();
    saveAs("mine");
    ASSERT_TRUE(tk.messages.empty());
    EXPECT_EQ(readBytes(dir.path() + "/data/quorvale/saved/mine.sav").left(6), QByteArray("\x01\x00\x00\x00\x00\x00", 6));

    startLevel(1);
    queuePickFile("mine.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(frm->absFilename, dir.path() + "/data/quorvale/saved/mine.sav");
    EXPECT_EQ(frm->levelIndex, 0);
    EXPECT_EQ(frm->steps, 1);
    tk.expectScriptUsed();
}

TEST_F(SaveSafetyTest, UserDataFolderThatCannotBeMadeShowsTheSavingError) {
    writeBytes(path("data"), "a plain file where a folder belongs");
    const EnvGuard xdg("XDG_DATA_HOME", QFile::encodeName(path("data")));
    saves::SavedFolderInputs in = saves::currentSavedFolderInputs(dir.path());
    in.systemWide = true;  // as the package's build: the data folder whatever the rights
    tk.savedGames = saves::chooseSavedFolder(in);
    ASSERT_EQ(tk.savedGames, dir.path() + "/data/quorvale/saved");
    start();
    EXPECT_TRUE(tk.messages.empty()) << "a folder that cannot be made is not worth a message at start-up";
    startLevel(0);
    makeMove();
    saveAs("lost");
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Saving Error");
    EXPECT_EQ(tk.messages[0].text, savingError(dir.path() + "/data/quorvale/saved/lost.sav"));
    EXPECT_TRUE(frm->gameModified);
    EXPECT_EQ(readBytes(path("data")), "a plain file where a folder belongs");
}

// As an unprivileged user (ui_tests_unprivileged); root may write anywhere.
class SavedFolderUnprivileged : public SaveSafetyTest {
protected:
    void TearDown() override {
        SaveSafetyTest::TearDown();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // True when the program folder, made read-only, refuses this user.
    bool programFolderIsReadOnly() {
        writeLevels(testLevels());
        writeSkin();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        return ::access(QFile::encodeName(dir.path()).constData(), W_OK) != 0;
    }

    QTemporaryDir home;
};

TEST_F(SavedFolderUnprivileged, ReadOnlyProgramFolderSavesInTheUsersDataFolder) {
    if (!programFolderIsReadOnly()) {
        if (permissionsRequired()) FAIL() << "this run was meant to enforce file permissions, but it does not";
        GTEST_SKIP() << "root may write anywhere; ui_tests_unprivileged runs this as an unprivileged user";
    }
    const EnvGuard xdg("XDG_DATA_HOME", QFile::encodeName(home.path() + "/share"));
    const saves::SavedFolderInputs in = saves::currentSavedFolderInputs(dir.path());
    EXPECT_FALSE(in.programFolderWritable);
    tk.savedGames = saves::chooseSavedFolder(in);
    ASSERT_EQ(tk.savedGames, home.path() + "/share/quorvale/saved");

    start();
    EXPECT_EQ(modeOf(home.path() + "/share/quorvale/saved"), static_cast<mode_t>(S_IFDIR | 0700));
    startLevel(0);
    makeMove();
    saveAs("mine");
    ASSERT_TRUE(tk.messages.empty());
    EXPECT_EQ(readBytes(home.path() + "/share/quorvale/saved/mine.sav").size(), 36);
    EXPECT_FALSE(QFileInfo::exists(path("saved")));
    startLevel(1);
    queuePickFile("mine.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->levelIndex, 0);
    EXPECT_EQ(frm->steps, 1);
    tk.expectScriptUsed();
}

// ---- Step counts ----

TEST_F(SaveSafetyTest, NegativeStepCountIsRefusedAtLoad) {
    start();
    startLevel(0);
    saveAs("good");
    QByteArray bytes = readBytes(savedPath("good.sav"));
    ASSERT_EQ(bytes.size(), 36);
    const GameSnapshot before = snapshot();
    const struct {
        const char* file;
        QByteArray steps;
        const char* reason;
    } cases[] = {
        {"minus.sav", QByteArray("\xfb\xff\xff\xff", 4), "The saved game counts -5 steps, but a step count cannot be negative."},
        {"lowest.sav", QByteArray("\x00\x00\x00\x80", 4),
         "The saved game counts -2147483648 steps, but a step count cannot be negative."},
    };
    for (const auto& c : cases) {
        writeBytes(savedPath(c.file), c.steps + bytes.mid(4));
        tk.messages.clear();
        queuePickFile(c.file);
        frm->mnuLoadGame->trigger();
        ASSERT_EQ(tk.messages.size(), 1u);
        EXPECT_EQ(tk.messages[0].title, "Quorvale - Load game");
        EXPECT_EQ(tk.messages[0].text, "The saved game could not be loaded.\r\n" + dir.path() + "/saved/" + c.file +
                                           "\r\n" + c.reason);
        EXPECT_TRUE(snapshot() == before) << c.file;
    }
    tk.expectScriptUsed();
}

TEST_F(SaveSafetyTest, StepCountStopsAtTheLargest32BitValue) {
    start();
    startLevel(0);
    saveAs("top");
    QByteArray bytes = readBytes(savedPath("top.sav"));
    ASSERT_EQ(bytes.size(), 36);
    writeBytes(savedPath("top.sav"), QByteArray("\xfe\xff\xff\x7f", 4) + bytes.mid(4));
    queuePickFile("top.sav");
    frm->mnuLoadGame->trigger();
    ASSERT_EQ(frm->steps, 2147483646);

    dragPiece(8, {30, 30}, {cellCentre(1, 4)});
    EXPECT_EQ(frm->steps, 2147483647);
    dragPiece(8, {30, 30}, {cellCentre(2, 4)});
    EXPECT_EQ(frm->steps, 2147483647);
    EXPECT_EQ(frm->lblStatus->text(), "Level: 1 - Easy          Steps: 2147483647");

    tk.messages.clear();
    tk.inputAnswers = {"top"};
    tk.messageAnswers = {MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    EXPECT_EQ(readBytes(savedPath("top.sav")).left(4), QByteArray("\xff\xff\xff\x7f", 4));
    tk.expectScriptUsed();
}

}  // namespace
