// The solver: optimal solutions of one layout, and the optimal move count of
// every layout of the ten pieces. Used by the level tools and the tests; the
// game itself never calls it.
//
// A layout is kept as a 60-bit key: three bits per board cell, cell index
// 4 x row + col, holding a shape code (free, small, top or bottom of a tall
// piece, left or right half of the wide piece, top-left or other cell of the
// square). Identical pieces leave identical codes, so a key stands for a layout
// with the four tall and the four small pieces interchangeable.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/board.h"

namespace quorvale::solver {

using LayoutKey = std::uint64_t;

// How moves are counted.
enum class MoveCounting {
    Steps,     // the game's step: one piece slid in one straight line by one or more free cells
    AnyRoute,  // one piece moved anywhere it can reach through free cells, corners included
};

// The key of ten encoded positions, or nothing when they do not describe a
// valid layout (a piece outside the board, or two pieces sharing a cell).
std::optional<LayoutKey> keyOf(const Positions& positions);

// Positions of a key, with the tall pieces numbered 2..5 and the small pieces
// 6..9 in reading order of their top-left cells. Precondition: a valid key.
Positions positionsOf(LayoutKey key);

// The layout seen in a mirror (columns reversed).
LayoutKey mirrored(LayoutKey key);

// The same key for a layout and its mirror image: the smaller of the two.
LayoutKey canonical(LayoutKey key);

// True when the square stands with its top-left cell at column 1, row 3.
bool isSolvedKey(LayoutKey key);

// One move of an optimal solution, with the real piece index of the layout.
struct Move {
    int piece = 0;
    int fromCol = 0, fromRow = 0;  // top-left cell before
    int toCol = 0, toRow = 0;      // top-left cell after
    Positions after{};             // the whole layout after the move
};

struct Solution {
    bool valid = false;     // the positions describe a layout the board can hold
    bool solvable = false;  // the square can reach the exit
    std::vector<Move> moves;  // an optimal sequence; empty when unsolvable or solved at start
    std::size_t explored = 0;  // layouts the search visited
};

// Breadth-first search from the layout until the first solved layout.
Solution solve(const Positions& positions, MoveCounting counting = MoveCounting::Steps);

// Every layout of the ten pieces on the board, as keys in ascending order.
std::vector<LayoutKey> allLayouts();

// The optimal move count of every layout.
class SpaceTable {
public:
    static constexpr std::int16_t kUnsolvable = -1;

    SpaceTable() = default;
    // `keys` in the order of the solver's own numbering of layouts.
    SpaceTable(std::vector<LayoutKey> keys, std::vector<std::int16_t> counts);

    // All layouts, and their counts at the same places.
    const std::vector<LayoutKey>& keys() const { return keys_; }
    const std::vector<std::int16_t>& counts() const { return counts_; }

    // Optimal count of a layout, kUnsolvable when the square cannot get out;
    // nothing for a key that is not a layout.
    std::optional<std::int16_t> countOf(LayoutKey key) const;

    // The largest optimal count of all solvable layouts.
    std::int16_t maxCount() const { return maxCount_; }

private:
    std::vector<LayoutKey> keys_;
    std::vector<std::int16_t> counts_;
    std::int16_t maxCount_ = 0;
};

// One breadth-first pass back from all solved layouts over the whole space.
SpaceTable solveSpace(MoveCounting counting = MoveCounting::Steps);

}  // namespace quorvale::solver
