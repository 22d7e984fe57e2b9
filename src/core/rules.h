// The solved test and the texts the game shows about the game in play.
#pragma once

#include <cstdint>
#include <string>

#include "core/board.h"

namespace quorvale {

// The square's top-left cell when it stands at the exit: column 1, row 3.
constexpr int kExitCol = 1;
constexpr int kExitRow = 3;

// True when the four exit cells (1,3), (2,3), (1,4), (2,4) all hold piece 0.
bool isSolved(const Board& board);

// "Level: " + (levelIndex + 1) + " - " + name (untrimmed) + "    Steps: " + steps.
std::u16string statusCaption(int levelIndex, const std::u16string& levelName, std::int32_t steps);

// A name as labels and lists show it (level names, saved games' file names):
// every control character (C0 with NUL, TAB, CR and LF, DEL, C1 with the
// undefined Windows-1252 bytes) and the line and paragraph separators become
// spaces, so a name read from a file can neither break the line nor hide in
// it. The stored name is left as it is.
std::u16string shownLevelName(std::u16string name);

// "Congratulations!! You finished the game in " + steps + " steps."
std::u16string congratulationText(std::int32_t steps);

// The step count after one more step: one more, except that a count already
// at the largest 32-bit value stays there instead of overflowing.
std::int32_t addStep(std::int32_t steps);

// Decimal digits of a number, '-' in front of a negative one.
std::u16string decimal(std::int64_t value);

// The UTF-16 text of a plain ASCII literal.
std::u16string ascii(const char* text);

}  // namespace quorvale
