// File > New Game: offer to save, let the player choose a level, start it.
#include <QListWidget>
#include <QString>
#include <string>

#include "app/frmmain.h"
#include "core/board.h"
#include "core/rules.h"
#include "ui/frmlevel.h"

namespace {

// A level name as a list shows it: all ten characters, a control character
// (NUL, CR, LF, ...) as a space.
QString displayName(const std::u16string& name) {
    return QString::fromStdU16String(quorvale::shownLevelName(name));
}

}  // namespace

void FrmMain::mnuNewGame_Click() {
    newGame();
}

void FrmMain::newGame() {
    if (!offerToSave(QStringLiteral("Quorvale - New Game"))) return;

    {
        FrmLevel chooser(*this);
        chooser.Form_Load();
        for (int i = 0; i < quorvale::kLevelCount; ++i) {
            chooser.lisLevel->addItem(QStringLiteral("Level ") + QString::number(i + 1) + QStringLiteral(" - ") +
                                      displayName(levels[static_cast<std::size_t>(i)].name));
        }
        toolkit().showModal(&chooser, this);
    }

    if (newLevel < 0 || newLevel >= quorvale::kLevelCount) return;

    // A damaged level file must not put an impossible layout on the board:
    // refuse it and keep the game in play as it is.
    const quorvale::LevelRecord& chosen = levels[static_cast<std::size_t>(newLevel)];
    const std::string problem = quorvale::layoutProblem(chosen.positions);
    if (!problem.empty()) {
        toolkit().messageBox(this,
                             QStringLiteral("Level ") + QString::number(newLevel + 1) +
                                 QStringLiteral(" cannot be started: its layout is invalid.") +
                                 QStringLiteral("\r\n") + QString::fromStdString(problem),
                             QStringLiteral("Quorvale - New Game"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }

    imgCong->setVisible(false);
    gameModified = false;
    levelIndex = newLevel;
    steps = 0;
    mnuSaveGame->setEnabled(true);
    clearBoard();
    decodePositions(levels[static_cast<std::size_t>(levelIndex)].positions);
    placePieces();
    showPlayfield();
    updateStatus();
}
