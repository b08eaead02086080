#pragma once

#include <QImage>
#include <QSize>

#include <vector>

struct AVFrame;
struct SwsContext;

// Decoded YUV pictures to RGB32 at the size of the subpicture plane (720 x
// 576 or 720 x 480: MPEG-1 and reduced-size pictures are scaled up to it).
// Interlaced pictures come here already made whole by the Deinterlacer.
// Images it made before are written again once nobody else holds them.
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
    QImage freeImage(QSize plane);
    void keepForReuse(const QImage &image);

    SwsContext *scaler_ = nullptr;
    // On screen, about to be, and one being painted: a few are plenty.
    std::vector<QImage> images_;
};
