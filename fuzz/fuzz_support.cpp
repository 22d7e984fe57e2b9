#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/rules.h"
#include "fuzz_targets.h"

namespace quorvale::fuzz {

namespace {
const char* currentInput = nullptr;

// Width and height in cells of pieces 0..9.
constexpr int kWidth[kPieceCount] = {2, 2, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr int kHeight[kPieceCount] = {2, 1, 2, 2, 2, 2, 1, 1, 1, 1};
}  // namespace

void setCurrentInput(const char* name) { currentInput = name; }

void fail(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    if (currentInput != nullptr) std::fprintf(stderr, "  input: %s\n", currentInput);
    std::fflush(stderr);
    std::abort();
}

bool layoutFits(const Positions& positions) {
    int grid[kBoardRows][kBoardCols];
    for (auto& row : grid)
        for (int& cell : row) cell = -1;
    for (int i = 0; i < kPieceCount; ++i) {
        const int v = positions[static_cast<std::size_t>(i)];
        if (v < 0) return false;
        const int col = v % 10;
        const int row = v / 10;
        if (col + kWidth[i] > kBoardCols || row + kHeight[i] > kBoardRows) return false;
        for (int r = row; r < row + kHeight[i]; ++r) {
            for (int c = col; c < col + kWidth[i]; ++c) {
                if (grid[r][c] != -1) return false;
                grid[r][c] = i;
            }
        }
    }
    return true;
}

void checkPlacement(const Positions& positions) {
    Pieces pieces{};
    setPieceSizes(pieces);
    Board board;
    clearBoard(board);
    decodePositions(pieces, positions);
    markAllPieces(board, pieces);
    FUZZ_CHECK(encodePositions(pieces) == positions);

    int freeCells = 0;
    bool squareOnExit = true;
    for (int r = 0; r < kBoardRows; ++r) {
        for (int c = 0; c < kBoardCols; ++c) {
            const int owner = board.at(c, r);
            if (owner == kEmptyCell) {
                ++freeCells;
            } else {
                FUZZ_CHECK(owner >= 0 && owner < kPieceCount);
                const PiecePos& p = pieces[static_cast<std::size_t>(owner)];
                FUZZ_CHECK(c >= p.col && c < p.col + kWidth[owner] && r >= p.row && r < p.row + kHeight[owner]);
            }
        }
    }
    FUZZ_CHECK(freeCells == 2);
    for (const auto& [c, r] : {std::pair{1, 3}, std::pair{2, 3}, std::pair{1, 4}, std::pair{2, 4}}) {
        squareOnExit = squareOnExit && board.at(c, r) == 0;
    }
    FUZZ_CHECK(isSolved(board) == squareOnExit);
    FUZZ_CHECK(isSolved(board) == (positions[0] == 31));
}

}  // namespace quorvale::fuzz
