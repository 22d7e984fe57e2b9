#include "core/game.h"

#include "core/rules.h"

namespace quorvale {

namespace {

bool isLevelIndex(int index) { return index >= 0 && index < kLevelCount; }

}  // namespace

Game::Game() {
    setPieceSizes(pieces_);
    quorvale::clearBoard(board_);
}

void Game::clearBoard() { quorvale::clearBoard(board_); }

void Game::decodePositions(const Positions& positions) { quorvale::decodePositions(pieces_, positions); }

void Game::placePieces() { markAllPieces(board_, pieces_); }

void Game::setLayout(const Positions& positions) {
    clearBoard();
    decodePositions(positions);
    placePieces();
}

std::string Game::startLevel(int newLevel) {
    if (!isLevelIndex(newLevel)) return "There is no level " + std::to_string(newLevel + 1) + ".";
    const LevelRecord& level = levels_[static_cast<std::size_t>(newLevel)];
    // A damaged level file must not put an impossible layout on the board.
    std::string problem = layoutProblem(level.positions);
    if (!problem.empty()) return problem;
    gameModified_ = false;
    levelIndex_ = static_cast<std::int16_t>(newLevel);
    steps_ = 0;
    setLayout(level.positions);
    return {};
}

SavedGame Game::savedGame() const {
    SavedGame game;
    game.steps = steps_;
    game.levelIndex = levelIndex_;
    if (isLevelIndex(levelIndex_)) game.levelName = levels_[static_cast<std::size_t>(levelIndex_)].name;
    game.positions = encodePositions(pieces_);
    return game;
}

bool Game::loadSavedGame(const SavedGame& game) {
    if (!isLevelIndex(game.levelIndex) || !layoutProblem(game.positions).empty()) return false;
    steps_ = game.steps;
    levelIndex_ = game.levelIndex;
    levels_[static_cast<std::size_t>(levelIndex_)].name = game.levelName;
    gameModified_ = false;
    setLayout(game.positions);
    return true;
}

DragAnswer Game::dragPress(int index, ImagePlace image, ImageExtent extent, MouseEventTwips event,
                           TwipsPerPixel tpp) {
    return quorvale::dragPress(drag_, index, image, extent, event, tpp);
}

DragAnswer Game::dragMove(ImagePlace image, MouseEventTwips event, TwipsPerPixel tpp) {
    return quorvale::dragMove(drag_, board_, pieces_, image, event, tpp);
}

DragAnswer Game::dragRelease(int index, ImagePlace image, MouseEventTwips event, TwipsPerPixel tpp) {
    const DragAnswer answer = quorvale::dragRelease(drag_, board_, pieces_, index, image, event, tpp);
    if (answer.committed) {
        gameModified_ = true;
        if (answer.stepTaken) steps_ = addStep(steps_);
    }
    // A solved puzzle has nothing left to save.
    if (answer.runSolvedTest && isSolved()) gameModified_ = false;
    return answer;
}

bool Game::isSolved() const { return quorvale::isSolved(board_); }

std::u16string Game::statusCaption() const {
    const int index = isLevelIndex(levelIndex_) ? levelIndex_ : 0;
    return quorvale::statusCaption(levelIndex_, shownLevelName(levels_[static_cast<std::size_t>(index)].name),
                                   steps_);
}

std::u16string Game::congratulationText() const { return quorvale::congratulationText(steps_); }

}  // namespace quorvale
