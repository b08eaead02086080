#include "engine/decode/pictureconverter.h"

#include "engine/decode/deinterlacer.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
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

void PictureConverter::blendFields(const AVFrame &frame, const uint8_t *planes[4], int strides[4])
{
    const AVPixFmtDescriptor *layout = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    if (!layout || !(layout->flags & AV_PIX_FMT_FLAG_PLANAR) || layout->nb_components != 3 ||
        layout->comp[0].depth != 8 || (layout->flags & AV_PIX_FMT_FLAG_PAL))
        return;
    const int widths[3] = {frame.width, AV_CEIL_RSHIFT(frame.width, layout->log2_chroma_w),
                           AV_CEIL_RSHIFT(frame.width, layout->log2_chroma_w)};
    const int heights[3] = {frame.height, AV_CEIL_RSHIFT(frame.height, layout->log2_chroma_h),
                            AV_CEIL_RSHIFT(frame.height, layout->log2_chroma_h)};
    blended_.resize(size_t(widths[0]) * size_t(heights[0]) +
                    2 * size_t(widths[1]) * size_t(heights[1]));
    uint8_t *target = blended_.data();
    for (int plane = 0; plane < 3; ++plane) {
        Deinterlacer::blendPlane(frame.data[plane], frame.linesize[plane], target, widths[plane],
                                 widths[plane], heights[plane]);
        planes[plane] = target;
        strides[plane] = widths[plane];
        target += size_t(widths[plane]) * size_t(heights[plane]);
    }
}

QImage PictureConverter::convert(const AVFrame &frame, QSize plane)
{
    if (frame.width <= 0 || frame.height <= 0 || plane.isEmpty())
        return {};
    const uint8_t *source[4] = {frame.data[0], frame.data[1], frame.data[2], frame.data[3]};
    int sourceStrides[4] = {frame.linesize[0], frame.linesize[1], frame.linesize[2],
                            frame.linesize[3]};
    // Interlaced pictures are blended at their own size, before any scaling
    // mixes the fields.
    if (frame.interlaced_frame)
        blendFields(frame, source, sourceStrides);
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
