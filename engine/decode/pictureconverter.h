#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <vector>

struct AVFrame;
struct SwsContext;

// Decoded YUV pictures to RGB32 at the size of the subpicture plane (720 x
// 576 or 720 x 480: MPEG-1 and reduced-size pictures are scaled up to it),
// deinterlaced when their fields were coded apart. Images it made before are
// written again once nobody else holds them.
class PictureConverter
{
public:
    PictureConverter() = default;
    ~PictureConverter();
    PictureConverter(const PictureConverter &) = delete;
    PictureConverter &operator=(const PictureConverter &) = delete;

    // Null when the frame cannot be converted.
    QImage convert(const AVFrame &frame, QSize plane);
    // Whether convert() can take the frame at all (it has a size and a
    // layout the converter reads).
    static bool convertible(const AVFrame &frame);

private:
    // Points planes and strides at the frame's planes with the fields
    // blended, kept in blended_; leaves them for a layout the blend does not
    // know (the frame is then shown as it is).
    void blendFields(const AVFrame &frame, const uint8_t *planes[4], int strides[4]);
    QImage freeImage(QSize plane);
    void keepForReuse(const QImage &image);

    SwsContext *scaler_ = nullptr;
    std::vector<uint8_t> blended_;
    // On screen, about to be, and one being painted: a few are plenty.
    std::vector<QImage> images_;
};
