#include "engine/output/silentaudiobackend.h"

#include <algorithm>

namespace
{

// What a small device buffer holds; the clock is exact within it.
constexpr int kDeviceMilliseconds = 100;

} // namespace

SilentAudioBackend::SilentAudioBackend(AudioRingBuffer &ring) : ring_(ring)
{
    const PcmFormat &format = ring_.format();
    target_ = format.bytesPerSecond() * kDeviceMilliseconds / 1000 / format.bytesPerFrame() *
              format.bytesPerFrame();
    scratch_.resize(size_t(target_));
}

int64_t SilentAudioBackend::playedAt(SteadyClock::time_point now) const
{
    if (suspended_ || now <= anchorAt_)
        return std::min(anchorPlayed_, taken_);
    const PcmFormat &format = ring_.format();
    const auto elapsed =
        std::min<std::chrono::nanoseconds>(now - anchorAt_, std::chrono::seconds(60));
    const int64_t frames = elapsed.count() * format.sampleRate / 1'000'000'000;
    return std::min(taken_, anchorPlayed_ + frames * format.bytesPerFrame());
}

void SilentAudioBackend::service()
{
    if (suspended_)
        return;
    const auto now = SteadyClock::now();
    const int64_t played = playedAt(now);
    // Ran dry: the next data starts playing when it is taken, not in the past.
    if (played >= taken_) {
        anchorPlayed_ = taken_;
        anchorAt_ = now;
    }
    const int64_t room = target_ - (taken_ - played);
    if (room > 0)
        taken_ += ring_.read(scratch_.data(), room);
}

void SilentAudioBackend::suspend()
{
    if (suspended_)
        return;
    anchorPlayed_ = playedAt(SteadyClock::now());
    suspended_ = true;
}

void SilentAudioBackend::resume()
{
    if (!suspended_)
        return;
    anchorAt_ = SteadyClock::now();
    suspended_ = false;
}

void SilentAudioBackend::discard()
{
    anchorPlayed_ = taken_;
    anchorAt_ = SteadyClock::now();
}

std::optional<int64_t> SilentAudioBackend::pendingBytes() const
{
    return taken_ - playedAt(SteadyClock::now());
}
