#include "core/geometry.h"

#include <cmath>
#include <limits>

namespace quorvale {

namespace {

// Whole twips per pixel as the pointer arithmetic uses them; never 0, so a
// strange screen report cannot divide by zero.
std::int32_t wholeTwipsPerPixel(double twipsPerPixel) {
    const std::int32_t t = roundHalfEven(twipsPerPixel);
    return t >= 1 ? t : 1;
}

std::int16_t toInt16(std::int64_t v) {
    if (v > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
    if (v < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(v);
}

}  // namespace

std::int32_t roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // Clamp first so the conversion below is always defined.
    constexpr double lo = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (value <= lo) return std::numeric_limits<std::int32_t>::min();
    if (value >= hi) return std::numeric_limits<std::int32_t>::max();
    const double whole = std::floor(value);
    const double frac = value - whole;
    double r = whole;
    if (frac > 0.5) {
        r = whole + 1.0;
    } else if (frac == 0.5) {
        r = (std::fmod(whole, 2.0) == 0.0) ? whole : whole + 1.0;
    }
    if (r >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

std::int32_t twipsToPixels(double twips, double twipsPerPixel) { return roundHalfEven(twips / twipsPerPixel); }

std::int32_t centreOffset(double outer, double inner) { return roundHalfEven(outer - inner) / 2; }

float pieceLeftTwips(int col, double twipsPerPixelX) {
    return static_cast<float>(static_cast<double>(kCellPixels * col + kBoardMarginPixels) * twipsPerPixelX);
}

float pieceTopTwips(int row, double twipsPerPixelY) {
    return static_cast<float>(static_cast<double>(kCellPixels * row + kBoardMarginPixels) * twipsPerPixelY);
}

std::int16_t pointerCell(float imagePos, float offset, double twipsPerPixel) {
    const float sum = imagePos + offset;  // single precision, as the controls hold them
    // Integer division drops the remainder toward zero, as the rule asks.
    const std::int64_t pixels = roundHalfEven(sum) / wholeTwipsPerPixel(twipsPerPixel);
    return toInt16((pixels - kBoardMarginPixels) / kCellPixels);
}

std::int16_t grabCell(float offset, double twipsPerPixel) {
    const std::int32_t pixels = roundHalfEven(offset) / wholeTwipsPerPixel(twipsPerPixel);
    return toInt16(pixels / kCellPixels);
}

}  // namespace quorvale
