// Screen arithmetic shared by the windows: twips and pixels, the centring rule,
// where pictures stand and which board cell lies under the pointer.
#pragma once

#include <cstdint>

namespace quorvale {

// Board geometry in pixels of the main window's client area.
constexpr int kCellPixels = 60;
constexpr int kBoardMarginPixels = 30;

// Rounds to the nearest 32-bit integer, halves to the even neighbour.
std::int32_t roundHalfEven(double value);

// A length in twips as whole pixels of the screen: twips / twips per pixel,
// rounded half to even. Every window converts its twips this way.
std::int32_t twipsToPixels(double twips, double twipsPerPixel);

// The centring rule: (outer - inner) rounded half to even, then halved with the
// remainder dropped toward zero. A dialog adds the owner's left or top edge.
std::int32_t centreOffset(double outer, double inner);

// Left and Top, in twips, of a piece image whose top-left cell is (col, row):
// (60 x col + 30) x twips per pixel, computed in floating point.
float pieceLeftTwips(int col, double twipsPerPixelX);
float pieceTopTwips(int row, double twipsPerPixelY);

// The frame pictures and the title panel, in pixels of the client area.
struct FramePlace {
    int leftPixels;
    int topPixels;
};
constexpr FramePlace kUpFramePlace{10, 10};
constexpr FramePlace kLeftFramePlace{10, 30};
constexpr FramePlace kRightFramePlace{270, 30};
constexpr FramePlace kExitPlace{10, 330};
constexpr FramePlace kTitlePlace{310, 10};

// Board column (or row) under the pointer: imagePos is the pressed image's
// Left (or Top) and offset the event's X (or Y), both in twips:
// (R(imagePos + offset) div R(twipsPerPixel) - 30) div 60.
std::int16_t pointerCell(float imagePos, float offset, double twipsPerPixel);

// Which cell of the piece was grabbed: (R(offset) div R(twipsPerPixel)) div 60.
std::int16_t grabCell(float offset, double twipsPerPixel);

}  // namespace quorvale
