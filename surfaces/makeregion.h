#pragma once

#include <QColor>
#include <QRegion>

#include <cstdint>

class QImage;
class QPainter;
class QWidget;

// The area of the picture whose pixels are not of the transparent colour
// (0x00BBGGRR, compared exactly in all three channels), built from runs of
// opaque pixels, with rows of equal runs merged into bands.
QRegion RegionFromPicture(const QImage &picture, int32_t transparentColor);

// Makes the window borderless, sizes it to the picture and cuts away every
// pixel of the transparent colour. Throws AppError when there is no picture.
void MakeRegion(QWidget *window, const QImage &picture, int32_t transparentColor);

// The colour a number of steps lighter (positive) or darker on every channel.
QColor Shaded(const QColor &color, int delta);

// A one-pixel rim along a shaped window's outline, so the shape reads against
// any desktop: light along the top and left edges, dark along the others.
// Its colours follow the window's background.
class OutlineRims
{
public:
    // shape in pixels of scale screen pixels per window pixel.
    void follow(const QRegion &shape, qreal scale);
    void paint(QPainter &painter, const QColor &background) const;

private:
    QRegion light_;
    QRegion dark_;
    qreal scale_ = 1.0;
};

// On a scaled desktop the outline and its rims come from the skin drawn at
// double size, cut in screen pixels, rather than from the window's own pixels
// blown up. False (nothing changed) at 100% or where the window system cannot
// do it.
bool SharpenOutline(QWidget *window, const QImage &doubleSkin, int32_t transparentColor,
                    OutlineRims &rims);
