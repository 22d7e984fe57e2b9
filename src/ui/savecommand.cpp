// File > Save Game: ask for a name, check it, confirm an overwrite, write the file.
#include <QFile>
#include <QStringList>

#include "files/fileaccess.h"
#include "saves/savedfolder.h"
#include "saves/savefile.h"
#include "ui/gamecommands.h"
#include "toolkit/messages.h"

namespace {

const QString kSavingTitle = messageTitle(QStringLiteral("Saving"));

// The file name of a game: its name and the extension.
QString savedGameFileName(const QString& name) {
    return name + QLatin1StringView(saves::kSavedGameExtension.data(), saves::kSavedGameExtension.size());
}

}  // namespace

bool GameCommands::askToOverwrite() {
    return toolkit_.messageBox(&owner_, QStringLiteral("File already exists. Overwrite it?"), kSavingTitle,
                               MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

// Asks for a name until one passes the rules and, when a game of that name
// exists, the player agreed to replace it. False: the player gave up saving.
bool GameCommands::askForName(QString& name, bool& mayReplace) {
    for (;;) {
        name = toolkit_.inputBox(&owner_, QStringLiteral("What is the name of the game?"),
                                 messageTitle(QStringLiteral("Saving Game")), name);
        if (name.isEmpty()) {
            if (toolkit_.messageBox(&owner_, QStringLiteral("Are you sure you want to proceed without saving?"),
                                    kSavingTitle, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes) {
                return false;
            }
            continue;
        }
        if (quorvale::isGameNameTooLong(name.toStdU16String())) {
            toolkit_.messageBox(&owner_,
                                messageLines({QStringLiteral("Name too long."),
                                              QStringLiteral("Please limit the name to %1 characters.")
                                                  .arg(quorvale::kMaxGameNameLength)}),
                                kSavingTitle, MsgIcon::Exclamation, MsgButtons::Ok);
            continue;
        }
        if (!isLegalGameName(name)) {
            toolkit_.messageBox(&owner_, QStringLiteral("Illegal characters found in the name."), kSavingTitle,
                                MsgIcon::Exclamation, MsgButtons::Ok);
            continue;
        }
        mayReplace = savedGameExists(name);
        if (!mayReplace || askToOverwrite()) return true;
    }
}

bool GameCommands::offerToSave(const QString& title) {
    if (!game_.gameModified()) return true;
    const MsgResult answer = toolkit_.messageBox(&owner_, QStringLiteral("Would you like to save the current game?"),
                                                 title, MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::Cancel) return false;
    if (answer == MsgResult::Yes) saveGame();
    return true;
}

bool GameCommands::isLegalGameName(const QString& name) const {
    return quorvale::isLegalGameName(name.toStdU16String());
}

bool GameCommands::savedGameExists(const QString& name) const {
    // Only a plain file counts: a link, even to a plain file, is never offered
    // for overwriting, since saving refuses to write through it. A name with
    // a path separator names nothing in the folder.
    return files::isPlainFileEntry(QFile::encodeName(savedFolder_).toStdString(),
                                   QFile::encodeName(savedGameFileName(name)).toStdString());
}

void GameCommands::saveGame() {
    QString name;
    // True once the player agreed to replace the file under the name; a save
    // under a name that was free never replaces a file another game wrote
    // there meanwhile, but asks as for any existing name.
    bool mayReplace = false;
    for (;;) {
        if (!mayReplace && !askForName(name, mayReplace)) return;

        const auto record = quorvale::serializeSavedGame(game_.savedGame());
        const QString& folder = savedFolder_;
        const QString fileName = savedGameFileName(name);
        saves::removeStaleTemporaries(QFile::encodeName(folder).toStdString());
        // A name with a path separator would leave the folder: the file
        // access refuses it as the file system refuses any bad name.
        const files::WriteResult result = files::writeFileAtomically(
            QFile::encodeName(folder).toStdString(), QFile::encodeName(fileName).toStdString(),
            std::string(record.begin(), record.end()), mayReplace);
        if (result == files::WriteResult::Written) {
            game_.markSaved();
            return;
        }
        if (result == files::WriteResult::NameTaken) {
            mayReplace = askToOverwrite();
            continue;
        }
        const QString text = messageLines({QStringLiteral("An error occurred while attempting saving game data"),
                                         files::joinPath(folder, fileName), QStringLiteral("Game not saved.")});
        toolkit_.messageBox(&owner_, text, messageTitle(QStringLiteral("Saving Error")), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
}
