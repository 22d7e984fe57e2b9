// File > Save Game: ask for a name, check it, confirm an overwrite, write the file.
#include <QDir>
#include <QFile>
#include <QStringList>

#include "app/frmmain.h"
#include "core/board.h"
#include "files/fileaccess.h"
#include "saves/savedfolder.h"
#include "saves/savefile.h"

namespace {

const QString kSavingTitle = QStringLiteral("Quorvale - Saving");

// The file name of a game: its name and the extension.
QString savedGameFileName(const QString& name) { return name + saves::kSavedGameExtension; }

// A name with a path separator would leave the saved folder: the file system
// refuses it here.
bool hasPathSeparator(const QString& name) {
    return name.contains(u'/') || name.contains(QDir::separator());
}

bool askToOverwrite(FrmMain& frm) {
    return frm.toolkit().messageBox(&frm, QStringLiteral("File already exists. Overwrite it?"), kSavingTitle,
                                    MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

// Asks for a name until one passes the rules and, when a game of that name
// exists, the player agreed to replace it. False: the player gave up saving.
bool askForName(FrmMain& frm, QString& name, bool& mayReplace) {
    Toolkit& toolkit = frm.toolkit();
    for (;;) {
        name = toolkit.inputBox(&frm, QStringLiteral("What is the name of the game?"),
                                QStringLiteral("Quorvale - Saving Game"), name);
        if (name.isEmpty()) {
            if (toolkit.messageBox(&frm, QStringLiteral("Are you sure you want to proceed without saving?"),
                                   kSavingTitle, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes) {
                return false;
            }
            continue;
        }
        if (quorvale::isGameNameTooLong(name.toStdU16String())) {
            toolkit.messageBox(&frm,
                               QStringLiteral("Name too long.") + QStringLiteral("\r\n") +
                                   QStringLiteral("Please limit the name to 32 characters."),
                               kSavingTitle, MsgIcon::Exclamation, MsgButtons::Ok);
            continue;
        }
        if (!frm.isLegalGameName(name)) {
            toolkit.messageBox(&frm, QStringLiteral("Illegal characters found in the name."), kSavingTitle,
                               MsgIcon::Exclamation, MsgButtons::Ok);
            continue;
        }
        mayReplace = frm.savedGameExists(name);
        if (!mayReplace || askToOverwrite(frm)) return true;
    }
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
    return files::isPlainFileEntry(QFile::encodeName(toolkit().savedFolder()).toStdString(),
                                   QFile::encodeName(savedGameFileName(name)).toStdString());
}

void FrmMain::saveGame() {
    QString name;
    // True once the player agreed to replace the file under the name; a save
    // under a name that was free never replaces a file another game wrote
    // there meanwhile, but asks as for any existing name.
    bool mayReplace = false;
    for (;;) {
        if (!mayReplace && !askForName(*this, name, mayReplace)) return;

        quorvale::SavedGame game;
        game.steps = steps;
        game.levelIndex = levelIndex;
        if (levelIndex >= 0 && levelIndex < quorvale::kLevelCount) {
            game.levelName = levels[static_cast<std::size_t>(levelIndex)].name;
        }
        game.positions = quorvale::encodePositions(pieces());
        const auto record = quorvale::serializeSavedGame(game);

        const QString folder = toolkit().savedFolder();
        const QString fileName = savedGameFileName(name);
        saves::removeStaleTemporaries(folder);
        const files::WriteResult result =
            hasPathSeparator(name)
                ? files::WriteResult::Failed
                : files::writeFileAtomically(QFile::encodeName(folder).toStdString(),
                                             QFile::encodeName(fileName).toStdString(),
                                             std::string(record.begin(), record.end()), mayReplace);
        if (result == files::WriteResult::Written) {
            gameModified = false;
            return;
        }
        if (result == files::WriteResult::NameTaken) {
            mayReplace = askToOverwrite(*this);
            continue;
        }
        const QString text = QStringList{QStringLiteral("An error occurred while attempting saving game data"),
                                         joinPath(folder, fileName), QStringLiteral("Game not saved.")}
                                 .join(QStringLiteral("\r\n"));
        toolkit().messageBox(this, text, QStringLiteral("Quorvale - Saving Error"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
}
