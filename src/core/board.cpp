#include "core/board.h"

#include <string>

namespace quorvale {

namespace {

// Calls f(col, row) for every cell of `kind` with its top-left cell at
// (col, row), in the order the board has always listed them: down the first
// column, then down the second.
template <typename F>
void forEachCell(PieceKind kind, int col, int row, F&& f) {
    const PieceSize s = pieceSizeOf(kind);
    for (int dc = 0; dc < s.width; ++dc) {
        for (int dr = 0; dr < s.height; ++dr) {
            f(col + dc, row + dr);
        }
    }
}

void markKind(Board& board, const Pieces& pieces, int piece) {
    if (!isPieceIndex(piece)) return;
    const PiecePos& p = pieces[static_cast<std::size_t>(piece)];
    forEachCell(pieceKindOf(piece), p.col, p.row,
                [&](int c, int r) { board.set(c, r, static_cast<std::int16_t>(piece)); });
}

}  // namespace

PieceKind pieceKindOf(int piece) {
    if (piece == 0) return PieceKind::Square;
    if (piece == 1) return PieceKind::Wide;
    if (piece >= 2 && piece <= 5) return PieceKind::Tall;
    return PieceKind::Small;
}

bool isPieceIndex(int piece) { return piece >= 0 && piece < kPieceCount; }

bool isOnBoard(int col, int row) { return col >= 0 && col < kBoardCols && row >= 0 && row < kBoardRows; }

std::int16_t Board::at(int col, int row) const {
    if (!isOnBoard(col, row)) return kEmptyCell;
    return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void Board::set(int col, int row, std::int16_t value) {
    if (!isOnBoard(col, row)) return;
    cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = value;
}

void setPieceSizes(Pieces& pieces) {
    for (int i = 0; i < kPieceCount; ++i) {
        const PieceSize s = pieceSizeOf(pieceKindOf(i));
        pieces[static_cast<std::size_t>(i)].width = static_cast<std::int16_t>(s.width);
        pieces[static_cast<std::size_t>(i)].height = static_cast<std::int16_t>(s.height);
    }
}

void clearBoard(Board& board) {
    for (auto& row : board.cells) {
        for (auto& cell : row) cell = kEmptyCell;
    }
}

void decodePositions(Pieces& pieces, const Positions& positions) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const int v = positions[i];
        pieces[i].col = static_cast<std::int16_t>(v % 10);
        pieces[i].row = static_cast<std::int16_t>(v / 10);
    }
}

Positions encodePositions(const Pieces& pieces) {
    Positions out{};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        out[i] = static_cast<std::int16_t>(10 * pieces[i].row + pieces[i].col);
    }
    return out;
}

void markSquare(Board& board, const Pieces& pieces, int piece) { markKind(board, pieces, piece); }
void markTall(Board& board, const Pieces& pieces, int piece) { markKind(board, pieces, piece); }
void markWide(Board& board, const Pieces& pieces, int piece) { markKind(board, pieces, piece); }
void markSmall(Board& board, const Pieces& pieces, int piece) { markKind(board, pieces, piece); }

void markAllPieces(Board& board, const Pieces& pieces) {
    markSquare(board, pieces, 0);
    markTall(board, pieces, 4);
    markTall(board, pieces, 2);
    markTall(board, pieces, 5);
    markTall(board, pieces, 3);
    markWide(board, pieces, 1);
    markSmall(board, pieces, 6);
    markSmall(board, pieces, 7);
    markSmall(board, pieces, 8);
    markSmall(board, pieces, 9);
}

bool cellFreeFor(const Board& board, int piece, int col, int row) {
    const std::int16_t v = board.at(col, row);
    return v == kEmptyCell || v == piece;
}

void clearPieceCells(Board& board, int piece, int col, int row) {
    if (!isPieceIndex(piece)) return;
    forEachCell(pieceKindOf(piece), col, row, [&](int c, int r) { board.set(c, r, kEmptyCell); });
}

void putPiece(Board& board, Pieces& pieces, int piece, int col, int row) {
    if (!isPieceIndex(piece)) return;
    forEachCell(pieceKindOf(piece), col, row,
                [&](int c, int r) { board.set(c, r, static_cast<std::int16_t>(piece)); });
    pieces[static_cast<std::size_t>(piece)].col = static_cast<std::int16_t>(col);
    pieces[static_cast<std::size_t>(piece)].row = static_cast<std::int16_t>(row);
}

namespace {

// A piece as the player sees it on the board. Only one square and one wide
// piece exist; the tall and small pieces are told apart by their cells.
std::string pieceName(int piece) {
    switch (pieceKindOf(piece)) {
        case PieceKind::Square: return "the square";
        case PieceKind::Wide: return "the wide piece";
        case PieceKind::Tall: return "a tall piece";
        case PieceKind::Small: return "a small piece";
    }
    return "a piece";
}

// The cell a piece is placed by, as the player would point at it.
std::string anchorName(int piece) {
    switch (pieceKindOf(piece)) {
        case PieceKind::Square: return "its top-left cell";
        case PieceKind::Wide: return "its left cell";
        case PieceKind::Tall: return "its top cell";
        case PieceKind::Small: return "its cell";
    }
    return "its cell";
}

std::string capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// Columns and rows as the player counts them, from 1.
std::string cellName(int col, int row) {
    return "column " + std::to_string(col + 1) + ", row " + std::to_string(row + 1);
}

}  // namespace

std::string layoutProblem(const Positions& positions) {
    // Every piece must lie wholly inside the board ...
    for (int i = 0; i < kPieceCount; ++i) {
        const int v = positions[static_cast<std::size_t>(i)];
        const PieceSize s = pieceSizeOf(pieceKindOf(i));
        const std::string name = capitalized(pieceName(i));
        if (v < 0) {
            return name + " has the position value " + std::to_string(v) + ", which names no cell of the board.";
        }
        const int col = v % 10;
        const int row = v / 10;
        if (!isOnBoard(col, row)) {
            return name + " is placed in " + cellName(col, row) + ", outside the board.";
        }
        if (col > kBoardCols - s.width || row > kBoardRows - s.height) {
            return name + " with " + anchorName(i) + " in " + cellName(col, row) + " does not fit on the board.";
        }
    }
    // ... and no cell may be claimed by two pieces.
    Board grid;
    clearBoard(grid);
    for (int i = 0; i < kPieceCount; ++i) {
        const int v = positions[static_cast<std::size_t>(i)];
        int clash = -1;
        int clashCol = 0;
        int clashRow = 0;
        forEachCell(pieceKindOf(i), v % 10, v / 10, [&](int c, int r) {
            const std::int16_t owner = grid.at(c, r);
            if (owner != kEmptyCell && clash < 0) {
                clash = owner;
                clashCol = c;
                clashRow = r;
            }
            grid.set(c, r, static_cast<std::int16_t>(i));
        });
        if (clash >= 0) {
            // Pieces are checked in index order, so `clash` is never of a
            // later kind than `i`: "The square and a small piece ...".
            const std::string where = " overlap in " + cellName(clashCol, clashRow) + ".";
            if (pieceKindOf(clash) == pieceKindOf(i)) {
                return std::string(pieceKindOf(i) == PieceKind::Tall ? "Two tall pieces" : "Two small pieces") + where;
            }
            return capitalized(pieceName(clash)) + " and " + pieceName(i) + where;
        }
    }
    return {};
}

}  // namespace quorvale
