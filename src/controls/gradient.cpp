#include "controls/gradient.h"

#include <QImage>
#include <QPainter>
#include <cstring>

namespace vertoko {

namespace {

int Blend(int c0, int c1, double f) { return static_cast<int>(c0 + (c1 - c0) * f); }

void PutPixel(std::uint8_t* pixel, TColor color) {
    pixel[0] = static_cast<std::uint8_t>((color >> 16) & 0xFF);
    pixel[1] = static_cast<std::uint8_t>((color >> 8) & 0xFF);
    pixel[2] = static_cast<std::uint8_t>(color & 0xFF);
}

// The fraction of step i out of count steps; a single step is the start.
double Fraction(int i, int count) { return count > 1 ? double(i) / double(count - 1) : 0.0; }

}  // namespace

TColor GradientColor(TColor start, TColor end, double f) {
    const int red = Blend(start & 0xFF, end & 0xFF, f);
    const int green = Blend((start >> 8) & 0xFF, (end >> 8) & 0xFF, f);
    const int blue = Blend((start >> 16) & 0xFF, (end >> 16) & 0xFF, f);
    return RGBColor(red, green, blue);
}

void GradBitmap(const PixelBuffer& bitmap, TColor start, TColor end, bool vertical) {
    if (bitmap.bits == nullptr || bitmap.width < 1 || bitmap.height < 1) return;
    start = ResolveColor(start);
    end = ResolveColor(end);
    const int w = bitmap.width;
    const int h = bitmap.height;
    if (vertical) {
        for (int i = 0; i < h; ++i) {
            std::uint8_t* row = bitmap.bits + std::size_t(i) * bitmap.stride;
            PutPixel(row, GradientColor(start, end, Fraction(i, h)));
            for (int j = 1; j < w; ++j) std::memcpy(row + 3 * j, row, 3);
        }
    } else {
        for (int j = 0; j < w; ++j)
            PutPixel(bitmap.bits + 3 * j, GradientColor(start, end, Fraction(j, w)));
        for (int i = 1; i < h; ++i)
            std::memcpy(bitmap.bits + std::size_t(i) * bitmap.stride, bitmap.bits,
                        std::size_t(3) * w);
    }
}

void GradRect(QPainter& canvas, const QRect& rect, TColor start, bool vertical, TColor end) {
    if (rect.width() < 1 || rect.height() < 1) return;
    const QSize size =
        vertical ? QSize(1, rect.height()) : QSize(rect.width(), rect.height() / 20 + 1);
    QImage strip(size, QImage::Format_BGR888);
    GradBitmap({strip.bits(), strip.width(), strip.height(), int(strip.bytesPerLine())}, start, end,
               vertical);
    // A plain stretch copy: no smoothing between the strip's pixels.
    const bool smooth = canvas.testRenderHint(QPainter::SmoothPixmapTransform);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(rect, strip);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

}  // namespace vertoko
