#include "solver/solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>

#include "core/board.h"
#include "core/drag.h"
#include "solver/layoutpicture.h"
#include "core/rules.h"

namespace quorvale {
namespace {

using solver::LayoutKey;
using solver::MoveCounting;

// T S S T / T S S T / T W W T / T o o T / o . . o
const Positions kClassic{1, 21, 0, 3, 20, 23, 31, 32, 40, 43};

// W W T T / o o T T / T S S T / T S S T / o . . o: the square one row above the exit.
const Positions kOneStep{21, 0, 2, 3, 20, 23, 10, 11, 40, 43};

// W W T T / o o T T / T o o T / T S S T / . S S .: solved before any move.
const Positions kSolvedAtStart{31, 0, 2, 3, 20, 23, 10, 11, 21, 22};

// Identical pieces are interchangeable: sort their positions.
Positions normalised(Positions p) {
    std::sort(p.begin() + 2, p.begin() + 6);
    std::sort(p.begin() + 6, p.end());
    return p;
}

// The fewest game steps, by a plain search over positions that uses the
// game's own path tests; -1 when unsolvable. Independent of the solver's keys
// and move tables.
int referenceSteps(const Positions& start) {
    Pieces sizes;
    setPieceSizes(sizes);
    std::map<Positions, int> dist{{normalised(start), 0}};
    std::deque<Positions> queue{normalised(start)};
    while (!queue.empty()) {
        const Positions p = queue.front();
        queue.pop_front();
        const Board board = boardOf(p);
        if (isSolved(board)) return dist[p];
        for (int piece = 0; piece < kPieceCount; ++piece) {
            const int col = p[piece] % 10, row = p[piece] / 10;
            for (int dc = -3; dc <= 3; ++dc) {
                for (int dr = -4; dr <= 4; ++dr) {
                    if ((dc == 0) == (dr == 0)) continue;  // straight lines only, non-zero
                    const int c = col + dc, r = row + dr;
                    if (c < 0 || r < 0 || c + sizes[piece].width > 4 || r + sizes[piece].height > 5) continue;
                    const bool ok = dr == 0 ? canMoveHorizontally(board, piece, col, c, row)
                                            : canMoveVertically(board, piece, row, r, col);
                    if (!ok) continue;
                    Positions q = p;
                    q[piece] = static_cast<std::int16_t>(10 * r + c);
                    q = normalised(q);
                    if (dist.emplace(q, dist[p] + 1).second) queue.push_back(q);
                }
            }
        }
    }
    return -1;
}

const solver::SpaceTable& stepsTable() {
    static const solver::SpaceTable table = solver::solveSpace(MoveCounting::Steps);
    return table;
}

const solver::SpaceTable& anyRouteTable() {
    static const solver::SpaceTable table = solver::solveSpace(MoveCounting::AnyRoute);
    return table;
}

// ---- the published figures ----------------------------------------------------

TEST(SolverPublished, TheTenPiecesHave65880DistinctLayouts) {
    const std::vector<LayoutKey> all = solver::allLayouts();
    EXPECT_EQ(all.size(), 65880u);
    EXPECT_TRUE(std::adjacent_find(all.begin(), all.end()) == all.end()) << "a layout listed twice";
    for (LayoutKey key : all) {
        const Positions p = solver::positionsOf(key);
        ASSERT_TRUE(layoutProblem(p).empty()) << layoutProblem(p);
        ASSERT_EQ(solver::keyOf(p), key);
    }
}

TEST(SolverPublished, ClassicLayoutNeeds81MovesWhenAnyRouteCountsAsOne) {
    const solver::Solution s = solver::solve(kClassic, MoveCounting::AnyRoute);
    ASSERT_TRUE(s.valid);
    ASSERT_TRUE(s.solvable);
    EXPECT_EQ(s.moves.size(), 81u);
    EXPECT_EQ(anyRouteTable().countOf(*solver::keyOf(kClassic)), 81);
}

// ---- optimal solutions, replayed with the game's own rules ----------------------

TEST(SolverSolve, ClassicStepsSolutionIsOptimalAndPlayableInTheGame) {
    const solver::Solution s = solver::solve(kClassic, MoveCounting::Steps);
    ASSERT_TRUE(s.solvable);
    EXPECT_EQ(s.moves.size(), 90u);
    EXPECT_EQ(referenceSteps(kClassic), 90);

    Board board = boardOf(kClassic);
    Pieces pieces;
    setPieceSizes(pieces);
    decodePositions(pieces, kClassic);
    for (std::size_t i = 0; i < s.moves.size(); ++i) {
        const solver::Move& m = s.moves[i];
        ASSERT_EQ(pieces[m.piece].col, m.fromCol) << "move " << i + 1;
        ASSERT_EQ(pieces[m.piece].row, m.fromRow) << "move " << i + 1;
        ASSERT_TRUE((m.fromCol == m.toCol) != (m.fromRow == m.toRow)) << "move " << i + 1 << " is not straight";
        const bool ok = m.fromRow == m.toRow ? canMoveHorizontally(board, m.piece, m.fromCol, m.toCol, m.fromRow)
                                             : canMoveVertically(board, m.piece, m.fromRow, m.toRow, m.fromCol);
        ASSERT_TRUE(ok) << "move " << i + 1 << " is blocked";
        clearPieceCells(board, m.piece, m.fromCol, m.fromRow);
        putPiece(board, pieces, m.piece, m.toCol, m.toRow);
        ASSERT_EQ(encodePositions(pieces), m.after) << "move " << i + 1;
        ASSERT_EQ(isSolved(board), i + 1 == s.moves.size()) << "move " << i + 1;
    }
}

TEST(SolverSolve, AnyRouteMovesGoThroughFreeCellsOnly) {
    const solver::Solution s = solver::solve(kClassic, MoveCounting::AnyRoute);
    ASSERT_TRUE(s.solvable);
    Positions current = kClassic;
    Pieces sizes;
    setPieceSizes(sizes);
    for (const solver::Move& m : s.moves) {
        // Flood the piece's top-left cells one cell at a time with the game's path test.
        const Board board = boardOf(current);
        bool reach[5][4] = {};
        std::deque<std::pair<int, int>> q{{m.fromCol, m.fromRow}};
        reach[m.fromRow][m.fromCol] = true;
        while (!q.empty()) {
            const auto [c, r] = q.front();
            q.pop_front();
            const int next[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] + sizes[m.piece].width > 4 || n[1] + sizes[m.piece].height > 5) continue;
                if (reach[n[1]][n[0]]) continue;
                const bool ok = n[1] == r ? canMoveHorizontally(board, m.piece, c, n[0], r)
                                          : canMoveVertically(board, m.piece, r, n[1], c);
                if (!ok) continue;
                reach[n[1]][n[0]] = true;
                q.push_back({n[0], n[1]});
            }
        }
        ASSERT_TRUE(reach[m.toRow][m.toCol]);
        ASSERT_FALSE(m.toCol == m.fromCol && m.toRow == m.fromRow);
        current[m.piece] = static_cast<std::int16_t>(10 * m.toRow + m.toCol);
        ASSERT_EQ(current, m.after);
    }
    EXPECT_TRUE(isSolved(boardOf(current)));
}

