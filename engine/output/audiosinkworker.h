#pragma once

#include "engine/output/audiobackend.h"
#include "engine/output/audioclock.h"
#include "engine/output/audioringbuffer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// The audio thread's side of the audio output: owns the backend, feeds it,
// reports its position to the clock, and falls back to the silent backend
// when the device fails or stops consuming. Every member except isSilent()
// runs on the audio thread.
class AudioSinkWorker : public QObject
{
    Q_OBJECT
public:
    enum class Sink { Default, Silent };
    // The PTS of the picture on screen now; nothing when the pictures do not
    // keep time (none shown yet, a still).
    using PictureClock = std::function<std::optional<int64_t>()>;

    explicit AudioSinkWorker(QObject *parent = nullptr);
    ~AudioSinkWorker() override;

    // Picks the device and the PCM format it will play.
    PcmFormat prepare(Sink sink);
    // Starts playing from ring; the ring and clock outlive the worker.
    void start(AudioRingBuffer *ring, AudioClock *clock);
    void shutdown();

    void wake();
    void suspend();
    void resume();
    void discard();
    void setVolume(float volume);
    // The ring is held for id (a new start): the sound waits for the first
    // picture, though not for long.
    void awaitPictures(uint64_t id);
    // The first picture of hold id is on screen: the sound starts where the
    // pictures stand, as soon as it is there and due.
    void startWithPictures(uint64_t id, PictureClock pictures);

    bool isSilent() const { return silent_.load(); }

protected:
    bool event(QEvent *event) override;

private:
    void tick();
    void report();
    void watchForStall(int64_t played);
    void fallBackToSilence(const char *reason);
    void startHeldSound();
    void checkHoldIn(std::chrono::steady_clock::duration wait);
    void forgetHold();

    AudioRingBuffer *ring_ = nullptr;
    AudioClock *clock_ = nullptr;
    std::unique_ptr<AudioBackend> backend_;
    QTimer timer_;
    // The held sound's next look: when it is due, or when patience ends.
    QTimer holdTimer_;
    std::optional<uint64_t> holdId_;
    PictureClock pictures_;
    std::chrono::steady_clock::time_point holdPatience_{};
    QAudioDevice device_;
    QAudioFormat deviceFormat_;
    std::atomic<bool> silent_{true};
    bool suspended_ = false;
    float volume_ = 1.0f;
    // The position last seen moving, to notice a device that has hung.
    int64_t lastPlayed_ = -1;
    std::chrono::steady_clock::time_point lastProgress_{};
};
