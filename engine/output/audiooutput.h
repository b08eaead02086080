#pragma once

#include "engine/common/audiopcm.h"
#include "engine/common/soundclock.h"

#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>

class AudioClock;
class AudioRingBuffer;
class AudioSinkWorker;

struct AudioOutputOptions {
    enum class Sink {
        Default, // the desktop's default output; silent when there is none
        Silent,  // never open a device (headless runs, benchmarks)
    };
    Sink sink = Sink::Default;
    // How much decoded sound may wait for the device.
    std::chrono::milliseconds queueLength{500};
};

// Plays decoded PCM on the default sound device through QAudioSink, pulling
// from a ring buffer on an audio thread of its own; without a device, a silent
// backend consumes the sound at wall-clock pace instead. Also the audio clock.
//
// Threads: one thread pushes (the engine's navigation thread); any thread may
// pause, resume, flush, mute, set the volume and read the clock. The output
// must be created and destroyed on one thread while a QCoreApplication
// exists, and destroyed only once the pushing thread has stopped pushing.
// It opens the device on its audio thread, so creating it never waits for
// the sound server: every other call waits until the device is open, and
// waitUntilOpen() bounds that wait for whoever must not block.
// One output can serve the whole life of the control: flush() between
// streams, titles and discs.
class AudioOutput : public SoundClock
{
public:
    enum class PushResult {
        Accepted, // queued whole
        Full,     // no room within the timeout; push it again later
        Rejected, // not whole frames of format(), or longer than the queue
        Closed,   // shutting down
    };

    explicit AudioOutput(const AudioOutputOptions &options = {});
    ~AudioOutput() override;
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    // Whether the device has been opened (or given up for silence) by then.
    bool waitUntilOpen(std::chrono::milliseconds patience) const;

    // What push() takes; give it to the AudioDecoder.
    const PcmFormat &format() const;
    // True when sound goes nowhere (no device, or the device failed). The
    // clock then runs by the wall clock at the pace the sound is consumed.
    bool isSilent() const;

    // Queues a block, waiting up to timeout for room. The block's PTS is that
    // of its first sample; blocks need not be contiguous. Nothing drains while
    // paused, so a pusher that must stay responsive uses short timeouts.
    PushResult push(const PcmBlock &block, std::chrono::milliseconds timeout = {});
    // Called from the audio thread once a push found the queue full and
    // there is room again; empty: nobody is told.
    void setRoomListener(std::function<void()> listener);
    // Drops everything queued or in the device (channel hop, stream switch);
    // the clock gives nothing until new sound is pushed and reaches the
    // speaker.
    void flush();

    // A new start, after flush(): the sound pushed next is not heard (and the
    // clock gives nothing) until startWithPictures(id) says the first picture
    // is on screen, or a second has passed.
    void holdForPictures(uint64_t id);
    // The PTS of the picture on screen now; nothing when unknown.
    using PictureClock = std::function<std::optional<int64_t>()>;
    // The sound held for id starts in step with the pictures: what lies
    // before the picture on screen is dropped, what lies after it waits.
    void startWithPictures(uint64_t id, PictureClock pictures);

    // Freezes sound and clock together; resume() carries on where it was.
    void pause();
    void resume();
    bool isPaused() const;
    // Silence without stopping the flow (scans); the clock keeps running.
    void setMuted(bool muted);
    bool isMuted() const { return muted_.load(); }
    // Linear, 0 to 1.
    void setVolume(float volume);
    float volume() const { return volume_.load(); }

    // PTS of the sample being heard now; nothing when no sound plays (nothing
    // pushed since a flush, or everything pushed has been played).
    std::optional<int64_t> audioClock90k() const override;
    // Sound pushed but not heard yet.
    std::chrono::microseconds queuedDuration() const;
    // Everything pushed has been heard (for a WAIT or a still).
    bool isDrained() const;

private:
    void open(const AudioOutputOptions &options);
    void awaitOpen() const;
    void applyVolume();
    template <typename Call> void runOnAudioThread(Call call, Qt::ConnectionType type);

    QThread thread_;
    AudioSinkWorker *worker_ = nullptr;
    PcmFormat format_;
    std::unique_ptr<AudioRingBuffer> ring_;
    std::unique_ptr<AudioClock> clock_;
    // Set once on the audio thread when format_, ring_ and clock_ are there.
    std::promise<void> opened_;
    std::shared_future<void> open_;
    std::atomic<bool> isOpen_{false};
    std::atomic<bool> muted_{false};
    std::atomic<float> volume_{1.0f};
};
