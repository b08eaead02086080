#pragma once

#include "engine/common/soundclock.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

// The presentation clock: maps the media timeline to wall time. It is
// anchored at the first picture of every segment (and after stills), runs
// at the wall clock's rate times the scan rate, and follows a master whenever
// one answers at normal speed.
class PlaybackClock
{
public:
    using Clock = std::chrono::steady_clock;

    // The sound, whose position leads whenever it answers; it outlives the clock.
    void setMaster(const SoundClock *master);
    void anchor(int64_t pts);
    void unanchor();
    bool anchored() const;

    int64_t now() const;
    // The wall time at which the clock reaches pts.
    Clock::time_point when(int64_t pts) const;

    void pause();
    void resume();
    bool paused() const;

    // Media seconds per wall second (2 or 4 while scanning forward); the
    // position reached so far is kept.
    void setRate(int rate);

private:
    int64_t wallNowLocked(Clock::time_point at) const;
    void followMasterLocked() const;

    mutable std::mutex mutex_;
    const SoundClock *master_ = nullptr;
    bool anchored_ = false;
    mutable int64_t anchorPts_ = 0;
    mutable Clock::time_point anchorWall_{};
    bool paused_ = false;
    Clock::time_point pausedAt_{};
    int rate_ = 1;
};
