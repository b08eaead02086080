#include "engine/decode/pictureconverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <utility>

PictureConverter::~PictureConverter()
{
    sws_freeContext(scaler_);
}

bool PictureConverter::convertible(const AVFrame &frame)
{
    return frame.width > 0 && frame.height > 0 &&
           sws_isSupportedInput(AVPixelFormat(frame.format)) > 0;
}

QImage PictureConverter::convert(const AVFrame &frame, QSize plane)
{
    if (frame.width <= 0 || frame.height <= 0 || plane.isEmpty())
        return {};
    const uint8_t *source[4] = {frame.data[0], frame.data[1], frame.data[2], frame.data[3]};
    const int sourceStrides[4] = {frame.linesize[0], frame.linesize[1], frame.linesize[2],
                                  frame.linesize[3]};
    scaler_ = sws_getCachedContext(scaler_, frame.width, frame.height, AVPixelFormat(frame.format),
                                   plane.width(), plane.height(), AV_PIX_FMT_BGRA, SWS_BICUBIC,
                                   nullptr, nullptr, nullptr);
    if (!scaler_)
        return {};
    QImage image = freeImage(plane);
    if (image.isNull())
        return {};
    uint8_t *planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler_, source, sourceStrides, 0, frame.height, planes, strides);
    keepForReuse(image);
    return image;
}

QImage PictureConverter::freeImage(QSize plane)
{
    for (QImage &kept : images_) {
        // Held only here: the picture it was has left the screen.
        if (!kept.isDetached())
            continue;
        if (kept.size() == plane)
            return std::exchange(kept, QImage());
        // Of a picture size no longer played (another title set).
        kept = QImage();
    }
    return QImage(plane, QImage::Format_RGB32);
}

void PictureConverter::keepForReuse(const QImage &image)
{
    constexpr size_t kKept = 4;
    const auto empty = std::find_if(images_.begin(), images_.end(),
                                    [](const QImage &kept) { return kept.isNull(); });
    if (empty != images_.end())
        *empty = image;
    else if (images_.size() < kKept)
        images_.push_back(image);
}
