// Chooses the shipped level set from the optimal step counts of all layouts.
#pragma once

#include <string>
#include <vector>

#include "core/board.h"
#include "solver/solver.h"
#include "levels/levelfile.h"

namespace quorvale::levels {

struct DesignedLevel {
    std::string name;
    Positions positions{};
    int steps = 0;
};

// The classic layout (square at the top middle, tall pieces at the sides,
// the wide piece below the square).
Positions classicLayout();

// 70 levels: counts from at most 10 steps up to the largest count of the
// space in an even climb, the classic layout among them, no two the same up
// to a mirror image. Always the same result for the same table.
std::vector<DesignedLevel> designLevels(const solver::SpaceTable& steps);

}  // namespace quorvale::levels
