// The move engine: what a press, a move and a release of the mouse on a piece
// image do to the drag state and the board. The window feeds it the image's
// position and the event's offset in twips plus the twips per pixel, and
// applies the answer: where the image stands, which pointer shows, whether a
// move was committed and whether the solved test must run.
#pragma once

#include <cstdint>
#include <optional>

#include "core/board.h"

namespace quorvale {

// Window-wide mouse pointer values.
constexpr int kPointerDefault = 0;
constexpr int kPointerNoDrop = 12;
constexpr int kPointerSizeAll = 15;

// Left mouse button as the events report it.
constexpr int kLeftButton = 1;

struct DragState {
    bool dragging = false;
    std::int16_t dragPiece = 0;
    std::int16_t grabCol = 0;
    std::int16_t grabRow = 0;
    std::int16_t startCol = 0;
    std::int16_t startRow = 0;
    std::int16_t lastCol = 0;
    std::int16_t lastRow = 0;
};

// A top-left cell of a piece.
struct Cell {
    std::int16_t col = 0;
    std::int16_t row = 0;
    bool operator==(const Cell&) const = default;
};

// What the window has to do after an event. Empty optionals mean "leave as is".
struct DragAnswer {
    std::optional<Cell> showPieceAt;  // move the dragged piece's image to this top-left cell
    std::optional<int> pointer;       // new window-wide pointer value
    bool committed = false;           // the release wrote the piece onto the board: set gameModified, refresh status
    bool stepTaken = false;           // ... and the piece ended on another cell: add one step (before the status refresh)
    bool runSolvedTest = false;       // the released piece is the square: run the solved test
};

// Both ends included: can `piece` slide between top-left columns a and b in
// `row` (every cell it would cover free or its own)? Index outside 0..9: True.
bool canMoveHorizontally(const Board& board, int piece, int a, int b, int row);
bool canMoveVertically(const Board& board, int piece, int a, int b, int col);

// Position of the pressed or dragged image, in twips.
struct ImagePlace {
    float left = 0;
    float top = 0;
};

// Event values as the image reports them: button (1 left), X and Y in twips
// relative to the image.
struct MouseEventTwips {
    int button = 0;
    float x = 0;
    float y = 0;
};

struct TwipsPerPixel {
    double x = 15;
    double y = 15;
};

// Width and height of the pressed image, in twips.
struct ImageExtent {
    float width = 0;
    float height = 0;
};

// imgPieces_MouseDown: `image` is the pressed image `index`, `extent` its size.
// A press that cannot be a grab of that image starts nothing: one outside the
// image (the platform hands a press to the image that already holds the
// mouse, wherever it was made) or one while a drag is under way.
DragAnswer dragPress(DragState& state, int index, ImagePlace image, ImageExtent extent, MouseEventTwips event,
                     TwipsPerPixel tpp);

// imgPieces_MouseMove: `image` is the image of state.dragPiece.
DragAnswer dragMove(DragState& state, const Board& board, const Pieces& pieces, ImagePlace image,
                    MouseEventTwips event, TwipsPerPixel tpp);

// imgPieces_MouseUp: `image` is the image of state.dragPiece; `index` is the
// event's Index. Only the release that ends a drag of that same piece does
// anything: a release with no drag under way (it was cancelled, or its press
// started nothing) or from another image must not write a piece back onto
// cells recorded for a different one.
DragAnswer dragRelease(DragState& state, Board& board, Pieces& pieces, int index, ImagePlace image,
                       MouseEventTwips event, TwipsPerPixel tpp);

// The drag lost the mouse before its release (a menu or popup opened, the
// window was deactivated, the grab was taken away): the image goes back to
// the start cell, nothing is written, no step, and the pointer is the arrow.
// Does nothing when no drag is under way.
DragAnswer dragCancel(DragState& state);

}  // namespace quorvale
