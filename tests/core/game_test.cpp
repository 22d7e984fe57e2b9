// The game class: starting a level, a saved game in and out, a move through
// the mouse and what the window is told to show.
#include <gtest/gtest.h>

#include "core/game.h"
#include "solver/layoutpicture.h"

using namespace quorvale;

namespace {

Positions layout(const LayoutPicture& rows) {
    Positions positions{};
    std::string error;
    EXPECT_TRUE(layoutFromPicture(rows, positions, error)) << error;
    return positions;
}

// "Easy": the square one row above the exit; "Open": another layout.
const LayoutPicture kEasy = {"TWWT", "TooT", "TSST", "TSST", "o..o"};
const LayoutPicture kOpen = {"TSST", "TSST", "TWWT", "TooT", "o..o"};

std::u16string name10(const std::u16string& text) { return text + std::u16string(10 - text.size(), u' '); }

// A game with levels 1 "Easy" and 2..70 "Open"; level 3's layout is broken
// (every piece on cell 0).
Game gameWithLevels() {
    LevelTable levels;
    for (LevelRecord& level : levels) {
        level.name = name10(u"Open");
        level.positions = layout(kOpen);
    }
    levels[0] = {name10(u"Easy"), layout(kEasy)};
    levels[2].positions.fill(0);
    Game game;
    game.setLevels(levels);
    return game;
}

// Everything a refused request must leave alone.
void expectSameGame(const Game& a, const Game& b) {
    EXPECT_EQ(a.board().cells, b.board().cells);
    EXPECT_EQ(a.levelIndex(), b.levelIndex());
    EXPECT_EQ(a.steps(), b.steps());
    EXPECT_EQ(a.gameModified(), b.gameModified());
    EXPECT_EQ(a.savedGame().positions, b.savedGame().positions);
    for (int i = 0; i < kLevelCount; ++i) EXPECT_EQ(a.levels()[i].name, b.levels()[i].name);
}

// One drag of `piece` by the mouse, from a grab in its top-left cell to the
// cell (col, row), at 15 twips per pixel as the window would hand it over.
DragAnswer drag(Game& game, int piece, int col, int row) {
    const TwipsPerPixel tpp{15, 15};
    const PiecePos& p = game.pieces()[static_cast<std::size_t>(piece)];
    const ImagePlace image{float((60 * p.col + 30) * 15), float((60 * p.row + 30) * 15)};
    game.dragPress(piece, image, {float(p.width * 900), float(p.height * 900)}, {kLeftButton, 450, 450}, tpp);
    return game.dragRelease(piece, image,
                            {kLeftButton, float(450 + (col - p.col) * 900), float(450 + (row - p.row) * 900)}, tpp);
}

}  // namespace

TEST(GameTest, NewGameHasEveryPieceSizedAndNothingInPlay) {
    const Game game;
    const int widths[10] = {2, 2, 1, 1, 1, 1, 1, 1, 1, 1};
    const int heights[10] = {2, 1, 2, 2, 2, 2, 1, 1, 1, 1};
    for (int i = 0; i < kPieceCount; ++i) {
        EXPECT_EQ(game.pieces()[i].width, widths[i]) << "piece " << i;
        EXPECT_EQ(game.pieces()[i].height, heights[i]) << "piece " << i;
    }
    for (int row = 0; row < kBoardRows; ++row)
        for (int col = 0; col < kBoardCols; ++col) EXPECT_EQ(game.board().at(col, row), kEmptyCell);
    EXPECT_EQ(game.steps(), 0);
    EXPECT_FALSE(game.gameModified());
}

