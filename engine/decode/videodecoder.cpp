#include "engine/decode/videodecoder.h"

#include "engine/common/dvderrors.h"
#include "engine/decode/deinterlacer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <utility>

namespace
{
QString avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}
} // namespace

VideoDecoder::VideoDecoder()
{
    // One decoder reads both: it switches to MPEG-2 at the first sequence
    // extension it meets.
    const AVCodec *codec = avcodec_find_decoder(AV_CODEC_ID_MPEG2VIDEO);
    if (!codec)
        throw DvdErrors::decoderMissing(QStringLiteral("MPEG-2 video"));
    context_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!context_ || !frame_ || !packet_)
        throw DvdErrors::decoderFailed(QStringLiteral("out of memory"));
    // A DVD picture decodes in under a millisecond; threads buy nothing.
    context_->thread_count = 1;
    const int opened = avcodec_open2(context_, codec, nullptr);
    if (opened < 0)
        throw DvdErrors::decoderFailed(avError(opened));
    openParser();
}

VideoDecoder::~VideoDecoder()
{
    av_parser_close(parser_);
    sws_freeContext(scaler_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&context_);
}

void VideoDecoder::openParser()
{
    av_parser_close(parser_);
    parser_ = av_parser_init(AV_CODEC_ID_MPEG2VIDEO);
    if (!parser_)
        throw DvdErrors::decoderMissing(QStringLiteral("MPEG video parser"));
}

void VideoDecoder::setFormat(QSize plane, int framesPerSecond)
{
    plane_ = plane;
    frameDuration_ = framesPerSecond == 30 ? 3003 : 3600;
}

void VideoDecoder::setSkipNonReference(bool skip)
{
    context_->skip_frame = skip ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
}

void VideoDecoder::send(const uint8_t *data, size_t size, int64_t pts)
{
    // The parser reads (and copies) up to a padding's length past the end of
    // what it is given.
    padded_.assign(data, data + size);
    padded_.resize(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    data = padded_.data();
    const int64_t stamp = pts >= 0 ? pts : AV_NOPTS_VALUE;
    while (size > 0) {
        uint8_t *picture = nullptr;
        int pictureSize = 0;
        const int used = av_parser_parse2(parser_, context_, &picture, &pictureSize, data,
                                          int(size), stamp, AV_NOPTS_VALUE, 0);
        if (used < 0)
            return;
        data += used;
        size -= size_t(used);
        if (pictureSize > 0)
            decode(picture, pictureSize, parser_->pts);
    }
}

void VideoDecoder::decode(const uint8_t *data, int size, int64_t pts)
{
    packet_->data = const_cast<uint8_t *>(data);
    packet_->size = size;
    packet_->pts = pts;
    packet_->dts = AV_NOPTS_VALUE;
    if (avcodec_send_packet(context_, packet_) < 0)
        ++errors_;
    av_packet_unref(packet_);
    receive();
}

void VideoDecoder::receive()
{
    while (avcodec_receive_frame(context_, frame_) == 0) {
        DecodedPicture picture;
        picture.duration90k = frameDuration_ + frame_->repeat_pict * frameDuration_ / 2;
        if (frame_->pts != AV_NOPTS_VALUE)
            picture.pts = frame_->pts;
        else if (lastPts_ >= 0)
            picture.pts = lastPts_ + frameDuration_;
        lastPts_ = picture.pts;
        AVFrame *reference = av_frame_alloc();
        if (!reference) {
            av_frame_unref(frame_);
            continue;
        }
        // Takes the decoder's reference: no copy of the picture is made.
        av_frame_move_ref(reference, frame_);
        picture.frame.reset(reference, [](AVFrame *frame) { av_frame_free(&frame); });
        ready_.push_back(std::move(picture));
    }
}

void VideoDecoder::blendFields(const AVFrame *frame, const uint8_t *planes[4], int strides[4])
{
    const AVPixFmtDescriptor *layout = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    if (!layout || !(layout->flags & AV_PIX_FMT_FLAG_PLANAR) || layout->nb_components != 3 ||
        layout->comp[0].depth != 8 || (layout->flags & AV_PIX_FMT_FLAG_PAL))
        return;
    const int widths[3] = {frame->width, AV_CEIL_RSHIFT(frame->width, layout->log2_chroma_w),
                           AV_CEIL_RSHIFT(frame->width, layout->log2_chroma_w)};
    const int heights[3] = {frame->height, AV_CEIL_RSHIFT(frame->height, layout->log2_chroma_h),
                            AV_CEIL_RSHIFT(frame->height, layout->log2_chroma_h)};
    blended_.resize(size_t(widths[0]) * size_t(heights[0]) +
                    2 * size_t(widths[1]) * size_t(heights[1]));
    uint8_t *target = blended_.data();
    for (int plane = 0; plane < 3; ++plane) {
        Deinterlacer::blendPlane(frame->data[plane], frame->linesize[plane], target, widths[plane],
                                 widths[plane], heights[plane]);
        planes[plane] = target;
        strides[plane] = widths[plane];
        target += size_t(widths[plane]) * size_t(heights[plane]);
    }
}

QImage VideoDecoder::toImage(const DecodedPicture &picture)
{
    const AVFrame *frame = picture.frame.get();
    if (!frame || frame->width <= 0 || frame->height <= 0)
        return {};
    const uint8_t *source[4] = {frame->data[0], frame->data[1], frame->data[2], frame->data[3]};
    int sourceStrides[4] = {frame->linesize[0], frame->linesize[1], frame->linesize[2],
                            frame->linesize[3]};
    // Interlaced pictures are blended at their own size, before any scaling
    // mixes the fields.
    if (frame->interlaced_frame)
        blendFields(frame, source, sourceStrides);
    scaler_ = sws_getCachedContext(scaler_, frame->width, frame->height,
                                   AVPixelFormat(frame->format), plane_.width(), plane_.height(),
                                   AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler_)
        return {};
    QImage image = freeImage();
    if (image.isNull())
        return {};
    uint8_t *planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler_, source, sourceStrides, 0, frame->height, planes, strides);
    keepForReuse(image);
    return image;
}

QImage VideoDecoder::freeImage()
{
    for (QImage &kept : images_) {
        // Held only here: the picture it was has left the screen.
        if (!kept.isDetached())
            continue;
        if (kept.size() == plane_)
            return std::exchange(kept, QImage());
        // Of a picture size no longer played (another title set).
        kept = QImage();
    }
    return QImage(plane_, QImage::Format_RGB32);
}

void VideoDecoder::keepForReuse(const QImage &image)
{
    // On screen, about to be, and one being painted: a few are plenty.
    constexpr size_t kKept = 4;
    const auto empty = std::find_if(images_.begin(), images_.end(),
                                    [](const QImage &kept) { return kept.isNull(); });
    if (empty != images_.end())
        *empty = image;
    else if (images_.size() < kKept)
        images_.push_back(image);
}

void VideoDecoder::drain()
{
    uint8_t *picture = nullptr;
    int pictureSize = 0;
    av_parser_parse2(parser_, context_, &picture, &pictureSize, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    if (pictureSize > 0)
        decode(picture, pictureSize, parser_->pts);
    avcodec_send_packet(context_, nullptr);
    receive();
    avcodec_flush_buffers(context_);
    openParser();
}

void VideoDecoder::reset()
{
    avcodec_flush_buffers(context_);
    openParser();
    ready_.clear();
    lastPts_ = -1;
}

std::optional<DecodedPicture> VideoDecoder::take()
{
    if (ready_.empty())
        return std::nullopt;
    DecodedPicture picture = std::move(ready_.front());
    ready_.pop_front();
    return picture;
}
