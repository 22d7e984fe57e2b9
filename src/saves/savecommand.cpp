// File > Save Game: ask for a name, check it, confirm an overwrite, write the file.
#include <QDir>
#include <QStringList>

#include "app/frmmain.h"
#include "core/board.h"
#include "saves/savefile.h"
#include "saves/savewriter.h"

namespace {

const QString kSavingTitle = QStringLiteral("Quorvale - Saving");

// The file name of a game: its name + ".sav".
QString savedGameFileName(const QString& name) { return name + QStringLiteral(".sav"); }

// A name with a path separator would leave the saved folder: the file system
// refuses it here.
bool hasPathSeparator(const QString& name) {
    return name.contains(u'/') || name.contains(QDir::separator());
}

}  // namespace

void FrmMain::mnuSaveGame_Click() {
    saveGame();
}

bool FrmMain::offerToSave(const QString& title) {
    if (!gameModified) return true;
    const MsgResult answer = toolkit().messageBox(this, QStringLiteral("Would you like to save the current game?"),
                                                  title, MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::Cancel) return false;
    if (answer == MsgResult::Yes) mnuSaveGame_Click();
    return true;
}

bool FrmMain::isLegalGameName(const QString& name) {
    return quorvale::isLegalGameName(name.toStdU16String());
}

bool FrmMain::savedGameExists(const QString& name) {
    // Only a plain file counts: a link, even to a plain file, is never offered
    // for overwriting, since saving refuses to write through it.
    if (hasPathSeparator(name)) return false;
    return saves::isPlainFileEntry(toolkit().savedFolder(), savedGameFileName(name));
}

void FrmMain::saveGame() {
    QString name;
    for (;;) {
        name = toolkit().inputBox(this, QStringLiteral("What is the name of the game?"),
                                  QStringLiteral("Quorvale - Saving Game"), name);
        if (name.isEmpty()) {
            if (toolkit().messageBox(this, QStringLiteral("Are you sure you want to proceed without saving?"),
                                     kSavingTitle, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes) {
                return;
            }
            continue;
        }
        if (quorvale::isGameNameTooLong(name.toStdU16String())) {
            toolkit().messageBox(this,
                                 QStringLiteral("Name too long.") + QStringLiteral("\r\n") +
                                     QStringLiteral("Please limit the name to 32 characters."),
                                 kSavingTitle, MsgIcon::Exclamation, MsgButtons::Ok);
            continue;
        }
        if (!isLegalGameName(name)) {
            toolkit().messageBox(this, QStringLiteral("Illegal characters found in the name."), kSavingTitle,
                                 MsgIcon::Exclamation, MsgButtons::Ok);
            continue;
        }
        if (savedGameExists(name)) {
            if (toolkit().messageBox(this, QStringLiteral("File already exists. Overwrite it?"), kSavingTitle,
                                     MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes) {
                break;
            }
            continue;
        }
        break;
    }

    quorvale::SavedGame game;
    game.steps = steps;
    game.levelIndex = levelIndex;
    if (levelIndex >= 0 && levelIndex < quorvale::kLevelCount) {
        game.levelName = levels[static_cast<std::size_t>(levelIndex)].name;
    }
    game.positions = quorvale::encodePositions(pieces());

    const QString folder = toolkit().savedFolder();
    const QString fileName = savedGameFileName(name);
    const QString path = joinPath(folder, fileName);
    const bool written =
        !hasPathSeparator(name) && saves::writeSavedGameFile(folder, fileName, quorvale::serializeSavedGame(game));
    if (!written) {
        const QString text = QStringList{QStringLiteral("An error occurred while attempting saving game data"), path,
                                         QStringLiteral("Game not saved.")}
                                 .join(QStringLiteral("\r\n"));
        toolkit().messageBox(this, text, QStringLiteral("Quorvale - Saving Error"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    gameModified = false;
}
