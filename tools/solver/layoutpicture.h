// A layout drawn as text: five rows of four characters, the board from the
// top row down. S the square, W the wide piece, T a tall piece, o a small
// piece, '.' a free cell. The level source, the level tool and the tests all
// read and write layouts this way.
#pragma once

#include <array>
#include <string>

#include "core/board.h"

namespace quorvale {

using LayoutPicture = std::array<std::string, kBoardRows>;

// The grid of a layout: every piece marked at its decoded position.
Board boardOf(const Positions& positions);

// The positions of a drawn layout. The tall pieces become pieces 2..5 and the
// small ones 6..9 in reading order of their top cells. False with a sentence
// in `error` when the picture is not a full layout (wrong row length, an
// unknown character, a piece of the wrong shape or count, not exactly two
// free cells).
bool layoutFromPicture(const LayoutPicture& rows, Positions& positions, std::string& error);

// The picture of a valid layout, with `symbols[i]` for the cells of piece i.
LayoutPicture pictureOf(const Positions& positions, const char (&symbols)[kPieceCount]);

// Picture characters per piece index: S, W, T x4, o x4.
extern const char kShapeSymbols[kPieceCount];

}  // namespace quorvale
