// File > Load Game: offer to save, let the player pick a saved game, restore it.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStringList>
#include <string>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/frmmain.h"
#include "saves/frmfile.h"
#include "saves/savefile.h"

namespace {

// Reads and checks the saved game at `path`. Returns an empty string when
// `game` was filled, else the reason in plain words.
QString readSavedGame(const QString& path, quorvale::SavedGame& game) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("The file no longer exists.");
    if (!info.isFile()) return QStringLiteral("The name no longer belongs to a plain file.");
    // Only the first 36 bytes belong to the saved game.
#if defined(Q_OS_UNIX)
    // Opened without blocking and checked again on the open file, so a FIFO
    // slipped in under the name after the check above cannot hang the game.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? QStringLiteral("The file no longer exists.")
                               : QStringLiteral("The file cannot be opened for reading.");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("The name no longer belongs to a plain file.");
    }
    QByteArray bytes(static_cast<qsizetype>(quorvale::kSavedGameBytes), '\0');
    qsizetype got = 0;
    bool readFailed = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<std::size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) readFailed = true;
        if (n <= 0) break;
        got += n;
    }
    ::close(fd);
    if (readFailed) return QStringLiteral("The file cannot be read.");
    bytes.truncate(got);
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("The file cannot be opened for reading.");
    const QByteArray bytes = file.read(static_cast<qint64>(quorvale::kSavedGameBytes));
    if (file.error() != QFileDevice::NoError) return QStringLiteral("The file cannot be read.");
#endif
    const std::string problem = quorvale::parseSavedGame(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                         static_cast<std::size_t>(bytes.size()), game);
    return QString::fromStdString(problem);
}

}  // namespace

void FrmMain::mnuLoadGame_Click() {
    if (!offerToSave(QStringLiteral("Quorvale - Load game"))) return;
    gameModified = false;

    {
        FrmFile chooser(*this);
        chooser.Form_Load();
        chooser.bytFlag = 1;
        chooser.setWindowTitle(QStringLiteral("Load Game"));
        chooser.cmdSet->setText(QStringLiteral("Load Game"));
        chooser.setListFolder(toolkit().savedFolder() + QDir::separator());
        chooser.setListPattern(QStringLiteral("*.sav"));
        toolkit().showModal(&chooser, this);
    }
    if (absFilename.isEmpty()) return;

    // Everything is read and checked before anything changes, so a damaged
    // file leaves the game on the board as it was.
    quorvale::SavedGame game;
    const QString problem = readSavedGame(absFilename, game);
    if (!problem.isEmpty()) {
        toolkit().messageBox(this,
                             QStringList{QStringLiteral("The saved game could not be loaded."), absFilename, problem}
                                 .join(QStringLiteral("\r\n")),
                             QStringLiteral("Quorvale - Load game"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }

    imgCong->setVisible(false);
    steps = game.steps;
    levelIndex = game.levelIndex;
    levels[static_cast<std::size_t>(levelIndex)].name = game.levelName;
    mnuSaveGame->setEnabled(true);
    clearBoard();
    decodePositions(game.positions);
    placePieces();
    showPlayfield();
    updateStatus();
}
