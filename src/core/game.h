// The game in play: the level table, the board with its ten pieces, the level
// being played, the step count, the unsaved-changes mark and the drag under
// way. The main window holds one, draws what it says and hands it the mouse;
// New Game and Load Game put a layout on its board, Save Game takes its
// record. Every change goes through it, so the board, the pieces and the
// counters never disagree.
#pragma once

#include <cstdint>
#include <string>

#include "core/board.h"
#include "core/drag.h"
#include "core/records.h"

namespace quorvale {

class Game {
public:
    // Every piece has its fixed size; the board is empty, the level table
    // cleared, level 0, no steps, nothing to save.
    Game();

    // ---- State ----
    const LevelTable& levels() const { return levels_; }
    const Board& board() const { return board_; }
    const Pieces& pieces() const { return pieces_; }
    std::int16_t levelIndex() const { return levelIndex_; }
    std::int32_t steps() const { return steps_; }
    // The game has changed since it was started, loaded or saved.
    bool gameModified() const { return gameModified_; }
    const DragState& drag() const { return drag_; }

    // The level table as the level file gave it.
    void setLevels(const LevelTable& levels) { levels_ = levels; }

    // New Game: puts level `newLevel`'s layout on the board at step 0, with
    // nothing to save, and returns "". A level whose layout the board cannot
    // hold changes nothing; the result then says what is wrong with it.
    std::string startLevel(int newLevel);

    // ---- Saved games ----
    // The record of the game in play: steps, level, the level's name and
    // where the ten pieces stand.
    SavedGame savedGame() const;
    // Load Game: the record's level, steps and layout go on the board, and
    // its level name replaces that level's name in the table for the rest of
    // the run. False, and nothing changes, for a record whose level or layout
    // the game cannot hold.
    bool loadSavedGame(const SavedGame& game);
    // The game has been saved, or the player chose to drop its changes.
    void markSaved() { gameModified_ = false; }

    // ---- The mouse on a piece image (see core/drag.h) ----
    DragAnswer dragPress(int index, ImagePlace image, ImageExtent extent, MouseEventTwips event, TwipsPerPixel tpp);
    DragAnswer dragMove(ImagePlace image, MouseEventTwips event, TwipsPerPixel tpp);
    // A release that moves the piece marks the game changed and counts a
    // step when the piece ended on another cell; one that solves the puzzle
    // leaves nothing to save.
    DragAnswer dragRelease(int index, ImagePlace image, MouseEventTwips event, TwipsPerPixel tpp);
    DragAnswer dragCancel() { return quorvale::dragCancel(drag_); }

    // The square stands on the four exit cells.
    bool isSolved() const;

    // ---- What the window shows ----
    // "Level: 6 - <name>    Steps: 12", control characters of the name as spaces.
    std::u16string statusCaption() const;
    // "Congratulations!! You finished the game in 12 steps."
    std::u16string congratulationText() const;

private:
    // The three steps that put ten encoded positions on the board.
    void clearBoard();
    void decodePositions(const Positions& positions);
    void placePieces();
    void setLayout(const Positions& positions);

    LevelTable levels_{};
    Board board_{};
    Pieces pieces_{};
    std::int16_t levelIndex_ = 0;
    std::int32_t steps_ = 0;
    bool gameModified_ = false;
    DragState drag_;
};

}  // namespace quorvale
