#pragma once

#include <QRect>

#include <cstdint>

class QPainter;

// Pixel-exact drawing on the button face. Colours are 0x00BBGGRR; lines
// include their start point but not their end point, and rectangles are
// given as left, top, right, bottom with right and bottom exclusive.
class PixelPainter
{
public:
    explicit PixelPainter(QPainter &painter) : painter_(painter) {}

    void line(int x1, int y1, int x2, int y2, int32_t color);
    void fill(int left, int top, int right, int bottom, int32_t color);
    void frame(int left, int top, int right, int bottom, int32_t color);
    void pixel(int x, int y, int32_t color);

    // A one-pixel raised (or, with the colours swapped, sunken) edge around
    // [left, right) x [top, bottom): the first colour on the top and left,
    // the second on the right and bottom.
    void bevel(const QRect &rect, int32_t topLeft, int32_t bottomRight);

    // The desktop's dotted focus outline: every other pixel inverted.
    void focusOutline(const QRect &rect);

    QPainter &painter() { return painter_; }

private:
    QPainter &painter_;
};
