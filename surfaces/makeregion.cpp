#include "surfaces/makeregion.h"

#include "base/errors.h"
#include "platform/windowshape.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace
{

struct Run {
    int left;
    int width;
    bool operator==(const Run &) const = default;
};

QRgb fromColorRefRgb(int32_t colorRef)
{
    const auto bits = static_cast<uint32_t>(colorRef);
    return qRgb(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

std::vector<Run> opaqueRuns(const QRgb *line, int width, QRgb key)
{
    std::vector<Run> runs;
    int x = 0;
    while (x < width) {
        while (x < width && (line[x] & 0xFFFFFF) == key)
            ++x;
        const int start = x;
        while (x < width && (line[x] & 0xFFFFFF) != key)
            ++x;
        if (x > start)
            runs.push_back({start, x - start});
    }
    return runs;
}

} // namespace

QRegion RegionFromPicture(const QImage &picture, int32_t transparentColor)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = fromColorRefRgb(transparentColor) & 0xFFFFFF;
    std::vector<QRect> rects;
    std::vector<Run> previous;
    size_t bandStart = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        std::vector<Run> runs = opaqueRuns(line, image.width(), key);
        if (y > 0 && !runs.empty() && runs == previous) {
            // The same runs as the row above: grow that band downwards.
            for (size_t i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(y);
        } else {
            bandStart = rects.size();
            for (const Run &run : runs)
                rects.emplace_back(run.left, y, run.width, 1);
        }
        previous = std::move(runs);
    }
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

void MakeRegion(QWidget *window, const QImage &picture, int32_t transparentColor)
{
    if (picture.isNull())
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("The window has no picture to take its shape from."));
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->setFixedSize(picture.size());
    window->setMask(RegionFromPicture(picture, transparentColor));
}

QColor Shaded(const QColor &color, int delta)
{
    return QColor(std::clamp(color.red() + delta, 0, 255),
                  std::clamp(color.green() + delta, 0, 255),
                  std::clamp(color.blue() + delta, 0, 255));
}

void OutlineRims::follow(const QRegion &shape, qreal scale)
{
    if (shape.isEmpty())
        return;
    light_ = (shape - shape.translated(0, 1)) + (shape - shape.translated(1, 0));
    dark_ = (shape - shape.translated(0, -1)) + (shape - shape.translated(-1, 0));
    scale_ = scale;
}

void OutlineRims::paint(QPainter &painter, const QColor &background) const
{
    painter.save();
    painter.scale(1.0 / scale_, 1.0 / scale_);
    for (const QRect &r : light_)
        painter.fillRect(r, Shaded(background, 48));
    for (const QRect &r : dark_)
        painter.fillRect(r, Shaded(background, -40));
    painter.restore();
}

bool SharpenOutline(QWidget *window, const QImage &doubleSkin, int32_t transparentColor,
                    OutlineRims &rims)
{
    const qreal ratio = window->devicePixelRatioF();
    if (ratio <= 1.0 || window->mask().isEmpty())
        return false;
    const QSize pixels = (QSizeF(window->size()) * ratio).toSize();
    QImage skin = doubleSkin;
    if (skin.size() != pixels)
        skin = skin.scaled(pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QRegion outline = RegionFromPicture(skin, transparentColor);
    if (!SetDeviceShape(window, outline))
        return false;
    rims.follow(outline, ratio);
    window->update();
    return true;
}
