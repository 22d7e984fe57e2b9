// The two records the game keeps and exchanges with its files: a level of
// the level table and a saved game. Their byte layouts belong to the level
// file (levels/) and the saved-game file (saves/).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/board.h"

namespace quorvale {

constexpr int kLevelCount = 70;
constexpr int kLevelNameLength = 10;

struct LevelRecord {
    std::u16string name = std::u16string(kLevelNameLength, u'\0');  // always 10 characters
    Positions positions{};
};

using LevelTable = std::array<LevelRecord, kLevelCount>;

struct SavedGame {
    std::int32_t steps = 0;
    std::int16_t levelIndex = 0;
    std::u16string levelName;  // 10 characters
    Positions positions{};
};

}  // namespace quorvale
