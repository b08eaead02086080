#include "core/dvdcontrol/audioclock.h"

#include <algorithm>

AudioClock::AudioClock(const AudioRingBuffer &ring) : ring_(ring) {}

void AudioClock::publish(int64_t playedPosition, int64_t handedPosition, bool running,
                         SteadyClock::time_point at)
{
    std::lock_guard lock(mutex_);
    // While paused the device may still report a few late samples; the time
    // shown stays where the pause froze it.
    if (paused_)
        return;
    report_ = Report{true, running, playedPosition, std::max(playedPosition, handedPosition), at};
}

void AudioClock::invalidate()
{
    std::lock_guard lock(mutex_);
    report_.valid = false;
    floor_.reset();
}

void AudioClock::pause()
{
    std::lock_guard lock(mutex_);
    if (paused_)
        return;
    const auto now = SteadyClock::now();
    if (report_.valid)
        report_.played = estimateLocked(now);
    report_.at = now;
    paused_ = true;
}

void AudioClock::resume()
{
    std::lock_guard lock(mutex_);
    if (!paused_)
        return;
    paused_ = false;
    report_.at = SteadyClock::now();
}

bool AudioClock::isPaused() const
{
    std::lock_guard lock(mutex_);
    return paused_;
}

int64_t AudioClock::estimateLocked(SteadyClock::time_point now) const
{
    if (!report_.running || paused_ || now <= report_.at)
        return report_.played;
    const PcmFormat &format = ring_.format();
    // Nothing plays on for long past its report; the bound keeps the product small.
    const auto elapsed =
        std::min<std::chrono::nanoseconds>(now - report_.at, std::chrono::seconds(60));
    const int64_t frames = elapsed.count() * format.sampleRate / 1'000'000'000;
    return std::min(report_.handed, report_.played + frames * format.bytesPerFrame());
}

std::optional<int64_t> AudioClock::playedPosition() const
{
    std::lock_guard lock(mutex_);
    if (!report_.valid)
        return std::nullopt;
    return estimateLocked(SteadyClock::now());
}

std::optional<int64_t> AudioClock::now90k() const
{
    std::lock_guard lock(mutex_);
    if (!report_.valid)
        return std::nullopt;
    const int64_t played = estimateLocked(SteadyClock::now());
    if (played >= ring_.writePosition())
        return std::nullopt;
    std::optional<AudioRingBuffer::Timestamp> stamp = ring_.timestampAt(played);
    if (!stamp)
        return std::nullopt;
    if (floor_ && floor_->epoch == stamp->epoch && stamp->pts90k < floor_->pts90k)
        stamp->pts90k = floor_->pts90k;
    floor_ = stamp;
    return stamp->pts90k;
}
