#include "engine/output/audioclock.h"

#include <algorithm>

namespace
{

// How far the estimate may run ahead of a report that has just changed.
constexpr int64_t kFreshToleranceMs = 10;
// How far the estimate may run ahead of the last report at all: a device
// that stops reporting progress has stopped playing.
constexpr int64_t kStaleLimitMs = 100;

} // namespace

AudioClock::AudioClock(const AudioRingBuffer &ring) : ring_(ring) {}

void AudioClock::publish(int64_t playedPosition, int64_t handedPosition, bool running,
                         SteadyClock::time_point at)
{
    std::lock_guard lock(mutex_);
    // While paused the device may still report a few late samples; the time
    // shown stays where the pause froze it.
    if (paused_)
        return;
    // A device learns what has been played in steps (a server period, 20 ms
    // or more), so a report is exact only when it has just changed. Between
    // changes the estimate runs on at the byte rate; it follows a report that
    // is ahead of it, or a fresh one it is ahead of by more than a little.
    const bool fresh = !report_.valid || playedPosition != report_.reported;
    const int64_t estimate = estimateLocked(at);
    const bool follow = !report_.valid || !report_.running || !running ||
                        playedPosition > estimate ||
                        (fresh && estimate - playedPosition > bytesFor(kFreshToleranceMs));
    if (follow) {
        report_.played = playedPosition;
        report_.at = at;
    }
    report_.valid = true;
    report_.running = running;
    report_.reported = playedPosition;
    report_.handed = std::max(playedPosition, handedPosition);
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
    // The device carries on from where the pause froze the time.
    report_.at = SteadyClock::now();
    report_.reported = std::max(report_.reported, report_.played);
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
    const int64_t limit = std::min(report_.handed, report_.reported + bytesFor(kStaleLimitMs));
    return std::max(report_.played,
                    std::min(limit, report_.played + frames * format.bytesPerFrame()));
}

int64_t AudioClock::bytesFor(int64_t milliseconds) const
{
    const PcmFormat &format = ring_.format();
    return format.sampleRate * milliseconds / 1000 * format.bytesPerFrame();
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
    // Held sound is not heard: until it starts, the pictures keep the time.
    if (!report_.valid || ring_.held())
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
