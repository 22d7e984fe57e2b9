// Saving under real failures (a file-size limit, a full file system, links,
// FIFOs and devices under the game's name, calls made to fail by strace, a
// second game saving the same name), the per-user saved folder, and step
// counts at and beyond their limits.
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utime.h>

#include "app/modmain.h"
#include "toolkit/qttoolkit.h"
#include "commandtest.h"
#include "saves/savedfolder.h"

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// Sets an environment variable for one test and puts the old value back.
struct EnvVar {
    EnvVar(const char* name, const QByteArray& value) : name(name) { qputenv(name, value); }
    ~EnvVar() { old.isNull() ? qunsetenv(name) : qputenv(name, old); }
    const char* name;
    const QByteArray old = qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray();
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
        EXPECT_TRUE(frm->game().gameModified());
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

    // Runs DISABLED_SecondGame below in a process of its own under strace with
    // `options`, in this program folder, saving with `inputs` ("|" between
    // names) and `answers` ("Yes,No"); `meanwhile` runs while it does. Returns
    // the lines it printed about what it was told.
    QStringList runSecondGame(const QStringList& options, const QString& inputs, const QString& answers,
                              const std::function<void()>& meanwhile = {}) {
        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVALE_SECOND_FOLDER", dir.path());
        env.insert("QUORVALE_SECOND_INPUTS", inputs);
        env.insert("QUORVALE_SECOND_ANSWERS", answers);
        game.setProcessEnvironment(env);
        game.setChildProcessModifier([] { ::setpgid(0, 0); });  // a hung game goes with strace
        QFile::remove(path("strace.log"));  // what an earlier game logged must not count
        game.start("strace", QStringList{"-f", "-qq", "-o", path("strace.log")} + options +
                                 QStringList{"--", QCoreApplication::applicationFilePath(),
                                             "--gtest_also_run_disabled_tests",
                                             "--gtest_filter=SaveSafetyTest.DISABLED_SecondGame"});
        EXPECT_TRUE(game.waitForStarted()) << "strace is missing";
        if (meanwhile) meanwhile();
        // (waitForFinished is false too for a game that has already ended,
        // whose process id is then 0: a kill of group 0 would end this test.)
        if (!game.waitForFinished(10000) && game.processId() > 0) {
            ::kill(-static_cast<pid_t>(game.processId()), SIGKILL);
            game.waitForFinished();
            ADD_FAILURE() << "the second game hangs";
        }
        QStringList told;
        for (const QString& line : QString::fromUtf8(game.readAllStandardOutput()).split(u'\n')) {
            if (line.startsWith("message: ") || line.startsWith("modified: ")) told << line;
        }
        return told;
    }

