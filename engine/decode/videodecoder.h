#pragma once

#include "engine/decode/decodedpicture.h"
#include "engine/decode/deinterlacer.h"
#include "engine/decode/pictureconverter.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;

// MPEG-1/MPEG-2 video from a DVD's elementary stream bytes, as they come
// out of the demuxer: a parser finds the pictures, libavcodec decodes them,
// and interlaced ones become a picture per field (see Deinterlacer). A
// picture is converted to RGB32 (see PictureConverter) when it is shown.
class VideoDecoder
{
public:
    VideoDecoder(); // throws AppError when the decoder is missing or cannot start
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder &) = delete;
    VideoDecoder &operator=(const VideoDecoder &) = delete;

    void setFormat(QSize plane, int framesPerSecond);
    QSize plane() const { return plane_; }
    // Fast scans decode only the pictures others refer to.
    void setSkipNonReference(bool skip);
    // A picture per frame rather than per field, while scanning.
    void setOnePerFrame(bool one) { fields_.setOnePerFrame(one); }
    // Interlaced pictures nobody sees are not deinterlaced.
    void setDeinterlacing(bool on) { fields_.setEnabled(on); }
    void send(const uint8_t *data, size_t size, int64_t pts);
    // Decodes what is held back (the parser's last picture, the decoder's
    // reordering delay, the deinterlacer's look-ahead): needed before a
    // still, where no more data follows.
    void drain();
    // Drops everything, for a jump to another place of the disc.
    void reset();

    std::optional<DecodedPicture> take();
    size_t ready() const { return fields_.ready(); }
    // The picture in RGB32 at the plane size; null when it cannot be converted.
    QImage toImage(const DecodedPicture &picture);
    // Pictures the decoder rejected since it started; corrupt data is skipped.
    int errors() const { return errors_; }

private:
    void openParser();
    void decode(const uint8_t *data, int size, int64_t pts);
    void receive();

    AVCodecContext *context_ = nullptr;
    AVCodecParserContext *parser_ = nullptr;
    AVFrame *frame_ = nullptr;
    AVPacket *packet_ = nullptr;
    Deinterlacer fields_;
    PictureConverter converter_;
    std::vector<uint8_t> padded_;
    QSize plane_{720, 576};
    int64_t frameDuration_ = 3600;
    int64_t lastPts_ = -1;
    int errors_ = 0;
};
