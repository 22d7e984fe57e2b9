#include <gtest/gtest.h>

#include <random>

#include "core/drag.h"
#include "core/geometry.h"
#include "core/rules.h"

using namespace quorvale;

namespace {

// Plays mouse events on a board the way the main window does: it keeps the
// dragged image's place, applies the answers and counts steps.
struct Table {
    Board board;
    Pieces pieces;
    DragState state;
    TwipsPerPixel tpp{15, 15};
    ImagePlace image;
    int steps = 0;
    bool modified = false;
    std::optional<int> pointer;

    explicit Table(const Positions& positions) {
        setPieceSizes(pieces);
        clearBoard(board);
        decodePositions(pieces, positions);
        markAllPieces(board, pieces);
    }

    // A board holding nothing but `piece` at (col, row).
    static Table alone(int piece, int col, int row) {
        Table t(Positions{});
        clearBoard(t.board);
        putPiece(t.board, t.pieces, piece, col, row);
        return t;
    }

    ImagePlace placeOf(Cell c) const { return {pieceLeftTwips(c.col, tpp.x), pieceTopTwips(c.row, tpp.y)}; }

    void apply(const DragAnswer& a) {
        if (a.showPieceAt) image = placeOf(*a.showPieceAt);
        if (a.pointer) pointer = a.pointer;
        if (a.committed) modified = true;
        if (a.stepTaken) ++steps;
    }

    // The image of `piece` is 60 pixels per cell of the piece.
    ImageExtent extentOf(int piece) const {
        const PiecePos& p = pieces[static_cast<std::size_t>(piece)];
        return {float(p.width * 60 * tpp.x), float(p.height * 60 * tpp.y)};
    }

    // Press `dx`, `dy` pixels from the top-left corner of the image of `piece`.
    DragAnswer press(int piece, int dx, int dy, int button = kLeftButton) {
        const PiecePos& p = pieces[static_cast<std::size_t>(piece)];
        const ImagePlace pressed = placeOf(Cell{p.col, p.row});
        const DragAnswer a =
            dragPress(state, piece, pressed, extentOf(piece), {button, float(dx * tpp.x), float(dy * tpp.y)}, tpp);
        if (state.dragging && state.dragPiece == piece) image = pressed;
        apply(a);
        return a;
    }
    DragAnswer cancel() {
        const DragAnswer a = dragCancel(state);
        apply(a);
        return a;
    }

    // Event offsets that put the pointer on client pixel (x, y).
    MouseEventTwips at(int x, int y, int button) const {
        return {button, float(x * tpp.x) - image.left, float(y * tpp.y) - image.top};
    }
    static int centre(int cell) { return kBoardMarginPixels + kCellPixels * cell + kCellPixels / 2; }

    DragAnswer moveToPixel(int x, int y, int button = kLeftButton) {
        const DragAnswer a = dragMove(state, board, pieces, image, at(x, y, button), tpp);
        apply(a);
        return a;
    }
    DragAnswer moveTo(int col, int row) { return moveToPixel(centre(col), centre(row)); }

    DragAnswer releaseAtPixel(int x, int y, int button = kLeftButton) {
        const DragAnswer a = dragRelease(state, board, pieces, state.dragPiece, image, at(x, y, button), tpp);
        apply(a);
        return a;
    }
    DragAnswer releaseAt(int col, int row) { return releaseAtPixel(centre(col), centre(row)); }