    // Saves one move as "mine" in `folder` and loads it back from another level.
    void saveAndLoadBack(const QString& folder) {
        startLevel(0);
        makeMove();
        const mode_t mask = ::umask(022);
        saveAs("mine");
        ::umask(mask);
        ASSERT_TRUE(tk.messages.empty());
        EXPECT_EQ(readBytes(folder + "/mine.sav").size(), 36);
        EXPECT_EQ(modeOf(folder + "/mine.sav"), static_cast<mode_t>(S_IFREG | 0644));
        EXPECT_FALSE(QFileInfo::exists(path("saved")));
        startLevel(1);
        queuePickFile("mine.sav");
        frm->mnuLoadGame->trigger();
        EXPECT_TRUE(tk.messages.empty());
        EXPECT_EQ(frm->absFilename, folder + "/mine.sav");
        EXPECT_EQ(frm->game().levelIndex(), 0);
        EXPECT_EQ(frm->game().steps(), 1);
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

// The saved folder a link to a folder elsewhere (moved to another disk): it
// serves Save and Load alike where the player could have made it, and
// neither where the link or its folder belongs to another user.
TEST_F(SaveSafetyTest, SavedFolderThatIsALinkServesOnlyWhenThePlayersOwn) {
    start();
    startLevel(0);
    makeMove();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir(path("saved")).removeRecursively() && QFile::link(elsewhere.path(), path("saved")));
    const QByteArray link = QFile::encodeName(path("saved")), target = QFile::encodeName(elsewhere.path());
    const struct {
        const char* name;
        const QByteArray* othersOwn;  // the link or the folder handed to another user (root only)
    } rows[] = {{"mine", nullptr}, {"their link", &link}, {"their folder", &target}};
    for (const auto& row : rows) {
        if (row.othersOwn != nullptr && ::geteuid() != 0) continue;
        ASSERT_TRUE(::lchown(link, ::geteuid(), ::getegid()) == 0 && ::chown(target, ::geteuid(), ::getegid()) == 0);
        if (row.othersOwn != nullptr) {
            ASSERT_EQ(::lchown(*row.othersOwn, 65534, 65534), 0);
        }
        tk.messages.clear();
        playOneMove(frm->game());  // unsaved again
        saveAs(row.name);
        if (row.othersOwn != nullptr) {
            expectSavingError(dir.path() + "/saved/" + row.name + ".sav");
            tk.messageAnswers = {MsgResult::No};  // the game stays unsaved: Load offers to save it
        }
        const QStringList expected = row.othersOwn != nullptr ? QStringList() : QStringList{"mine.sav"};
        tk.modalScripts.push_back([&expected](QDialog& dialog) {
            QStringList listed;
            auto& chooser = dynamic_cast<FrmFile&>(dialog);
            for (int i = 0; i < chooser.filList->count(); ++i) listed << chooser.filList->item(i)->text();
            EXPECT_EQ(listed, expected);
            QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
        });
        frm->mnuLoadGame->trigger();
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        EXPECT_EQ(QDir(elsewhere.path()).entryList(all), QStringList{"mine.sav"}) << row.name;
    }
    tk.expectScriptUsed();
}

// The second game of the test below, in a process of its own: starts in
// QUORVALE_SECOND_FOLDER, plays one move on level 0, saves as scripted and
// prints what it was told.
TEST_F(SaveSafetyTest, DISABLED_SecondGame) {
    tk.folder = qEnvironmentVariable("QUORVALE_SECOND_FOLDER");
    savedGames = tk.folder + "/saved";
    for (const QString& name : qEnvironmentVariable("QUORVALE_SECOND_INPUTS").split(u'|')) tk.inputAnswers.push_back(name);
    for (const QString& a : qEnvironmentVariable("QUORVALE_SECOND_ANSWERS").split(u',', Qt::SkipEmptyParts))
        tk.messageAnswers.push_back(a == "Yes" ? MsgResult::Yes : MsgResult::No);
    runEntry();
    if (!tk.endRequested()) {
        startLevel(0);
        makeMove();
        frm->mnuSaveGame->trigger();
    }
    for (const MessageCall& m : tk.messages) {
        std::printf("message: %s\n", qPrintable(QString(m.text).replace("\r\n", " / ")));
    }
    std::printf("modified: %d\n", !tk.endRequested() && frm->game().gameModified());
}

TEST_F(SaveSafetyTest, SecondGameUnderRealFaultsAndRaces) {
    start();
    startLevel(1);
    saveAs("keep");
    const QByteArray mine = readBytes(savedPath("keep.sav"));
    const QString overwrite = "message: File already exists. Overwrite it?";
    const struct {
        const char* what;
        QStringList options;
        const char *inputs, *answers;
        std::function<void()> meanwhile;
        QStringList told;
    } rows[] = {
        {"sync of the new file fails", {"-e", "inject=fsync:error=EIO:when=1"}, "keep", "Yes", {},
         {overwrite,
          "message: An error occurred while attempting saving game data / " + savedPath("keep.sav") +
              " / Game not saved.",
          "modified: 1"}},
        {"sync of the folder fails after the rename", {"-e", "inject=fsync:error=EIO:when=2"}, "fresh", "", {},
         {"modified: 0"}},
        // This game saves "race" while the other one, told the name was free, waits to rename.
        {"a name taken meanwhile", {"-e", "inject=renameat,renameat2:delay_enter=2000000"}, "race|", "No,Yes",
         [this] {
             EXPECT_TRUE(QTest::qWaitFor([this] { return !savedEntries().filter(QRegularExpression("^\\.race")).isEmpty(); }, 10000));
             tk.messageAnswers = {MsgResult::Yes};  // should the other game have been first
             saveAs("race");
         },
         {overwrite, "message: Are you sure you want to proceed without saving?", "modified: 1"}},
        // Calls on the saved folder interrupted by a signal are made again.
        {"every call on the folder interrupted once, a new name",
         {"-P", path("saved"), "-e", "inject=openat,newfstatat,renameat2,unlinkat,fsync:error=EINTR:when=1+2"}, "calm",
         "", {}, {"modified: 0"}},
        {"every call on the folder interrupted once, an overwrite",
         {"-P", path("saved"), "-e", "inject=openat,newfstatat,renameat,unlinkat,fsync:error=EINTR:when=1+2"}, "calm",
         "Yes", {}, {overwrite, "modified: 0"}},
        // File systems without a rename that refuses to replace (network shares, FUSE)...
        {"a link instead, interrupted once",
         {"-P", path("saved"), "-e", "inject=renameat2:error=EINVAL", "-e", "inject=linkat:error=EINTR:when=1"},
         "linked", "", {}, {"modified: 0"}},
        // ... and without links: the name is claimed first (see the FUSE test below).
        {"the name claimed, the rename over the claim fails",
         {"-P", path("saved"), "-e", "inject=renameat2:error=EINVAL", "-e", "inject=linkat:error=EPERM", "-e",
          "inject=renameat:error=EIO"},
         "unclaimed", "", {},
         {"message: An error occurred while attempting saving game data / " + savedPath("unclaimed.sav") +
              " / Game not saved.",
          "modified: 1"}},
        // A FIFO swapped in for the level file while the game opens it (the last row: no game starts after it).
        {"level file turns FIFO",
         {"-P", path("qvl.ZHN"), "-e", "trace=openat", "-e", "inject=openat:delay_enter=1500000"}, "", "",
         [this] {
             EXPECT_TRUE(QTest::qWaitFor([this] { return readBytes(path("strace.log")).contains("qvl.ZHN"); }, 10000));
             ASSERT_EQ(::mkfifo(qPrintable(path("fifo")), 0644), 0);
             ASSERT_EQ(::rename(qPrintable(path("fifo")), qPrintable(path("qvl.ZHN"))), 0);
         },
         {"message: An error has occurred while attempting loading data file / " + path("qvl.zhn") +
          " / 75 Path/File access error", "modified: 0"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(runSecondGame(row.options, row.inputs, row.answers, row.meanwhile).join(u'\n').toStdString(),
                  row.told.join(u'\n').toStdString())
            << row.what;
    }
    EXPECT_EQ(readBytes(savedPath("keep.sav")), mine);
    EXPECT_EQ(readBytes(savedPath("race.sav")), mine);
    for (const char* other : {"fresh.sav", "calm.sav", "linked.sav"}) {
        EXPECT_EQ(readBytes(savedPath(other)).mid(4, 2), QByteArray("\0\0", 2)) << other;  // the other game's level 0
    }
    // Neither a temporary file nor an empty claim is left.
    EXPECT_EQ(savedEntries(), (QStringList{"calm.sav", "fresh.sav", "keep.sav", "linked.sav", "race.sav"}));
}

// A second, real file system: ext2 in user space through FUSE (fuse2fs),
// whose rename cannot refuse to replace (EINVAL, as on many network shares
// and FUSE file systems). New names are saved through a hard link; where
// links are refused too (made so by strace), through the name claimed first.
TEST_F(SaveSafetyTest, FuseFileSystemWithoutARenameThatRefusesToReplace) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a FUSE file system here needs root";
    start();
    const QString image = path("ext2.img");
    {
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(8 << 20));
    }
    const QString mke2fs = QStandardPaths::findExecutable("mke2fs", {"/usr/sbin", "/sbin"});
    ASSERT_EQ(QProcess::execute(mke2fs, {"-q", "-F", image}), 0);
    ASSERT_EQ(QProcess::execute("fuse2fs", {image, path("saved")}), 0) << "fuse2fs (Debian's fuse2fs) is missing";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(path("saved"))};
    ASSERT_TRUE(QDir(savedPath("lost+found")).removeRecursively());

