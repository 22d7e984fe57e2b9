// The map of the skin bitmap: where each sprite lies, in pixels of the skin.
// The game cuts its sprites by it and the art generator draws them by it, so
// the two cannot drift apart. Plain data, without Qt, for both sides.
#pragma once

namespace quorvale::skinmap {

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

// A skin must be at least this large to hold every rectangle below.
constexpr int kWidth = 370;
constexpr int kHeight = 380;

// The frame around the board and the exit gap below it.
constexpr Rect kUpFrame{0, 0, 280, 20};
constexpr Rect kLeftFrame{0, 20, 20, 300};
constexpr Rect kRightFrame{260, 20, 20, 300};
constexpr Rect kExit{0, 320, 280, 20};

// The title panel beside the board and the banner shown once a level is solved.
constexpr Rect kTitle{280, 0, 90, 340};
constexpr Rect kCongratulations{0, 340, 370, 40};

// The pieces. The four tall pieces each have a picture of their own, from the
// left; the small pieces share one.
constexpr Rect kSquare{20, 20, 120, 120};
constexpr Rect kWide{20, 140, 120, 60};
constexpr Rect kTall[4] = {{20, 200, 60, 120}, {80, 200, 60, 120}, {140, 200, 60, 120}, {200, 200, 60, 120}};
constexpr Rect kSmall{200, 140, 60, 60};

// The other looks of the square and the small pieces, which the About box's
// hidden sequence swaps in.
constexpr Rect kHiddenSquare{140, 20, 120, 120};
constexpr Rect kHiddenSmall{140, 140, 60, 60};

}  // namespace quorvale::skinmap
