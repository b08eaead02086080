#pragma once

#include <cstdint>
#include <optional>

// What is heard now: the PTS (90 kHz, the stream's timeline) of the sample
// leaving the speakers, or nothing when no sound is playing and the wall
// clock has to lead. The audio output answers it; the playback clock follows
// it and the taps report it. Cheap and callable from any thread.
class SoundClock
{
public:
    virtual ~SoundClock() = default;
    virtual std::optional<int64_t> audioClock90k() const = 0;
};
