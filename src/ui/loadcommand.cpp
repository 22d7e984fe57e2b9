// File > Load Game: offer to save, let the player pick a saved game, restore it.
#include <QByteArray>
#include <QFile>
#include <QPushButton>
#include <QStringList>
#include <string>

#include "files/fileaccess.h"
#include "saves/savedfolder.h"
#include "saves/savefile.h"
#include "toolkit/messages.h"
#include "ui/frmfile.h"
#include "ui/gamecommands.h"

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

bool GameCommands::loadGame(QString& absFilename) {
    if (!offerToSave(messageTitle(QStringLiteral("Load game")))) return false;
    // Whatever the chooser then brings, the changes are dropped.
    game_.markSaved();

    std::string chosen;
    {
        FrmFile chooser(owner_, toolkit_, absFilename);
        chooser.Form_Load();
        chooser.bytFlag = 1;
        chooser.setWindowTitle(QStringLiteral("Load Game"));
        chooser.cmdSet->setText(QStringLiteral("Load Game"));
        chooser.setListFolder(savedFolder_);
        chooser.setListPattern(QStringLiteral("*") +
                               QLatin1StringView(saves::kSavedGameExtension.data(), saves::kSavedGameExtension.size()));
        toolkit_.showModal(&chooser, &owner_);
        chosen = chooser.chosenFile();
    }
    if (absFilename.isEmpty()) return false;

    // Everything is read and checked before anything changes, so a damaged
    // file leaves the game on the board as it was.
    quorvale::SavedGame game;
    // The chooser's own bytes for the file: a name that is not valid text is
    // listed readably, and absFilename holds it as listed.
    if (chosen.empty()) chosen = QFile::encodeName(absFilename).toStdString();
    QString problem = readSavedGame(chosen, game);
    if (problem.isEmpty() && !game_.loadSavedGame(game)) problem = QStringLiteral("The game cannot be put on the board.");
    if (!problem.isEmpty()) {
        toolkit_.messageBox(&owner_,
                            messageLines({QStringLiteral("The saved game could not be loaded."), absFilename, problem}),
                            messageTitle(QStringLiteral("Load game")), MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    return true;
}
