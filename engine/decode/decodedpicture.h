#pragma once

#include <cstdint>
#include <memory>

struct AVFrame;

// A decoded picture as the decoder left it: planar YUV, a reference to the
// decoder's own buffer (or the deinterlacer's), a third of the size of RGB.
// Pictures wait in this form until they are shown.
struct DecodedPicture {
    std::shared_ptr<const AVFrame> frame;
    int64_t pts = -1; // timeline, 90 kHz
    int64_t duration90k = 3600;
};
