// The File menu's commands on the game in play: New Game, Load Game, Save
// Game, and the question before anything that would drop unsaved changes.
// They talk to the player through the toolkit, with every box and chooser
// owned by `owner`, and change the game only through its own procedures; the
// window draws what they leave on the board.
#pragma once

#include <QString>
#include <cstdint>

#include "toolkit/toolkit.h"
#include "core/game.h"

class QWidget;

class GameCommands {
public:
    // Saved games are written to and loaded from `savedFolder`.
    GameCommands(quorvale::Game& game, Toolkit& toolkit, QWidget& owner, const QString& savedFolder);

    // New Game: the question, then the level chooser, whose answer lands in
    // `newLevel`, then that level on the board. True when a level was started.
    bool newGame(std::int16_t& newLevel);

    // Load Game: the question, then the saved-game chooser, whose answer
    // lands in `absFilename`, then the game read from that file. True when a
    // saved game is on the board.
    bool loadGame(QString& absFilename);

    // Save Game: asks for a name until one passes the rules, then writes the
    // game under it, or reports why it could not.
    void saveGame();

    // The question before closing, New Game and Load Game while the game has
    // unsaved changes; Yes runs the Save command, whatever it then does.
    // False only when the player answered Cancel.
    bool offerToSave(const QString& title);

    bool isLegalGameName(const QString& name) const;
    // A plain file holds a saved game of that name.
    bool savedGameExists(const QString& name) const;

private:
    bool askToOverwrite();
    bool askForName(QString& name, bool& mayReplace);

    quorvale::Game& game_;
    Toolkit& toolkit_;
    QWidget& owner_;
    const QString savedFolder_;
};
