#include "core/board.h"

#include <string>

namespace quorvale {

namespace {

struct Size {
    int width;
    int height;
};

Size sizeOf(PieceKind kind) {
    switch (kind) {
        case PieceKind::Square: return {2, 2};
        case PieceKind::Wide: return {2, 1};
        case PieceKind::Tall: return {1, 2};
        case PieceKind::Small: return {1, 1};
    }
    return {1, 1};
}

// Calls f(col, row) for every cell of `kind` with its top-left cell at
// (col, row), in the order the board has always listed them: down the first
// column, then down the second.
template <typename F>
void forEachCell(PieceKind kind, int col, int row, F&& f) {
    const Size s = sizeOf(kind);
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
        const Size s = sizeOf(pieceKindOf(i));
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

std::string layoutProblem(const Positions& positions) {
    // Every piece must lie wholly inside the board ...
    for (int i = 0; i < kPieceCount; ++i) {
        const int v = positions[static_cast<std::size_t>(i)];
        const Size s = sizeOf(pieceKindOf(i));
        if (v < 0 || v % 10 > kBoardCols - s.width || v / 10 > kBoardRows - s.height) {
            return "Piece " + std::to_string(i) + " lies outside the board.";
        }
    }
    // ... and no cell may be claimed by two pieces.
    Board grid;
    clearBoard(grid);
    for (int i = 0; i < kPieceCount; ++i) {
        const int v = positions[static_cast<std::size_t>(i)];
        int clash = -1;
        forEachCell(pieceKindOf(i), v % 10, v / 10, [&](int c, int r) {
            const std::int16_t owner = grid.at(c, r);
            if (owner != kEmptyCell && clash < 0) clash = owner;
            grid.set(c, r, static_cast<std::int16_t>(i));
        });
        if (clash >= 0) {
            return "Pieces " + std::to_string(clash) + " and " + std::to_string(i) + " overlap.";
        }
    }
    return {};
}

}  // namespace quorvale