    Cell imageCell() const {
        return Cell{static_cast<std::int16_t>(pointerCell(image.left, 0, tpp.x)),
                    static_cast<std::int16_t>(pointerCell(image.top, 0, tpp.y))};
    }
};

// Each piece's cells hold its index at its recorded place, every other cell -1.
bool boardMatchesPieces(const Board& board, Pieces pieces) {
    Board expected;
    clearBoard(expected);
    for (std::size_t i = 0; i < pieces.size(); ++i) putPiece(expected, pieces, int(i), pieces[i].col, pieces[i].row);
    return expected.cells == board.cells;
}

bool sameState(const DragState& a, const DragState& b) {
    return a.dragging == b.dragging && a.dragPiece == b.dragPiece && a.grabCol == b.grabCol &&
           a.grabRow == b.grabRow && a.startCol == b.startCol && a.startRow == b.startRow &&
           a.lastCol == b.lastCol && a.lastRow == b.lastRow;
}

bool isEmpty(const DragAnswer& a) {
    return !a.showPieceAt && !a.pointer && !a.committed && !a.stepTaken && !a.runSolvedTest;
}

// Free cells at (1,4) and (2,4):   2 0 0 3 / 2 0 0 3 / 4 1 1 5 / 4 7 8 5 / 6 . . 9
constexpr Positions kStandard{1, 21, 0, 3, 20, 23, 40, 31, 32, 43};
// Free cells at (0,2) and (0,3):   2 0 0 3 / 2 0 0 3 / . 1 1 5 / . 4 6 5 / 7 4 8 9
constexpr Positions kLeftGap{1, 21, 0, 3, 31, 23, 32, 40, 42, 43};
// The Wide piece above the gap:    2 0 0 3 / 2 0 0 3 / 4 7 8 5 / 4 1 1 5 / 6 . . 9
constexpr Positions kWideAboveGap{1, 31, 0, 3, 20, 23, 40, 21, 22, 43};
// The Square one row above the exit: 2 6 7 3 / 2 1 1 3 / 4 0 0 5 / 4 0 0 5 / 8 . . 9
constexpr Positions kNearlySolved{21, 11, 0, 3, 20, 23, 1, 2, 40, 43};

}  // namespace

TEST(PathTests, BothEndsIncludedInEitherOrder) {
    Table t(kStandard);
    EXPECT_TRUE(canMoveHorizontally(t.board, 6, 0, 2, 4));
    EXPECT_TRUE(canMoveHorizontally(t.board, 6, 2, 0, 4));
    EXPECT_FALSE(canMoveHorizontally(t.board, 6, 0, 3, 4));  // Small 9 at (3,4)
    EXPECT_FALSE(canMoveHorizontally(t.board, 6, 3, 0, 4));
    EXPECT_TRUE(canMoveVertically(t.board, 7, 3, 4, 1));
    EXPECT_FALSE(canMoveVertically(t.board, 7, 2, 4, 1));     // the Wide piece above
    EXPECT_TRUE(canMoveVertically(t.board, 42, 0, 4, 0)) << "no piece, nothing to test";
}

TEST(DragButtons, OtherButtonsDoNothing) {
    Table t(kStandard);
    const DragState before = t.state;
    const Board board = t.board;
    EXPECT_TRUE(isEmpty(t.press(7, 30, 30, 2)));
    EXPECT_TRUE(sameState(t.state, before));
    EXPECT_TRUE(isEmpty(t.moveTo(1, 4)));
    EXPECT_TRUE(isEmpty(t.releaseAtPixel(Table::centre(1), Table::centre(4), 2)));
    EXPECT_TRUE(sameState(t.state, before));
    EXPECT_EQ(t.board.cells, board.cells);
    // A right-button release in the middle of a left drag leaves the drag going.
    t.press(7, 30, 30);
    EXPECT_TRUE(isEmpty(t.releaseAtPixel(Table::centre(1), Table::centre(4), 2)));
    EXPECT_TRUE(t.state.dragging);
}

TEST(DragPress, RecordsGrabAndPointerCells) {
    for (double tpp : {15.0, 12.0}) {
        Positions pos = kStandard;
        Table t(pos);
        t.tpp = {tpp, tpp};
        clearBoard(t.board);
        putPiece(t.board, t.pieces, 4, 2, 1);  // a Tall piece at (2,1)
        const DragAnswer a = t.press(4, 10, 70);
        EXPECT_EQ(t.state.grabCol, 0);
        EXPECT_EQ(t.state.grabRow, 1);
        EXPECT_EQ(t.state.startCol, 2);
        EXPECT_EQ(t.state.startRow, 2);
        EXPECT_EQ(t.state.lastCol, 2);
        EXPECT_EQ(t.state.lastRow, 2);
        EXPECT_EQ(t.state.dragPiece, 4);
        EXPECT_TRUE(t.state.dragging);
        EXPECT_EQ(a.pointer, kPointerSizeAll);
        EXPECT_FALSE(a.showPieceAt);
    }
}

