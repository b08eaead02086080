#include "surfaces/makeregion.h"

#include "base/errors.h"

#include <QImage>
#include <QWidget>

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