    startLevel(0);
    makeMove();
    saveAs("linked");
    dragPiece(8, {30, 30}, {cellCentre(2, 4)});
    tk.messageAnswers = {MsgResult::Yes};
    saveAs("linked");
    EXPECT_EQ(tk.messages.size(), 1u);  // only the question before overwriting
    EXPECT_EQ(runSecondGame({"-P", path("saved"), "-e", "inject=linkat:error=EPERM"}, "claimed", ""),
              QStringList{"modified: 0"});
    EXPECT_EQ(savedEntries(), (QStringList{"claimed.sav", "linked.sav"}));
    for (const auto& [file, steps] : {std::pair{"linked.sav", 2}, {"claimed.sav", 1}}) {
        queuePickFile(file);
        frm->mnuLoadGame->trigger();
        EXPECT_EQ(frm->game().steps(), steps) << file;
    }
    EXPECT_EQ(tk.messages.size(), 1u);
    tk.expectScriptUsed();
}

TEST_F(SaveSafetyTest, OnlyTheGamesOwnTemporaryFilesAreRemovedAfterAnHourWhenListingOrSaving) {
    start();
    startLevel(0);
    const std::function<void()> triggers[] = {[this] { queueCancel(); frm->mnuLoadGame->trigger(); },
                                              [this] { saveAs("new"); }};
    const bool root = ::geteuid() == 0;
    for (const auto& trigger : triggers) {
        const struct {
            const char* name;
            int minutes, size;
        } files[] = {
            {".new.sav.Old123", 61, 36},    // a save's, killed: removed
            {".new.sav.Young1", 59, 36},    // may be a save under way
            {".notes.Old123", 120, 36},     // not a game's name
            {"..sav.ABCDEF", 120, 36},      // no game's name before the extension
            {".notes.sav.backup", 120, 120},  // the player's own, larger than a game
            {".big.sav.Old456", 120, 37},
            {".their.sav.Old789", 120, 36},  // another user's (made so as root only)
        };
        for (const auto& f : files) {
            writeBytes(savedPath(f.name), QByteArray(f.size, 'x'));
            const QByteArray file = QFile::encodeName(savedPath(f.name));
            if (QByteArray(f.name).startsWith(".their")) {
                ASSERT_EQ(::chown(file, root ? 65534 : ::geteuid(), -1), 0);
            }
            const utimbuf age{std::time(nullptr) - f.minutes * 60, std::time(nullptr) - f.minutes * 60};
            ASSERT_EQ(::utime(file, &age), 0);
        }
        trigger();
        QStringList left = savedEntries().filter(QRegularExpression("^\\."));
        left.sort();
        const std::string kept = "..sav.ABCDEF .big.sav.Old456 .new.sav.Young1 .notes.Old123 .notes.sav.backup";
        EXPECT_EQ(left.join(u' ').toStdString(), kept + (root ? " .their.sav.Old789" : ""));
    }
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
        {true, false, "/", "/home/ann", "/quorvale/saved"},
        {true, false, "/x//", "/home/ann", "/x/quorvale/saved"},
    };
    for (const auto& c : cases) {
        const saves::SavedFolderInputs in{c.systemWide, "/opt/q", c.writable, c.xdg, c.home};
        EXPECT_EQ(saves::chooseSavedFolder(in), c.expected) << c.systemWide << c.writable << c.xdg;
    }
}