TEST(DragMove, StayingInTheSameCellMovesNothing) {
    Table t(kStandard);
    const DragState before = (t.press(7, 10, 10), t.state);
    const DragAnswer a = t.moveToPixel(Table::centre(1) + 15, Table::centre(3) - 20);
    EXPECT_FALSE(a.showPieceAt);
    EXPECT_FALSE(a.committed);
    EXPECT_EQ(a.pointer, kPointerSizeAll);
    EXPECT_TRUE(sameState(t.state, before));
}

TEST(DragMove, NothingHappensWithoutAPress) {
    Table t(kStandard);
    EXPECT_TRUE(isEmpty(t.moveTo(1, 4)));
}

TEST(DragMove, TallPieceDownTwoCellsIsOneStep) {
    Table t(kLeftGap);
    ASSERT_EQ(layoutProblem(kLeftGap), "");
    t.press(2, 30, 30);
    auto a = t.moveTo(0, 1);
    EXPECT_EQ(a.showPieceAt, (Cell{0, 1}));
    EXPECT_EQ(a.pointer, kPointerSizeAll);
    a = t.moveTo(0, 2);
    EXPECT_EQ(a.showPieceAt, (Cell{0, 2}));
    EXPECT_EQ(t.board.at(0, 0), 2) << "the board does not change while dragging";
    a = t.releaseAt(0, 2);
    EXPECT_TRUE(a.committed);
    EXPECT_TRUE(a.stepTaken);
    EXPECT_EQ(a.pointer, kPointerDefault);
    EXPECT_FALSE(a.runSolvedTest);
    EXPECT_FALSE(t.state.dragging);
    EXPECT_EQ(t.steps, 1);
    EXPECT_EQ(t.board.at(0, 0), kEmptyCell);
    EXPECT_EQ(t.board.at(0, 1), kEmptyCell);
    EXPECT_EQ(t.board.at(0, 2), 2);
    EXPECT_EQ(t.board.at(0, 3), 2);
    EXPECT_EQ(t.pieces[2].row, 2);
}

TEST(DragMove, TwoCellPieceMovesIntoItsOwnOldCell) {
    Table t(kLeftGap);
    t.press(2, 30, 90);  // grabbed by its lower cell
    EXPECT_EQ(t.moveTo(0, 2).showPieceAt, (Cell{0, 1}));
    t.releaseAt(0, 2);
    EXPECT_EQ(t.steps, 1);
    EXPECT_EQ(t.board.at(0, 0), kEmptyCell);
    EXPECT_EQ(t.board.at(0, 1), 2);
    EXPECT_EQ(t.board.at(0, 2), 2);
    EXPECT_EQ(t.board.at(0, 3), kEmptyCell);
}

TEST(DragMove, SmallSlidesTwoCellsAndWideDropsIntoTheGap) {
    Table t(kStandard);
    t.press(6, 30, 30);
    t.moveTo(1, 4);
    t.moveTo(2, 4);
    t.releaseAt(2, 4);
    EXPECT_EQ(t.steps, 1);
    EXPECT_EQ(t.board.at(2, 4), 6);
    EXPECT_EQ(t.board.at(0, 4), kEmptyCell);

    Table w(kWideAboveGap);
    w.press(1, 90, 30);
    EXPECT_EQ(w.moveTo(2, 4).showPieceAt, (Cell{1, 4}));
    w.releaseAt(2, 4);
    EXPECT_EQ(w.steps, 1);
    EXPECT_EQ(w.board.at(1, 4), 1);
    EXPECT_EQ(w.board.at(2, 4), 1);
    EXPECT_EQ(w.board.at(1, 3), kEmptyCell);
}

TEST(DragMove, OutAndBackToTheStartChangesNothing) {
    Table t(kStandard);
    const Board before = t.board;
    t.press(6, 30, 30);
    EXPECT_EQ(t.moveTo(1, 4).showPieceAt, (Cell{1, 4}));
    auto back = t.moveTo(0, 4);
    EXPECT_EQ(back.showPieceAt, (Cell{0, 4}));
    EXPECT_EQ(back.pointer, kPointerSizeAll);
    const auto a = t.releaseAt(0, 4);
    EXPECT_FALSE(a.committed);
    EXPECT_FALSE(a.stepTaken);
    EXPECT_EQ(a.pointer, kPointerDefault);
    EXPECT_EQ(t.board.cells, before.cells);
    EXPECT_EQ(t.steps, 0);
    EXPECT_FALSE(t.modified);
}

