#include "widgets/pixelpainter.h"

#include "platform/units.h"

#include <QPainter>

#include <cstdlib>

void PixelPainter::line(int x1, int y1, int x2, int y2, int32_t color)
{
    const QColor c = fromColorRef(color);
    if (y1 == y2 && x1 != x2) {
        painter_.fillRect(x1 < x2 ? x1 : x2 + 1, y1, std::abs(x2 - x1), 1, c);
        return;
    }
    if (x1 == x2 && y1 != y2) {
        painter_.fillRect(x1, y1 < y2 ? y1 : y2 + 1, 1, std::abs(y2 - y1), c);
        return;
    }
    // Diagonals step from the start and stop before the end point.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (int x = x1, y = y1; x != x2 || y != y2;) {
        painter_.fillRect(x, y, 1, 1, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void PixelPainter::fill(int left, int top, int right, int bottom, int32_t color)
{
    if (right > left && bottom > top)
        painter_.fillRect(left, top, right - left, bottom - top, fromColorRef(color));
}

void PixelPainter::frame(int left, int top, int right, int bottom, int32_t color)
{
    if (right <= left || bottom <= top)
        return;
    const QColor c = fromColorRef(color);
    painter_.fillRect(left, top, right - left, 1, c);
    painter_.fillRect(left, bottom - 1, right - left, 1, c);
    painter_.fillRect(left, top, 1, bottom - top, c);
    painter_.fillRect(right - 1, top, 1, bottom - top, c);
}

void PixelPainter::pixel(int x, int y, int32_t color)
{
    painter_.fillRect(x, y, 1, 1, fromColorRef(color));
}

void PixelPainter::bevel(const QRect &rect, int32_t topLeft, int32_t bottomRight)
{
    const int l = rect.left(), t = rect.top();
    const int x = l + rect.width() - 1, y = t + rect.height() - 1;
    line(l, y, l, t, topLeft);
    line(l, t, x, t, topLeft);
    line(x, t, x, y, bottomRight);
    line(x, y, l - 1, y, bottomRight);
}

void PixelPainter::focusOutline(const QRect &rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter_.save();
    painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    // A checkerboard of inverted pixels along the outline, each pixel once.
    const auto dot = [&](int x, int y) {
        if ((x - l + y - t) % 2 == 0)
            painter_.fillRect(x, y, 1, 1, Qt::white);
    };
    for (int x = l; x <= r; ++x) {
        dot(x, t);
        if (b > t)
            dot(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        dot(l, y);
        if (r > l)
            dot(r, y);
    }
    painter_.restore();
}
