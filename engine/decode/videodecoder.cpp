#include "engine/decode/videodecoder.h"

#include "engine/common/dvderrors.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

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
        const int64_t duration = frameDuration_ + frame_->repeat_pict * frameDuration_ / 2;
        int64_t pts = -1;
        if (frame_->pts != AV_NOPTS_VALUE)
            pts = frame_->pts;
        else if (lastPts_ >= 0)
            pts = lastPts_ + frameDuration_;
        lastPts_ = pts;
        // Takes the decoder's reference: no copy of the picture is made.
        fields_.push(frame_, pts, duration);
    }
}

QImage VideoDecoder::toImage(const DecodedPicture &picture)
{
    if (!picture.frame)
        return {};
    return converter_.convert(*picture.frame, plane_);
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
    fields_.flush();
    avcodec_flush_buffers(context_);
    openParser();
}

void VideoDecoder::reset()
{
    avcodec_flush_buffers(context_);
    openParser();
    fields_.reset();
    lastPts_ = -1;
}

std::optional<DecodedPicture> VideoDecoder::take()
{
    return fields_.take();
}