TEST(SolverSolve, OneStepAndSolvedAtStart) {
    ASSERT_EQ(layoutProblem(kOneStep), "");
    const solver::Solution one = solver::solve(kOneStep);
    ASSERT_TRUE(one.solvable);
    ASSERT_EQ(one.moves.size(), 1u);
    EXPECT_EQ(one.moves[0].piece, 0);
    EXPECT_EQ(one.moves[0].toCol, 1);
    EXPECT_EQ(one.moves[0].toRow, 3);
    EXPECT_EQ(stepsTable().countOf(*solver::keyOf(kOneStep)), 1);

    ASSERT_EQ(layoutProblem(kSolvedAtStart), "");
    const solver::Solution zero = solver::solve(kSolvedAtStart);
    EXPECT_TRUE(zero.valid);
    EXPECT_TRUE(zero.solvable);
    EXPECT_TRUE(zero.moves.empty());
    EXPECT_EQ(stepsTable().countOf(*solver::keyOf(kSolvedAtStart)), 0);
}

TEST(SolverSolve, InvalidLayoutsAreRejectedNotSolved) {
    Positions outside = kClassic;
    outside[0] = 3;  // the square would reach column 4
    EXPECT_FALSE(solver::keyOf(outside).has_value());
    EXPECT_FALSE(solver::solve(outside).valid);

    Positions overlap = kClassic;
    overlap[6] = overlap[7];  // two small pieces on one cell
    EXPECT_FALSE(solver::keyOf(overlap).has_value());
    EXPECT_FALSE(solver::solve(overlap).valid);

    Positions negative = kClassic;
    negative[9] = -1;
    EXPECT_FALSE(solver::solve(negative).valid);

    Positions badColumn = kClassic;
    badColumn[9] = 17;  // column digit 7
    EXPECT_FALSE(solver::solve(badColumn).valid);
}

// ---- keys ---------------------------------------------------------------------

