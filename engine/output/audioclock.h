#pragma once

#include "engine/output/audioringbuffer.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

// Which sample of the stream the listener hears now, from what the sink
// reports and the marks in the ring buffer.
//
// The sink side publishes, every few milliseconds, the stream position of the
// sample leaving the device (bytes handed to the device minus the bytes the
// device still holds). Readers extrapolate at the byte rate, never past what
// the device was handed, so a read costs one lock and some arithmetic. The
// extrapolation is corrected by fresh reports only, so the time runs smoothly
// instead of in the device's steps. Within one stretch of continuous timeline
// the time read never goes back; while paused it stands still.
class AudioClock
{
public:
    using SteadyClock = std::chrono::steady_clock;

    explicit AudioClock(const AudioRingBuffer &ring);

    // Sink side. running: the device is consuming (not suspended or stopped).
    void publish(int64_t playedPosition, int64_t handedPosition, bool running,
                 SteadyClock::time_point at = SteadyClock::now());
    // Forgets the device position (a flush); reads give nothing until the next
    // report.
    void invalidate();

    // Stops and restarts the clock at once, ahead of the device itself.
    void pause();
    void resume();
    bool isPaused() const;

    // The PTS heard now; nothing when nothing has been reported, while the
    // ring is held, when no mark covers the position (nothing written since
    // a flush), or when everything written has been played (the output ran
    // dry).
    std::optional<int64_t> now90k() const;
    // Stream position of the sample heard now (estimated).
    std::optional<int64_t> playedPosition() const;

private:
    struct Report {
        bool valid = false;
        bool running = false;
        // The estimate runs from (played, at) at the byte rate.
        int64_t played = 0;
        SteadyClock::time_point at{};
        // What the device said last, and what it had been handed then.
        int64_t reported = 0;
        int64_t handed = 0;
    };

    int64_t estimateLocked(SteadyClock::time_point now) const;
    int64_t bytesFor(int64_t milliseconds) const;

    const AudioRingBuffer &ring_;
    mutable std::mutex mutex_;
    Report report_;
    bool paused_ = false;
    // The last time read, to keep reads monotonic within one epoch.
    mutable std::optional<AudioRingBuffer::Timestamp> floor_;
};
