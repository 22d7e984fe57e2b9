#include <gtest/gtest.h>

#include <array>

#include "core/board.h"

using namespace quorvale;

namespace {

// A full, valid starting layout (two free cells at (1,4) and (2,4)):
//   2 0 0 3
//   2 0 0 3
//   4 1 1 5
//   4 7 8 5
//   6 . . 9
constexpr Positions kStandard{1, 21, 0, 3, 20, 23, 40, 31, 32, 43};

struct Game {
    Board board;
    Pieces pieces;
    explicit Game(const Positions& positions) {
        setPieceSizes(pieces);
        clearBoard(board);
        decodePositions(pieces, positions);
        markAllPieces(board, pieces);
    }
};

}  // namespace

TEST(BoardModel, ClearBoardEmptiesEveryCell) {
    Game g(kStandard);
    clearBoard(g.board);
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardCols; ++c) EXPECT_EQ(g.board.at(c, r), kEmptyCell) << c << "," << r;
}

TEST(BoardModel, PieceKindsAndSizesFollowTheIndex) {
    Pieces p{};
    setPieceSizes(p);
    EXPECT_EQ(pieceKindOf(0), PieceKind::Square);
    EXPECT_EQ(pieceKindOf(1), PieceKind::Wide);
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(pieceKindOf(i), PieceKind::Tall);
    for (int i = 6; i <= 9; ++i) EXPECT_EQ(pieceKindOf(i), PieceKind::Small);
    EXPECT_EQ(p[0].width, 2); EXPECT_EQ(p[0].height, 2);
    EXPECT_EQ(p[1].width, 2); EXPECT_EQ(p[1].height, 1);
    EXPECT_EQ(p[4].width, 1); EXPECT_EQ(p[4].height, 2);
    EXPECT_EQ(p[9].width, 1); EXPECT_EQ(p[9].height, 1);
}

TEST(BoardModel, DecodesAndEncodesPositions) {
    Pieces p{};
    setPieceSizes(p);
    const Positions pos{0, 13, 43, 30, 0, 0, 0, 0, 0, 0};
    decodePositions(p, pos);
    EXPECT_EQ(p[0].col, 0); EXPECT_EQ(p[0].row, 0);
    EXPECT_EQ(p[1].col, 3); EXPECT_EQ(p[1].row, 1);
    EXPECT_EQ(p[2].col, 3); EXPECT_EQ(p[2].row, 4);
    EXPECT_EQ(p[3].col, 0); EXPECT_EQ(p[3].row, 3);
    EXPECT_EQ(p[1].width, 2) << "sizes must not be touched";
    EXPECT_EQ(encodePositions(p), pos);
}

TEST(BoardModel, EveryShapeCoversItsCells) {
    Pieces p{};
    setPieceSizes(p);
    Board b;
    clearBoard(b);
    p[0] = {1, 3, 2, 2};
    p[1] = {0, 4, 2, 1};
    p[5] = {3, 3, 1, 2};
    p[6] = {0, 0, 1, 1};
    markWide(b, p, 1);
    markSquare(b, p, 0);
    markTall(b, p, 5);
    markSmall(b, p, 6);
    EXPECT_EQ(b.at(1, 3), 0); EXPECT_EQ(b.at(2, 3), 0); EXPECT_EQ(b.at(1, 4), 0); EXPECT_EQ(b.at(2, 4), 0);
    EXPECT_EQ(b.at(0, 4), 1);
    EXPECT_EQ(b.at(3, 3), 5); EXPECT_EQ(b.at(3, 4), 5);
    EXPECT_EQ(b.at(0, 0), 6);
    EXPECT_EQ(b.at(0, 3), kEmptyCell);
}

TEST(BoardModel, StandardLayoutLeavesExactlyTwoFreeCells) {
    Game g(kStandard);
    int free = 0;
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardCols; ++c) free += g.board.at(c, r) == kEmptyCell;
    EXPECT_EQ(free, 2);
    EXPECT_EQ(g.board.at(1, 4), kEmptyCell);
    EXPECT_EQ(g.board.at(2, 4), kEmptyCell);
    EXPECT_EQ(g.board.at(1, 2), 1);
    EXPECT_EQ(g.board.at(2, 3), 8);
}

TEST(BoardModel, OverlappingPiecesShowTheOneMarkedLater) {
    // Tall 3 is marked after Tall 2; Tall 2 after Tall 4; Small 9 after Wide 1.
    Positions pos{1, 40, 0, 10, 22, 23, 42, 33, 32, 41};
    Game g(pos);
    EXPECT_EQ(g.board.at(0, 1), 3);  // 2 covers (0,0),(0,1); 3 covers (0,1),(0,2)
    EXPECT_EQ(g.board.at(0, 0), 2);
    EXPECT_EQ(g.board.at(1, 4), 9);  // Wide 1 at (0,4),(1,4); Small 9 at (1,4)
    EXPECT_EQ(g.board.at(0, 4), 1);
}

TEST(BoardModel, CellFreeForEmptyOwnAndForeignCells) {
    Game g(kStandard);
    EXPECT_TRUE(cellFreeFor(g.board, 3, 1, 4));
    EXPECT_TRUE(cellFreeFor(g.board, 0, 1, 0));
    EXPECT_FALSE(cellFreeFor(g.board, 3, 1, 0));
    EXPECT_FALSE(cellFreeFor(g.board, 0, 0, 0));
}

