#pragma once

#include <cstdint>
#include <optional>

// What the playback clock asks of the sound: the PTS (90 kHz, the stream's
// timeline) of the sample being heard now, or nothing when no sound is
// playing and the wall clock has to lead. Cheap and callable from any thread.
class AudioClockSource
{
public:
    virtual ~AudioClockSource() = default;
    virtual std::optional<int64_t> audioClock90k() const = 0;
};
