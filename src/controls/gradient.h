// Two-colour gradients: the colour at a fraction of the way, a gradient
// written into a plain 24-bit pixel buffer, and one painted into a rectangle.
#pragma once

#include <QRect>
#include <cstdint>

#include "controls/colors.h"

class QPainter;

namespace vertoko {

// Each component is c0 + (c1 - c0) * f in floating point, truncated toward
// zero. Both colours must already be resolved to RGB.
TColor GradientColor(TColor start, TColor end, double f);

// A 24-bit pixel buffer: rows of `width` pixels, 3 bytes each in the order
// blue, green, red; `stride` bytes from one row to the next.
struct PixelBuffer {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Fills the buffer with a gradient from `start` (top or left) to `end`
// (bottom or right). An empty buffer is left alone; a gradient across a
// single row or column takes the start colour.
void GradBitmap(const PixelBuffer& bitmap, TColor start, TColor end, bool vertical);

// Paints a gradient into `rect`: a thin gradient strip is filled with
// GradBitmap and stretched over the rectangle.
void GradRect(QPainter& canvas, const QRect& rect, TColor start, bool vertical, TColor end);

}  // namespace vertoko
