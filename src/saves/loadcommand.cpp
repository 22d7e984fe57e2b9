// File > Load Game: offer to save, let the player pick a saved game, restore it.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStringList>
#include <string>

#include "app/frmmain.h"
#include "files/fileaccess.h"
#include "saves/frmfile.h"
#include "saves/savedfolder.h"
#include "saves/savefile.h"

namespace {

// Reads and checks the saved game in the file `path` (the file system's own
// bytes). Returns an empty string when `game` was filled, else the reason in
// plain words. Only the first 36 bytes belong to the saved game.
QString readSavedGame(const std::string& path, quorvale::SavedGame& game) {
    std::string bytes;
    switch (files::readPlainFile(path, quorvale::kSavedGameBytes, files::ReadMode::Prefix, bytes)) {
    case files::ReadStatus::Ok:
        break;
    case files::ReadStatus::NotFound:
        return QStringLiteral("The file no longer exists.");
    case files::ReadStatus::NotPlainFile:
        return QStringLiteral("The name no longer belongs to a plain file.");
    case files::ReadStatus::ReadFailed:
        return QStringLiteral("The file cannot be read.");
    default:
        return QStringLiteral("The file cannot be opened for reading.");
    }
    const std::string problem =
        quorvale::parseSavedGame(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), game);
    return QString::fromStdString(problem);
}

}  // namespace

void FrmMain::mnuLoadGame_Click() {
    if (!offerToSave(QStringLiteral("Quorvale - Load game"))) return;
    gameModified = false;

    std::string chosen;
    {
        FrmFile chooser(*this);
        chooser.Form_Load();
        chooser.bytFlag = 1;
        chooser.setWindowTitle(QStringLiteral("Load Game"));
        chooser.cmdSet->setText(QStringLiteral("Load Game"));
        chooser.setListFolder(toolkit().savedFolder() + QDir::separator());
        chooser.setListPattern(QStringLiteral("*") + saves::kSavedGameExtension);
        toolkit().showModal(&chooser, this);
        chosen = chooser.chosenFile();
    }
    if (absFilename.isEmpty()) return;

    // Everything is read and checked before anything changes, so a damaged
    // file leaves the game on the board as it was.
    quorvale::SavedGame game;
    // The chooser's own bytes for the file: a name that is not valid text is
    // listed readably, and absFilename holds it as listed.
    if (chosen.empty()) chosen = QFile::encodeName(absFilename).toStdString();
    const QString problem = readSavedGame(chosen, game);
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