TEST(BoardModel, TallPieceMovedOneRowDown) {
    Pieces p{};
    setPieceSizes(p);
    Board b;
    clearBoard(b);
    p[2].col = 2;
    p[2].row = 1;
    markTall(b, p, 2);
    clearPieceCells(b, 2, 2, 1);
    EXPECT_EQ(b.at(2, 1), kEmptyCell);
    EXPECT_EQ(b.at(2, 2), kEmptyCell);
    EXPECT_EQ(p[2].row, 1) << "clearing leaves the record alone";
    putPiece(b, p, 2, 2, 2);
    EXPECT_EQ(b.at(2, 1), kEmptyCell);
    EXPECT_EQ(b.at(2, 2), 2);
    EXPECT_EQ(b.at(2, 3), 2);
    EXPECT_EQ(p[2].col, 2);
    EXPECT_EQ(p[2].row, 2);
}

TEST(BoardModel, AccessOutsideTheBoardIsHarmless) {
    Game g(kStandard);
    const Board before = g.board;
    g.board.set(-1, 0, 7);
    g.board.set(4, 0, 7);
    g.board.set(0, 5, 7);
    EXPECT_EQ(g.board.cells, before.cells);
    EXPECT_EQ(g.board.at(-1, -1), kEmptyCell);
    EXPECT_EQ(g.board.at(4, 5), kEmptyCell);
    // Pieces hanging over the edge write only their cells that are on the board.
    putPiece(g.board, g.pieces, 0, 3, 4);
    EXPECT_EQ(g.board.at(3, 4), 0);
    // An index outside 0..9 changes nothing at all.
    const Board b2 = g.board;
    const Pieces p2 = g.pieces;
    clearPieceCells(g.board, 10, 0, 0);
    putPiece(g.board, g.pieces, -1, 0, 0);
    markSquare(g.board, g.pieces, 12);
    EXPECT_EQ(g.board.cells, b2.cells);
    EXPECT_EQ(encodePositions(g.pieces), encodePositions(p2));
}

TEST(BoardModel, RowFiveAndColumnFourAreOffTheBoard) {
    // The grid is followed in memory by a guard: a write one row (or one
    // column) past the end would land in it or in a neighbouring cell.
    struct Guarded {
        Board board;
        std::array<std::int16_t, 8> guard;
    } g{};
    clearBoard(g.board);
    g.guard.fill(77);
    for (int col = -1; col <= 4; ++col) {
        g.board.set(col, 5, 3);
        g.board.set(col, -1, 3);
        EXPECT_EQ(g.board.at(col, 5), kEmptyCell) << col;
    }
    for (int row = 0; row < 5; ++row) {
        g.board.set(4, row, 3);
        g.board.set(-1, row, 3);
        EXPECT_EQ(g.board.at(4, row), kEmptyCell) << row;
    }
    for (const auto v : g.guard) EXPECT_EQ(v, 77);
    for (const auto& row : g.board.cells)
        for (const auto v : row) EXPECT_EQ(v, kEmptyCell);
    EXPECT_FALSE(isOnBoard(0, 5));
    EXPECT_FALSE(isOnBoard(4, 0));
    EXPECT_TRUE(isOnBoard(3, 4));
}

TEST(LayoutCheck, AcceptsAValidLayout) { EXPECT_EQ(layoutProblem(kStandard), ""); }

TEST(LayoutCheck, RefusalsNameThePieceAndItsPlaceOffTheBoard) {
    auto with = [](int piece, std::int16_t v) {
        Positions p = kStandard;
        p[static_cast<std::size_t>(piece)] = v;
        return layoutProblem(p);
    };
    EXPECT_EQ(with(3, -1), "A tall piece has the position value -1, which names no cell of the board.");
    EXPECT_EQ(with(0, 3), "The square with its top-left cell in column 4, row 1 does not fit on the board.");
    EXPECT_EQ(with(0, 40), "The square with its top-left cell in column 1, row 5 does not fit on the board.");
    EXPECT_EQ(with(1, 13), "The wide piece with its left cell in column 4, row 2 does not fit on the board.");
    EXPECT_EQ(with(2, 40), "A tall piece with its top cell in column 1, row 5 does not fit on the board.");
    EXPECT_EQ(with(6, 50), "A small piece is placed in column 1, row 6, outside the board.");  // row guard
    EXPECT_EQ(with(6, 19), "A small piece is placed in column 10, row 2, outside the board.");
    EXPECT_EQ(with(9, 32767), "A small piece is placed in column 8, row 3277, outside the board.");
    EXPECT_EQ(with(9, 43), "");  // the last cell of the board
}

TEST(LayoutCheck, RefusalsNameTheOverlappingPiecesAndTheCell) {
    auto with = [](int piece, std::int16_t v) {
        Positions p = kStandard;
        p[static_cast<std::size_t>(piece)] = v;
        return layoutProblem(p);
    };
    EXPECT_EQ(with(6, 11), "The square and a small piece overlap in column 2, row 2.");
    EXPECT_EQ(with(0, 22), "The square and the wide piece overlap in column 3, row 3.");
    EXPECT_EQ(with(1, 22), "The wide piece and a tall piece overlap in column 4, row 3.");
    EXPECT_EQ(with(5, 32), "A tall piece and a small piece overlap in column 3, row 4.");
    EXPECT_EQ(with(9, 0), "A tall piece and a small piece overlap in column 1, row 1.");
    EXPECT_EQ(with(3, 0), "Two tall pieces overlap in column 1, row 1.");
    EXPECT_EQ(with(7, 40), "Two small pieces overlap in column 1, row 5.");
}
