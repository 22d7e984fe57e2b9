#include "solver/layoutpicture.h"

namespace quorvale {

const char kShapeSymbols[kPieceCount] = {'S', 'W', 'T', 'T', 'T', 'T', 'o', 'o', 'o', 'o'};

Board boardOf(const Positions& positions) {
    Board board;
    Pieces pieces;
    setPieceSizes(pieces);
    clearBoard(board);
    decodePositions(pieces, positions);
    markAllPieces(board, pieces);
    return board;
}

bool layoutFromPicture(const LayoutPicture& g, Positions& pos, std::string& error) {
    for (const std::string& row : g) {
        if (row.size() != static_cast<std::size_t>(kBoardCols)) {
            error = "every board row must have 4 characters";
            return false;
        }
        for (char c : row) {
            if (c != 'S' && c != 'W' && c != 'T' && c != 'o' && c != '.') {
                error = std::string("unexpected character '") + c + "' in a board row (use S, W, T, o or .)";
                return false;
            }
        }
    }
    auto at = [&g](int c, int r) { return (c < kBoardCols && r < kBoardRows) ? g[r][c] : '\0'; };
    auto encode = [](int c, int r) { return static_cast<std::int16_t>(10 * r + c); };

    bool used[kBoardRows][kBoardCols] = {};
    int square = 0, wide = 0, tall = 0, small = 0, free = 0;
    for (int r = 0; r < kBoardRows; ++r) {
        for (int c = 0; c < kBoardCols; ++c) {
            if (used[r][c]) continue;
            switch (g[r][c]) {
                case 'S':
                    if (square > 0 || at(c + 1, r) != 'S' || at(c, r + 1) != 'S' || at(c + 1, r + 1) != 'S') {
                        error = "the square (S) must be one block of 2 x 2 cells";
                        return false;
                    }
                    used[r][c + 1] = used[r + 1][c] = used[r + 1][c + 1] = true;
                    pos[0] = encode(c, r);
                    ++square;
                    break;
                case 'W':
                    if (wide > 0 || at(c + 1, r) != 'W') {
                        error = "the wide piece (W) must be two cells side by side";
                        return false;
                    }
                    used[r][c + 1] = true;
                    pos[1] = encode(c, r);
                    ++wide;
                    break;
                case 'T':
                    if (tall >= 4 || at(c, r + 1) != 'T') {
                        error = "the tall pieces (T) must be four pairs of cells, one above the other";
                        return false;
                    }
                    used[r + 1][c] = true;
                    pos[static_cast<std::size_t>(2 + tall++)] = encode(c, r);
                    break;
                case 'o':
                    if (small >= 4) {
                        error = "there must be exactly four small pieces (o)";
                        return false;
                    }
                    pos[static_cast<std::size_t>(6 + small++)] = encode(c, r);
                    break;
                default:
                    ++free;
                    break;
            }
            used[r][c] = true;
        }
    }
    if (square != 1) error = "the board needs one square (S)";
    else if (wide != 1) error = "the board needs one wide piece (W)";
    else if (tall != 4) error = "the tall pieces (T) must be four pairs of cells, one above the other";
    else if (small != 4) error = "there must be exactly four small pieces (o)";
    else if (free != 2) error = "there must be exactly two free cells (.)";
    else return true;
    return false;
}

LayoutPicture pictureOf(const Positions& positions, const char (&symbols)[kPieceCount]) {
    const Board board = boardOf(positions);
    LayoutPicture rows;
    for (int r = 0; r < kBoardRows; ++r) {
        for (int c = 0; c < kBoardCols; ++c) {
            const int v = board.at(c, r);
            rows[static_cast<std::size_t>(r)] += v == kEmptyCell ? '.' : symbols[v];
        }
    }
    return rows;
}

}  // namespace quorvale
