// A program folder in a temporary directory, filled with a level file and a
// skin made by the test, and the main window started on the scripted toolkit.
#pragma once

#include <QPoint>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/frmmain.h"
#include "levels/levelfile.h"
#include "scriptedtoolkit.h"

// Encoded positions of a layout drawn as five rows of four characters:
// S square, W wide, T tall (pieces 2..5 in reading order), o small (6..9), '.' free.
quorvale::Positions layoutFromPicture(const std::array<const char*, 5>& rows);

// A level name of exactly 10 characters (padded with spaces).
std::u16string levelName(const char* text);

// Levels for tests: index 0 "Easy" is solved by moving the square one row
// down; index 1 "Classic" is the classic layout; the others repeat the
// classic layout under the names "Test NN".
quorvale::LevelTable testLevels();

// Puts testLevels()' "Easy" on `game` and moves its bottom-left small piece
// one cell right through the game's own mouse procedures (at 15 twips per
// pixel): one step, not saved.
void playOneMove(quorvale::Game& game);

// Colour of the skin rectangle `region` (0..14, in skin-map order: frame top,
// left, right, bottom, title, banner, square, second square, wide, second
// small, small, tall 1..4) in the test skin.
QRgb testSkinColour(int region);

// Skips the test where file permissions are not enforced (root may write
// anywhere); ui_tests_unprivileged sets QUORVALE_REQUIRE_PERMISSIONS=1, which
// makes that a failure.
#define SKIP_UNLESS_PERMISSIONS_ENFORCED(enforced)                                                  \
    if (!(enforced)) {                                                                             \
        if (qEnvironmentVariableIntValue("QUORVALE_REQUIRE_PERMISSIONS") == 1)                     \
            FAIL() << "this run was meant to enforce file permissions, but it does not";           \
        GTEST_SKIP() << "root may write anywhere; ui_tests_unprivileged runs this as an unprivileged user"; \
    }

class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const;  // inside the program folder

    void writeLevels(const quorvale::LevelTable& levels);
    // A skin whose sixteen rectangles each have a colour of their own.
    void writeSkin(int width = 370, int height = 380);

    // Writes the default level file and skin where none was written, then runs
    // the entry procedure. Fails the test if start-up ended the program.
    FrmMain& start();
    // Runs the entry procedure as it is, with `savedGames` as the saved-games
    // folder ("saved" in the program folder when no test set one).
    void runEntry();

    // New Game with no question expected, choosing level `index` in the chooser.
    void startLevel(int index);

    // Puts a game on the board as Load Game would, without a file: level
    // `levelIndex` under its name in the table, the layout and the step count.
    void putGame(int levelIndex, const quorvale::Positions& positions, std::int32_t steps = 0);

    // Presses the left button on piece `piece` at `grab` pixels inside its
    // image, moves the pointer through `path` (client-area pixels) and
    // releases it at the last point, with real Qt mouse events.
    void dragPiece(int piece, QPoint grab, const std::vector<QPoint>& path);

    // Centre of board cell (col, row) in client-area pixels.
    static QPoint cellCentre(int col, int row);

    QTemporaryDir dir;
    ScriptedToolkit tk;
    QString savedGames;
    std::unique_ptr<FrmMain> frm;
};