TEST(SolverKeys, IdenticalPiecesSwapAndMirrorImagesPair) {
    Positions swapped = kClassic;
    std::swap(swapped[2], swapped[5]);
    std::swap(swapped[6], swapped[9]);
    EXPECT_EQ(solver::keyOf(swapped), solver::keyOf(kClassic));

    // The classic layout is its own mirror image; level-like layouts are not.
    EXPECT_EQ(solver::mirrored(*solver::keyOf(kClassic)), *solver::keyOf(kClassic));
    std::size_t selfMirrored = 0;
    for (LayoutKey key : stepsTable().keys()) {
        const LayoutKey m = solver::mirrored(key);
        ASSERT_EQ(solver::mirrored(m), key);
        ASSERT_EQ(solver::canonical(key), solver::canonical(m));
        ASSERT_EQ(stepsTable().countOf(key), stepsTable().countOf(m)) << "the exit is in the middle";
        selfMirrored += m == key;
    }
    EXPECT_GT(selfMirrored, 0u);
    EXPECT_EQ((65880 - selfMirrored) % 2, 0u);
}

TEST(SolverKeys, MirrorImageMovesEveryPieceToTheOtherSide) {
    Pieces sizes;
    setPieceSizes(sizes);
    const std::vector<LayoutKey>& keys = stepsTable().keys();
    for (std::size_t i = 0; i < keys.size(); i += 7) {
        Positions p = solver::positionsOf(keys[i]);
        for (int piece = 0; piece < kPieceCount; ++piece) {
            const int col = p[piece] % 10, row = p[piece] / 10;
            p[piece] = static_cast<std::int16_t>(10 * row + (4 - sizes[piece].width - col));
        }
        ASSERT_EQ(solver::keyOf(p), solver::mirrored(keys[i])) << "layout " << i;
    }
}

TEST(SolverKeys, CountOfRejectsKeysThatAreNoLayout) {
    EXPECT_FALSE(stepsTable().countOf(0).has_value());
    EXPECT_FALSE(stepsTable().countOf(~LayoutKey{0}).has_value());
    // Three free cells: a small piece taken off the classic layout.
    const LayoutKey classic = *solver::keyOf(kClassic);
    EXPECT_FALSE(stepsTable().countOf(classic & ~(LayoutKey{7} << (3 * 16))).has_value());
}

// ---- the whole space ------------------------------------------------------------

TEST(SolverSpace, ForwardSearchAgreesWithTheBackwardPass) {
    // Every 500th layout, in both countings; this also covers unsolvable ones.
    int unsolvable = 0;
    for (const solver::SpaceTable* table : {&stepsTable(), &anyRouteTable()}) {
        const MoveCounting counting = table == &stepsTable() ? MoveCounting::Steps : MoveCounting::AnyRoute;
        for (std::size_t i = 0; i < table->keys().size(); i += 500) {
            const solver::Solution s = solver::solve(solver::positionsOf(table->keys()[i]), counting);
            ASSERT_TRUE(s.valid);
            const int count = table->counts()[i];
            ASSERT_EQ(s.solvable, count >= 0) << "layout " << i;
            if (count >= 0) {
                ASSERT_EQ(static_cast<int>(s.moves.size()), count) << "layout " << i;
            }
            unsolvable += count < 0;
        }
    }
    EXPECT_GT(unsolvable, 0);
}

TEST(SolverSpace, FiguresOfTheWholeSpace) {
    const solver::SpaceTable& steps = stepsTable();
    ASSERT_EQ(steps.keys().size(), 65880u);
    const auto solvedAtStart = std::count(steps.counts().begin(), steps.counts().end(), 0);
    const auto unsolvable = std::count(steps.counts().begin(), steps.counts().end(), solver::SpaceTable::kUnsolvable);
    // Solved layouts: the square on its two exit rows, the other 14 cells free to fill.
    std::size_t solvedKeys = 0;
    for (LayoutKey key : steps.keys()) solvedKeys += solver::isSolvedKey(key);
    EXPECT_EQ(static_cast<std::size_t>(solvedAtStart), solvedKeys);
    EXPECT_EQ(anyRouteTable().counts().size(), 65880u);
    EXPECT_EQ(std::count(anyRouteTable().counts().begin(), anyRouteTable().counts().end(), -1), unsolvable)
        << "both countings have the same moves between the same layouts";
    // The hardest layout needs 101 steps (93 moves when any route counts as one);
    // the level set relies on this maximum.
    EXPECT_EQ(steps.maxCount(), 101);
    EXPECT_EQ(anyRouteTable().maxCount(), 93);
    // An any-route move is never worse than the steps it is made of.
    for (std::size_t i = 0; i < steps.keys().size(); ++i) {
        ASSERT_EQ(anyRouteTable().countOf(steps.keys()[i]).value(), anyRouteTable().counts()[i]);
        ASSERT_LE(anyRouteTable().counts()[i], steps.counts()[i]);
    }
}

}  // namespace
}  // namespace quorvale