TEST(DragMove, DiagonalIsRefusedAndTheReleasePutsThePieceBack) {
    Table t(kStandard);
    const Board before = t.board;
    t.press(6, 30, 30);
    t.moveTo(1, 4);
    const auto diag = t.moveTo(1, 3);
    EXPECT_EQ(diag.pointer, kPointerNoDrop);
    EXPECT_FALSE(diag.showPieceAt);
    EXPECT_EQ(t.imageCell(), (Cell{1, 4})) << "the image stays on the last accepted cell";
    const auto a = t.releaseAt(1, 3);
    EXPECT_EQ(a.showPieceAt, (Cell{0, 4}));
    EXPECT_FALSE(a.committed);
    EXPECT_EQ(a.pointer, kPointerDefault);
    EXPECT_EQ(t.board.cells, before.cells);
    EXPECT_EQ(t.steps, 0);
}

TEST(DragMove, BlockedPathStopsAtTheLastAcceptedCell) {
    Table t(kLeftGap);
    t.press(2, 30, 30);
    t.moveTo(0, 1);
    t.moveTo(0, 2);
    const auto blocked = t.moveTo(0, 3);  // would cover Small 7 at (0,4)
    EXPECT_EQ(blocked.pointer, kPointerNoDrop);
    EXPECT_FALSE(blocked.showPieceAt);
    EXPECT_EQ(t.imageCell(), (Cell{0, 2}));
    const auto a = t.releaseAtPixel(Table::centre(0), 2000);  // far beyond, same line
    EXPECT_EQ(a.showPieceAt, (Cell{0, 2}));
    EXPECT_TRUE(a.stepTaken);
    EXPECT_EQ(t.steps, 1);
    EXPECT_EQ(t.board.at(0, 2), 2);
    EXPECT_EQ(t.board.at(0, 3), 2);
    EXPECT_EQ(t.board.at(0, 4), 7);
}

TEST(DragMove, BlockedAtOnceWritesThePieceBackWithoutAStep) {
    Table t(kStandard);
    const Board before = t.board;
    t.press(2, 30, 30);
    EXPECT_EQ(t.moveTo(0, 1).pointer, kPointerNoDrop);  // Tall 4 below
    const auto a = t.releaseAt(0, 1);
    EXPECT_TRUE(a.committed);
    EXPECT_FALSE(a.stepTaken);
    EXPECT_EQ(a.showPieceAt, (Cell{0, 0}));
    EXPECT_TRUE(t.modified);
    EXPECT_EQ(t.steps, 0);
    EXPECT_EQ(t.board.cells, before.cells);
}

TEST(DragMove, ClampingKeepsThePieceAgainstEveryEdge) {
    // The Wide piece grabbed by its right half, pointer far to the left.
    Table w = Table::alone(1, 2, 4);
    w.press(1, 90, 30);
    EXPECT_EQ(w.moveToPixel(-900, Table::centre(4)).showPieceAt, (Cell{0, 4}));
    w.releaseAtPixel(-900, Table::centre(4));
    EXPECT_EQ(w.pieces[1].col, 0);
    EXPECT_EQ(w.board.at(0, 4), 1);
    EXPECT_EQ(w.board.at(1, 4), 1);

    // The Square grabbed by its lower right cell, pushed beyond each edge.
    struct Case { int x, y; Cell expected; };
    const Case cases[] = {
        {-5000, Table::centre(2), {0, 1}},
        {5000, Table::centre(2), {2, 1}},
        {Table::centre(2), -5000, {1, 0}},
        {Table::centre(2), 5000, {1, 3}},
    };
    for (const Case& c : cases) {
        Table s = Table::alone(0, 1, 1);
        s.press(0, 90, 90);
        EXPECT_EQ(s.moveToPixel(c.x, c.y).showPieceAt, c.expected) << c.x << "," << c.y;
        s.releaseAtPixel(c.x, c.y);
        EXPECT_EQ(s.pieces[0].col, c.expected.col);
        EXPECT_EQ(s.pieces[0].row, c.expected.row);
        EXPECT_EQ(s.board.at(c.expected.col, c.expected.row), 0);
    }
}

