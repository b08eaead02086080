#include "widgets/skinregion.h"

namespace
{

// Rectangles as left, top, right, bottom with right and bottom exclusive.
QRect edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

QRegion withoutCornerPixels(QRegion region, int w, int h)
{
    for (const QPoint &corner :
         {QPoint(0, 0), QPoint(0, h - 1), QPoint(w - 1, 0), QPoint(w - 1, h - 1)})
        region -= QRect(corner, QSize(1, 1));
    return region;
}

QRegion withRoundedCorners(QRegion region, int w, int h)
{
    const QRect cuts[] = {
        edges(0, 0, 2, 1),         edges(0, 1, 1, 2),
        edges(0, h - 1, 2, h),     edges(0, h - 2, 1, h - 1),
        edges(w - 2, 0, w, 1),     edges(w - 1, 1, w, 2),
        edges(w - 2, h - 1, w, h), edges(w - 1, h - 2, w, h - 1),
    };
    for (const QRect &cut : cuts)
        region -= cut;
    return region;
}

} // namespace

QRegion skinRegion(int buttonType, int width, int height)
{
    if (width <= 0 || height <= 0)
        return QRegion();
    QRegion region(0, 0, width, height);
    switch (buttonType) {
    case 1:
        return withoutCornerPixels(region, width, height);
    case 3:
    case 4:
        return withRoundedCorners(region, width, height);
    case 5:
        return region - QRect(0, height - 1, 1, 1) - QRect(width - 1, 0, 1, 1);
    default:
        return region;
    }
}