TEST(GameTest, StartLevelPutsItsLayoutOnTheBoardOrRefusesABrokenOne) {
    Game game = gameWithLevels();
    ASSERT_EQ(game.startLevel(1), "");
    drag(game, 8, 1, 4);
    ASSERT_TRUE(game.gameModified());

    ASSERT_EQ(game.startLevel(0), "");
    EXPECT_EQ(game.levelIndex(), 0);
    EXPECT_EQ(game.steps(), 0);
    EXPECT_FALSE(game.gameModified());
    // The square's four cells, the wide piece's two, a small piece, a free cell.
    for (auto [col, row, piece] : {std::array{1, 2, 0}, {2, 3, 0}, {1, 0, 1}, {2, 0, 1}, {0, 4, 8}, {1, 4, -1}})
        EXPECT_EQ(game.board().at(col, row), piece) << col << "," << row;

    const Game before = game;
    EXPECT_EQ(game.startLevel(2), "The square and the wide piece overlap in column 1, row 1.");
    EXPECT_EQ(game.startLevel(70), "There is no level 71.");
    expectSameGame(game, before);
}

TEST(GameTest, SavedGameGoesOutAndComesBackWithItsLevelName) {
    Game game = gameWithLevels();
    const SavedGame record{12, 5, u"Saved name", layout(kEasy)};
    ASSERT_TRUE(game.loadSavedGame(record));
    EXPECT_EQ(game.statusCaption(), u"Level: 6 - Saved name    Steps: 12");
    EXPECT_EQ(game.levels()[5].name, u"Saved name") << "the table keeps the loaded name";
    EXPECT_EQ(game.board().at(1, 3), 0);
    const SavedGame out = game.savedGame();
    EXPECT_EQ(out.steps, 12);
    EXPECT_EQ(out.levelIndex, 5);
    EXPECT_EQ(out.levelName, u"Saved name");
    EXPECT_EQ(out.positions, record.positions);

    // A record the game cannot hold changes nothing.
    const Game before = game;
    for (const SavedGame& bad : {SavedGame{3, 70, u"Out       ", layout(kOpen)},
                                 SavedGame{3, -1, u"Out       ", layout(kOpen)}, SavedGame{3, 1, u"Broken    ", {}}}) {
        EXPECT_FALSE(game.loadSavedGame(bad));
        expectSameGame(game, before);
    }
}

TEST(GameTest, MovesCountAndASolvedPuzzleLeavesNothingToSave) {
    Game game = gameWithLevels();
    ASSERT_EQ(game.startLevel(0), "");
    // Released where it was pressed: nothing happened.
    EXPECT_FALSE(drag(game, 8, 0, 4).committed);
    EXPECT_FALSE(game.gameModified());
    // Over and back: two steps, changed, square still short of the exit.
    EXPECT_TRUE(drag(game, 8, 1, 4).committed);
    EXPECT_TRUE(game.gameModified());
    drag(game, 8, 0, 4);
    EXPECT_EQ(game.steps(), 2);
    EXPECT_FALSE(game.isSolved());

    const DragAnswer last = drag(game, 0, 1, 3);
    EXPECT_TRUE(last.runSolvedTest);
    EXPECT_TRUE(game.isSolved());
    EXPECT_EQ(game.steps(), 3);
    EXPECT_FALSE(game.gameModified());
    EXPECT_EQ(game.congratulationText(), u"Congratulations!! You finished the game in 3 steps.");
}

TEST(GameTest, StatusLineShowsLevelNameAndSteps) {
    Game game = gameWithLevels();
    ASSERT_EQ(game.startLevel(0), "");
    EXPECT_EQ(game.statusCaption(), u"Level: 1 - Easy          Steps: 0");
    ASSERT_EQ(game.startLevel(69), "");
    EXPECT_EQ(game.statusCaption(), u"Level: 70 - Open          Steps: 0");
    // NUL characters of a name show as spaces; the table keeps them.
    ASSERT_TRUE(game.loadSavedGame({7, 3, std::u16string(u"Ab\0\0\0\0\0\0\0\0", 10), layout(kOpen)}));
    EXPECT_EQ(game.statusCaption(), u"Level: 4 - Ab            Steps: 7");
    EXPECT_EQ(game.levels()[3].name[2], u'\0');
}