TEST(DragRelease, SquareAtTheExitAsksForTheSolvedTest) {
    Table t(kNearlySolved);
    ASSERT_EQ(layoutProblem(kNearlySolved), "");
    t.press(0, 30, 30);
    t.moveTo(1, 3);
    const auto a = t.releaseAt(1, 3);
    EXPECT_TRUE(a.runSolvedTest);
    EXPECT_TRUE(isSolved(t.board));
    EXPECT_EQ(t.steps, 1);
}

TEST(DragRelease, SquareReleasedWithoutMovingStillAsks) {
    Table t(kNearlySolved);
    t.press(0, 30, 30);
    const auto a = t.releaseAt(1, 2);
    EXPECT_TRUE(a.runSolvedTest);
    EXPECT_FALSE(a.committed);
    EXPECT_FALSE(isSolved(t.board));
}

TEST(DragRelease, OtherPiecesNeverAsk) {
    Positions solved = kNearlySolved;
    solved[0] = 31;  // Square already on the exit
    solved[8] = 21;
    solved[9] = 22;
    Table t(solved);
    ASSERT_EQ(layoutProblem(solved), "");
    ASSERT_TRUE(isSolved(t.board));
    t.press(8, 30, 30);
    t.moveTo(0, 2);
    EXPECT_FALSE(t.releaseAt(0, 2).runSolvedTest);
}

TEST(DragRobustness, PieceIndexOutsideTheTableIsIgnored) {
    Table t(kStandard);
    const Board before = t.board;
    EXPECT_TRUE(isEmpty(dragPress(t.state, 10, {}, {900, 900}, {kLeftButton, 0, 0}, t.tpp)));
    EXPECT_FALSE(t.state.dragging);

    t.state.dragging = true;
    t.state.dragPiece = 300;
    EXPECT_TRUE(isEmpty(t.moveTo(1, 4)));
    const auto a = dragRelease(t.state, t.board, t.pieces, 300, t.image, t.at(0, 0, kLeftButton), t.tpp);
    EXPECT_FALSE(a.committed);
    EXPECT_FALSE(a.runSolvedTest);
    EXPECT_EQ(a.pointer, kPointerDefault);
    EXPECT_EQ(t.board.cells, before.cells);
}

TEST(DragRobustness, WildCoordinatesNeverBreakTheBoard) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> coord(-2e5f, 2e5f);
    std::uniform_int_distribution<int> piece(-2, 11);
    Table t(kStandard);
    for (int i = 0; i < 3000; ++i) {
        const int p = piece(rng);
        const MouseEventTwips ev{kLeftButton, coord(rng), coord(rng)};
        const ImagePlace img{coord(rng), coord(rng)};
        switch (i % 3) {
            case 0: dragPress(t.state, p, img, {1800, 1800}, ev, t.tpp); break;
            case 1: dragMove(t.state, t.board, t.pieces, img, ev, t.tpp); break;
            default: dragRelease(t.state, t.board, t.pieces, p, img, ev, t.tpp); break;
        }
        for (const auto& row : t.board.cells)
            for (const auto v : row) ASSERT_TRUE(v >= -1 && v <= 9);
    }
}

TEST(DragPress, PressesOffTheImageOrDuringADragStartNothing) {
    Table t(kStandard);
    t.press(8, 30, 30);  // a finished drag of Small 8 leaves its state behind
    t.releaseAt(2, 4);
    const Board before = t.board;
    // Small 9 at (3,4): presses delivered to it from the cell to its left, or
    // on its right, bottom or top edge, are not on the image...
    for (const auto& [dx, dy] : {std::pair{-90, 30}, std::pair{60, 30}, std::pair{30, 60}, std::pair{30, -1}}) {
        EXPECT_TRUE(isEmpty(t.press(9, dx, dy))) << dx << "," << dy;
        EXPECT_FALSE(t.state.dragging);
    }
    // ...and their release must not move 9 onto 8's cells.
    const DragAnswer a = dragRelease(t.state, t.board, t.pieces, 9, t.placeOf(Cell{3, 4}),
                                     t.at(Table::centre(2), Table::centre(4), kLeftButton), t.tpp);
    EXPECT_FALSE(a.committed || a.runSolvedTest);
    EXPECT_EQ(a.pointer, kPointerDefault);
    EXPECT_EQ(t.board.cells, before.cells);
    EXPECT_EQ(t.pieces[9].col, 3);
    EXPECT_TRUE(t.press(9, 59, 59).pointer) << "the last pixel inside still grabs";
    EXPECT_TRUE(isEmpty(t.press(7, 30, 30))) << "a second press during a drag";
    EXPECT_EQ(t.state.dragPiece, 9);
    EXPECT_EQ(t.state.startCol, 3);
}

