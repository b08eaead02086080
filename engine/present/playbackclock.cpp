#include "engine/present/playbackclock.h"

#include <algorithm>

namespace
{
int64_t ticksBetween(PlaybackClock::Clock::time_point from, PlaybackClock::Clock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(to - from).count() * 9 / 100;
}
} // namespace

void PlaybackClock::setMaster(const SoundClock *master)
{
    std::lock_guard lock(mutex_);
    master_ = master;
}

void PlaybackClock::anchor(int64_t pts)
{
    std::lock_guard lock(mutex_);
    anchored_ = true;
    anchorPts_ = pts;
    anchorWall_ = paused_ ? pausedAt_ : Clock::now();
}

void PlaybackClock::unanchor()
{
    std::lock_guard lock(mutex_);
    anchored_ = false;
}

bool PlaybackClock::anchored() const
{
    std::lock_guard lock(mutex_);
    return anchored_;
}

int64_t PlaybackClock::wallNowLocked(Clock::time_point at) const
{
    return anchorPts_ + rate_ * ticksBetween(anchorWall_, paused_ ? pausedAt_ : at);
}

// The wall mapping is re-anchored on the master's position, so that when()
// and now() agree with what is heard.
void PlaybackClock::followMasterLocked() const
{
    if (!master_ || !anchored_ || paused_ || rate_ != 1)
        return;
    if (const std::optional<int64_t> position = master_->audioClock90k()) {
        anchorPts_ = *position;
        anchorWall_ = Clock::now();
    }
}

int64_t PlaybackClock::now() const
{
    std::lock_guard lock(mutex_);
    followMasterLocked();
    return wallNowLocked(Clock::now());
}

PlaybackClock::Clock::time_point PlaybackClock::when(int64_t pts) const
{
    std::lock_guard lock(mutex_);
    followMasterLocked();
    if (paused_)
        return Clock::time_point::max();
    return anchorWall_ + std::chrono::microseconds((pts - anchorPts_) * 100 / 9 / rate_);
}

void PlaybackClock::pause()
{
    std::lock_guard lock(mutex_);
    if (!paused_) {
        paused_ = true;
        pausedAt_ = Clock::now();
    }
}

void PlaybackClock::resume()
{
    std::lock_guard lock(mutex_);
    if (paused_) {
        paused_ = false;
        anchorWall_ += Clock::now() - pausedAt_;
    }
}

bool PlaybackClock::paused() const
{
    std::lock_guard lock(mutex_);
    return paused_;
}

void PlaybackClock::setRate(int rate)
{
    std::lock_guard lock(mutex_);
    rate = std::max(1, rate);
    if (rate == rate_)
        return;
    const Clock::time_point now = paused_ ? pausedAt_ : Clock::now();
    anchorPts_ = wallNowLocked(now);
    anchorWall_ = now;
    rate_ = rate;
}
