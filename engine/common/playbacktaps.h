#pragma once

#include "engine/common/audiopcm.h"

#include <QImage>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

// A picture at the moment it reached the screen.
struct PresentedPicture {
    QImage image;             // as composed, at the subpicture plane size (see pictureImages)
    int64_t pts = -1;         // timeline, 90 kHz
    int64_t titleTime90k = 0; // where in its program chain the picture stands
    // The PTS of the sound being heard at that moment; nothing in silence.
    std::optional<int64_t> heard90k;
    std::chrono::steady_clock::time_point at;
};

// Observers of what the engine decodes and shows, for tests and
// measurements. They are called on the engine's worker threads (sound on the
// navigation thread, pictures on the presentation thread) and must be quick.
struct PlaybackTaps {
    // Every block of decoded sound, before it is queued for the device.
    std::function<void(const PcmFormat &, const PcmBlock &)> sound;
    std::function<void(const PresentedPicture &)> picture;
    // False when the picture tap never looks at the image (it gets a null
    // one): nothing is then converted for it.
    bool pictureImages = true;
};