TEST(DragMove, ReturningToAnAcceptedCellAfterARefusalShowsTheFourWayPointer) {
    Table t(kStandard);
    t.press(6, 30, 30);  // Small 6 at (0,4), free cells (1,4) and (2,4); (1,3) is refused
    t.moveTo(1, 4);
    EXPECT_EQ(t.moveTo(1, 3).pointer, kPointerNoDrop);
    EXPECT_EQ(t.moveTo(1, 4).pointer, kPointerSizeAll) << "back on the last accepted cell";
    EXPECT_EQ(t.moveTo(0, 4).pointer, kPointerSizeAll);
    EXPECT_EQ(t.state.lastCol, 0) << "the start cell is now the last accepted one";
    EXPECT_EQ(t.moveTo(1, 3).pointer, kPointerNoDrop);
    EXPECT_EQ(t.moveTo(0, 4).pointer, kPointerSizeAll) << "back on the start cell";
    EXPECT_EQ(t.imageCell(), (Cell{0, 4}));
    // Out again to (1,4): the image must follow, not be skipped as already there.
    EXPECT_EQ(t.moveTo(1, 4).showPieceAt, (Cell{1, 4}));
    t.releaseAt(1, 4);
    EXPECT_EQ(t.pieces[6].col, 1);
    EXPECT_EQ(t.steps, 1);
}

TEST(DragMove, TallPieceIsClampedByItsHeightAtTheBottomEdge) {
    Table t = Table::alone(2, 0, 2);  // grabbed by its top cell
    t.press(2, 30, 30);
    EXPECT_EQ(t.moveToPixel(Table::centre(0), 5000).showPieceAt, (Cell{0, 3}));
    t.releaseAtPixel(Table::centre(0), 5000);
    EXPECT_EQ(t.pieces[2].row, 3);
    EXPECT_EQ(t.board.at(0, 4), 2);
    EXPECT_EQ(t.board.at(0, 2), kEmptyCell);
}

TEST(DragCancel, PutsTheImageBackAndCommitsNothing) {
    Table t(kStandard);
    const Board before = t.board;
    EXPECT_TRUE(isEmpty(t.cancel())) << "no drag, nothing to cancel";
    t.press(6, 30, 30);
    t.moveTo(2, 4);
    const DragAnswer a = t.cancel();
    EXPECT_EQ(a.showPieceAt, (Cell{0, 4}));
    EXPECT_EQ(a.pointer, kPointerDefault);
    EXPECT_FALSE(a.committed || a.runSolvedTest || t.state.dragging);
    // The release the menu swallowed may still arrive: it changes nothing.
    EXPECT_FALSE(t.releaseAt(2, 4).committed);
    EXPECT_TRUE(isEmpty(t.moveTo(1, 4)));
    EXPECT_EQ(t.board.cells, before.cells);
    EXPECT_FALSE(t.modified || t.steps);
}

TEST(DragRobustness, BoardMatchesThePiecesAfterEveryEvent) {
    std::mt19937 rng(2026);
    auto in = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Table t(kStandard);
    for (int i = 0; i < 3000; ++i) {
        const int k = in(0, 9), p = in(0, 9), x = in(-80, 330), y = in(-80, 330);
        if (k < 2) t.press(p, in(-100, 160), in(-100, 160), k == 0 ? kLeftButton : 2);
        else if (k < 7) t.moveToPixel(x, y);
        else if (k < 9)  // mostly the dragged piece's own release, sometimes another image's
            t.apply(dragRelease(t.state, t.board, t.pieces, k == 8 ? p : t.state.dragPiece, t.image,
                                t.at(x, y, kLeftButton), t.tpp));
        else t.cancel();
        ASSERT_TRUE(boardMatchesPieces(t.board, t.pieces)) << "after event " << i << " of kind " << k;
        ASSERT_EQ(layoutProblem(encodePositions(t.pieces)), "") << "after event " << i;
    }
}
