// File > New Game: offer to save, let the player choose a level, start it.
#include <QListWidget>
#include <QString>
#include <string>

#include "core/rules.h"
#include "ui/frmlevel.h"
#include "ui/gamecommands.h"
#include "toolkit/messages.h"

GameCommands::GameCommands(quorvale::Game& game, Toolkit& toolkit, QWidget& owner, const QString& savedFolder)
    : game_(game), toolkit_(toolkit), owner_(owner), savedFolder_(savedFolder) {}

bool GameCommands::newGame(std::int16_t& newLevel) {
    if (!offerToSave(messageTitle(QStringLiteral("New Game")))) return false;

    {
        FrmLevel chooser(owner_, toolkit_, newLevel);
        chooser.Form_Load();
        for (int i = 0; i < quorvale::kLevelCount; ++i) {
            // All ten characters of the name, a control character as a space.
            chooser.lisLevel->addItem(
                QStringLiteral("Level ") + QString::number(i + 1) + QStringLiteral(" - ") +
                QString::fromStdU16String(quorvale::shownLevelName(game_.levels()[static_cast<std::size_t>(i)].name)));
        }
        toolkit_.showModal(&chooser, &owner_);
    }

    if (newLevel < 0 || newLevel >= quorvale::kLevelCount) return false;

    // A damaged level file must not put an impossible layout on the board:
    // the game in play stays as it is.
    const std::string problem = game_.startLevel(newLevel);
    if (!problem.empty()) {
        toolkit_.messageBox(&owner_,
                            messageLines({QStringLiteral("Level %1 cannot be started: its layout is invalid.")
                                              .arg(newLevel + 1),
                                          QString::fromStdString(problem)}),
                            messageTitle(QStringLiteral("New Game")), MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    return true;
}
