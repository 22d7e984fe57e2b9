// The board model: the occupancy grid, the ten pieces, their shapes and the
// one-number position encoding shared by the level file and saved games.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quorvale {

constexpr int kBoardCols = 4;
constexpr int kBoardRows = 5;
constexpr int kPieceCount = 10;
constexpr std::int16_t kEmptyCell = -1;

// Shape class of a piece; it follows from the piece index alone.
enum class PieceKind { Square, Wide, Tall, Small };

// Kind of piece `piece`: 0 Square, 1 Wide, 2..5 Tall, 6..9 Small.
// Only meaningful for 0..9; callers check the index first.
PieceKind pieceKindOf(int piece);

// Width and height in cells of a piece of `kind`.
struct PieceSize {
    int width;
    int height;
};
constexpr PieceSize pieceSizeOf(PieceKind kind) {
    switch (kind) {
        case PieceKind::Square: return {2, 2};
        case PieceKind::Wide: return {2, 1};
        case PieceKind::Tall: return {1, 2};
        case PieceKind::Small: return {1, 1};
    }
    return {1, 1};
}

// One piece: top-left cell and size in cells. All fields 16-bit signed.
struct PiecePos {
    std::int16_t col = 0;
    std::int16_t row = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
};

using Pieces = std::array<PiecePos, kPieceCount>;

// Ten encoded positions (10 x row + column of the top-left cell), piece 0 first.
using Positions = std::array<std::int16_t, kPieceCount>;

// Occupancy grid: first index row 0..4, second column 0..3; a cell holds the
// index of the piece covering it or -1.
struct Board {
    std::array<std::array<std::int16_t, kBoardCols>, kBoardRows> cells{};

    // Guarded access: a cell outside the board reads as -1 and ignores writes.
    std::int16_t at(int col, int row) const;
    void set(int col, int row, std::int16_t value);
};

bool isPieceIndex(int piece);
bool isOnBoard(int col, int row);

// Writes the fixed width and height of every piece (the start-up's table).
void setPieceSizes(Pieces& pieces);

// Every cell becomes -1.
void clearBoard(Board& board);

// col = v mod 10, row = v div 10 (truncating), for each piece; sizes untouched.
void decodePositions(Pieces& pieces, const Positions& positions);

// 10 x row + col for each piece.
Positions encodePositions(const Pieces& pieces);

// Each writes `piece` into the cells of its shape at the piece's recorded
// top-left cell, whatever they held before.
void markSquare(Board& board, const Pieces& pieces, int piece);
void markTall(Board& board, const Pieces& pieces, int piece);
void markWide(Board& board, const Pieces& pieces, int piece);
void markSmall(Board& board, const Pieces& pieces, int piece);

// Marks all ten pieces in the order 0; 4, 2, 5, 3; 1; 6, 7, 8, 9, so a cell
// claimed twice holds the piece marked later. This is the board half of the
// main window's placePieces; the images are moved by the window.
void markAllPieces(Board& board, const Pieces& pieces);

// True when the cell is empty or belongs to `piece`.
bool cellFreeFor(const Board& board, int piece, int col, int row);

// Empties the cells of `piece`'s shape at top-left (col, row); the piece's
// record is not changed. An index outside 0..9 changes nothing.
void clearPieceCells(Board& board, int piece, int col, int row);

// Fills the cells of `piece`'s shape at top-left (col, row) and records the
// new top-left cell in `pieces`.
void putPiece(Board& board, Pieces& pieces, int piece, int col, int row);

// Checks that ten encoded positions describe a layout the board can hold:
// every piece inside the board and no two pieces sharing a cell. Returns an
// empty string when they do, else one sentence for the player saying what is
// wrong and where, with columns and rows counted from 1, e.g.
// "The square and a small piece overlap in column 2, row 4.".
std::string layoutProblem(const Positions& positions);

}  // namespace quorvale
