#include "core/drag.h"

#include <algorithm>

#include "core/geometry.h"

namespace quorvale {

namespace {

// True when every cell `piece` would cover with its top-left cell at (col, row)
// is free for it; every cell is looked at, none skipped.
bool allCellsFree(const Board& board, int piece, int col, int row) {
    bool ok = true;
    const PieceSize size = pieceSizeOf(pieceKindOf(piece));
    for (int dc = 0; dc < size.width; ++dc) {
        for (int dr = 0; dr < size.height; ++dr) {
            ok = cellFreeFor(board, piece, col + dc, row + dr) && ok;
        }
    }
    return ok;
}

struct PointerCell {
    int col;
    int row;
};

PointerCell pointerOver(ImagePlace image, MouseEventTwips event, TwipsPerPixel tpp) {
    return {pointerCell(image.left, event.x, tpp.x), pointerCell(image.top, event.y, tpp.y)};
}

// Keeps the candidate top-left cell (pc - grabCol, pr - grabRow) of the
// dragged piece on the board.
void clampPointer(const DragState& s, const Pieces& pieces, PointerCell& p) {
    const PiecePos& piece = pieces[static_cast<std::size_t>(s.dragPiece)];
    const int w = piece.width;
    const int h = piece.height;
    if (p.col - s.grabCol < 0) p.col = s.grabCol;
    if (p.row - s.grabRow < 0) p.row = s.grabRow;
    if (p.col - s.grabCol + w > kBoardCols) p.col = kBoardCols - w + s.grabCol;
    if (p.row - s.grabRow + h > kBoardRows) p.row = kBoardRows - h + s.grabRow;
}

Cell cellAt(int col, int row) { return Cell{static_cast<std::int16_t>(col), static_cast<std::int16_t>(row)}; }

// For a pointer cell in line with the start cell (same column or same row,
// not both): is every cell the piece sweeps on its way there free?
bool sweepFree(const Board& board, const DragState& s, const PointerCell& p) {
    if (p.col == s.startCol) {
        return canMoveVertically(board, s.dragPiece, s.startRow - s.grabRow, p.row - s.grabRow, p.col - s.grabCol);
    }
    return canMoveHorizontally(board, s.dragPiece, s.startCol - s.grabCol, p.col - s.grabCol, p.row - s.grabRow);
}

}  // namespace

bool canMoveHorizontally(const Board& board, int piece, int a, int b, int row) {
    if (!isPieceIndex(piece)) return true;
    bool ok = true;
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    for (int k = lo; k <= hi; ++k) ok = allCellsFree(board, piece, k, row) && ok;
    return ok;
}

bool canMoveVertically(const Board& board, int piece, int a, int b, int col) {
    if (!isPieceIndex(piece)) return true;
    bool ok = true;
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    for (int k = lo; k <= hi; ++k) ok = allCellsFree(board, piece, col, k) && ok;
    return ok;
}

DragAnswer dragPress(DragState& state, int index, ImagePlace image, ImageExtent extent, MouseEventTwips event,
                     TwipsPerPixel tpp) {
    DragAnswer answer;
    if (event.button != kLeftButton) return answer;
    // Only the ten piece images can start a drag, and only one at a time.
    if (!isPieceIndex(index) || state.dragging) return answer;
    // The grab cell must be a cell of the pressed image: a press delivered to
    // an image from outside it would record a grab cell of -1 or 2.
    if (!(event.x >= 0 && event.y >= 0 && event.x < extent.width && event.y < extent.height)) return answer;
    state.dragPiece = static_cast<std::int16_t>(index);
    const PointerCell p = pointerOver(image, event, tpp);
    state.startCol = state.lastCol = static_cast<std::int16_t>(p.col);
    state.startRow = state.lastRow = static_cast<std::int16_t>(p.row);
    state.grabCol = grabCell(event.x, tpp.x);
    state.grabRow = grabCell(event.y, tpp.y);
    state.dragging = true;
    answer.pointer = kPointerSizeAll;
    return answer;
}

DragAnswer dragMove(DragState& state, const Board& board, const Pieces& pieces, ImagePlace image,
                    MouseEventTwips event, TwipsPerPixel tpp) {
    DragAnswer answer;
    if (!state.dragging || !isPieceIndex(state.dragPiece)) return answer;
    PointerCell p = pointerOver(image, event, tpp);
    // Same pointer cell as last accepted (before clamping): nothing to move,
    // but the pointer may be coming back from a refused cell, and the last
    // accepted cell always shows the four-way arrow.
    if (p.col == state.lastCol && p.row == state.lastRow) {
        answer.pointer = kPointerSizeAll;
        return answer;
    }
    clampPointer(state, pieces, p);

    const bool sameCol = p.col == state.startCol;
    const bool sameRow = p.row == state.startRow;
    if (sameCol != sameRow) {
        // In line with the start cell: accept when the whole sweep is free.
        if (sweepFree(board, state, p)) {
            answer.showPieceAt = cellAt(p.col - state.grabCol, p.row - state.grabRow);
            state.lastCol = static_cast<std::int16_t>(p.col);
            state.lastRow = static_cast<std::int16_t>(p.row);
            answer.pointer = kPointerSizeAll;
        } else {
            answer.pointer = kPointerNoDrop;
        }
    } else if (sameCol && sameRow) {
        answer.pointer = kPointerSizeAll;
        answer.showPieceAt = cellAt(state.startCol - state.grabCol, state.startRow - state.grabRow);
        state.lastCol = static_cast<std::int16_t>(p.col);
        state.lastRow = static_cast<std::int16_t>(p.row);
    } else {
        answer.pointer = kPointerNoDrop;  // diagonal to the start cell
    }
    return answer;
}

DragAnswer dragRelease(DragState& state, Board& board, Pieces& pieces, int index, ImagePlace image,
                       MouseEventTwips event, TwipsPerPixel tpp) {
    DragAnswer answer;
    if (event.button != kLeftButton) return answer;
    if (!state.dragging || index != state.dragPiece) {
        answer.pointer = kPointerDefault;
        return answer;
    }

    if (isPieceIndex(state.dragPiece)) {
        PointerCell p = pointerOver(image, event, tpp);
        clampPointer(state, pieces, p);

        const bool sameCol = p.col == state.startCol;
        const bool sameRow = p.row == state.startRow;
        if (sameCol != sameRow) {
            // A blocked drop falls back to the last cell accepted while dragging.
            if (!sweepFree(board, state, p)) p = PointerCell{state.lastCol, state.lastRow};
            answer.showPieceAt = cellAt(p.col - state.grabCol, p.row - state.grabRow);
            clearPieceCells(board, index, state.startCol - state.grabCol, state.startRow - state.grabRow);
            putPiece(board, pieces, index, p.col - state.grabCol, p.row - state.grabRow);
            answer.committed = true;
            answer.stepTaken = p.col != state.startCol || p.row != state.startRow;
        } else if (!sameCol && !sameRow) {
            // Diagonal: the piece goes back to where it started, nothing is written.
            answer.showPieceAt = cellAt(state.startCol - state.grabCol, state.startRow - state.grabRow);
        }
    }

    state.dragging = false;
    answer.pointer = kPointerDefault;
    answer.runSolvedTest = state.dragPiece == 0;
    return answer;
}

DragAnswer dragCancel(DragState& state) {
    DragAnswer answer;
    if (!state.dragging) return answer;
    state.dragging = false;
    if (isPieceIndex(state.dragPiece)) {
        answer.showPieceAt = cellAt(state.startCol - state.grabCol, state.startRow - state.grabRow);
    }
    answer.pointer = kPointerDefault;
    return answer;
}

}  // namespace quorvale