TEST(SavedFolderChoice, TheEntryProcedureUsesTheChoiceForThisProcess) {
    const EnvVar xdg("XDG_DATA_HOME", "/tmp/quorvale-data");
    // Whoever runs the tests may write their build folder: the games go
    // beside the program, unless this is the Debian package's system-wide
    // build, whose quick tests run while the package is built.
    EXPECT_EQ(modMain::chooseSavedFolder(QtToolkit()),
              saves::isSystemWideBuild() ? QString("/tmp/quorvale-data/quorvale/saved")
                                         : QCoreApplication::applicationDirPath() + "/saved");
}

TEST_F(SaveSafetyTest, UserDataFolderIsMadePrivateAndGamesRoundTrip) {
    savedGames = dir.path() + "/data/quorvale/saved";
    const EnvVar home("HOME", QFile::encodeName(path("da")));  // begins the data folder's path, but does not hold it
    start();
    EXPECT_TRUE(tk.messages.empty());
    for (const char* made : {"/data", "/data/quorvale", "/data/quorvale/saved"}) {
        EXPECT_EQ(modeOf(dir.path() + made), static_cast<mode_t>(S_IFDIR | 0700)) << made;
    }
    saveAndLoadBack(savedGames);
}

TEST_F(SaveSafetyTest, UserDataFolderThatCannotBeMadeOrLiesInAMissingHomeShowsTheSavingError) {
    writeBytes(path("data"), "a plain file");  // where the first folder of the path belongs
    // A home that does not exist is never made, nor anything in it.
    const EnvVar home("HOME", QFile::encodeName(path("nohome")));
    for (const char* folder : {"/data/quorvale/saved", "/nohome/.local/share/quorvale/saved"}) {
        savedGames = dir.path() + folder;
        tk.messages.clear();
        start();
        EXPECT_TRUE(tk.messages.empty()) << "a folder that cannot be made is not worth a message at start-up";
        startLevel(0);
        makeMove();
        saveAs("lost");
        expectSavingError(savedGames + "/lost.sav");
    }
    EXPECT_EQ(readBytes(path("data")), "a plain file");
    EXPECT_FALSE(QFileInfo::exists(path("nohome")));
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
    SKIP_UNLESS_PERMISSIONS_ENFORCED(::access(QFile::encodeName(dir.path()).constData(), W_OK) != 0);
    const EnvVar xdg("XDG_DATA_HOME", QFile::encodeName(home.path() + "/share"));
    const saves::SavedFolderInputs in = saves::currentSavedFolderInputs(QFile::encodeName(dir.path()).toStdString());
    EXPECT_FALSE(in.programFolderWritable);
    savedGames = QFile::decodeName(saves::chooseSavedFolder(in).c_str());
    ASSERT_EQ(savedGames, home.path() + "/share/quorvale/saved");
    start();
    EXPECT_EQ(modeOf(savedGames), static_cast<mode_t>(S_IFDIR | 0700));
    saveAndLoadBack(savedGames);

    // A "saved" folder this user cannot write counts as a read-only program folder.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(::mkdir(qPrintable(path("saved")), 0500), 0);
    EXPECT_FALSE(saves::currentSavedFolderInputs(QFile::encodeName(dir.path()).toStdString()).programFolderWritable);
}

