#pragma once

#include "engine/output/audiobackend.h"
#include "engine/output/audioringbuffer.h"

#include <chrono>
#include <vector>

// The output when there is no sound device (CI, servers, a broken sound
// server): it takes PCM from the ring exactly as fast as a device would play
// it by the wall clock and throws it away, so queues drain and the audio
// clock keeps real time.
class SilentAudioBackend : public AudioBackend
{
public:
    using SteadyClock = std::chrono::steady_clock;

    explicit SilentAudioBackend(AudioRingBuffer &ring);

    void service() override;
    void wake() override { service(); }
    void suspend() override;
    void resume() override;
    void discard() override;
    void setVolume(float) override {}

    std::optional<int64_t> pendingBytes() const override;
    bool isRunning() const override { return !suspended_; }
    bool hasFailed() const override { return false; }

private:
    int64_t playedAt(SteadyClock::time_point now) const;

    AudioRingBuffer &ring_;
    std::vector<char> scratch_;
    // Bytes "in the device": taken but not yet played.
    int64_t target_ = 0;
    int64_t taken_ = 0;
    // Playback runs at the byte rate from this anchor.
    int64_t anchorPlayed_ = 0;
    SteadyClock::time_point anchorAt_ = SteadyClock::now();
    bool suspended_ = false;
};