// Run as root and as an unprivileged user alike.
TEST_F(SavedFolderUnprivileged, ReplacedGameKeepsItsMarksAndAReadOnlyOneIsNotReplacedEvenByRoot) {
    start();
    const QByteArray old = playAndSaveKeep();
    const QByteArray keep = QFile::encodeName(savedPath("keep.sav"));
    // Root may give the new file the old one's owner; anyone else owns both already.
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(keep, owner, group), 0);
    ASSERT_EQ(::chmod(keep, 0640), 0);
    tk.inputAnswers = {"keep"};
    tk.messageAnswers = {MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    const QByteArray replaced = readBytes(savedPath("keep.sav"));
    EXPECT_NE(replaced, old);
    struct stat st {};
    ASSERT_EQ(::lstat(keep, &st), 0);
    EXPECT_EQ(st.st_mode, static_cast<mode_t>(S_IFREG | 0640));
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);

    ASSERT_EQ(::chmod(keep, 0444), 0);
    dragPiece(8, {30, 30}, {cellCentre(1, 4)});
    tk.messages.clear();
    expectOverwriteFails();
    EXPECT_EQ(readBytes(savedPath("keep.sav")), replaced);
    EXPECT_EQ(modeOf(savedPath("keep.sav")), static_cast<mode_t>(S_IFREG | 0444));
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
    ASSERT_EQ(frm->game().steps(), 2147483646);
    dragPiece(8, {30, 30}, {cellCentre(1, 4)});
    EXPECT_EQ(frm->game().steps(), 2147483647);
    dragPiece(8, {30, 30}, {cellCentre(2, 4)});
    EXPECT_EQ(frm->lblStatus->text(), "Level: 1 - Easy          Steps: 2147483647");
    tk.inputAnswers = {"top"};
    tk.messageAnswers = {MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    EXPECT_EQ(readBytes(savedPath("top.sav")).left(4), QByteArray("\xff\xff\xff\x7f", 4));
    tk.expectScriptUsed();
}

}  // namespace
