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
#include <memory>

// The audio thread's side of the audio output: owns the backend, feeds it,
// reports its position to the clock, and falls back to the silent backend
// when the device fails or stops consuming. Every member except isSilent()
// runs on the audio thread.
class AudioSinkWorker : public QObject
{
    Q_OBJECT
public:
    enum class Sink { Default, Silent };

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

    bool isSilent() const { return silent_.load(); }

protected:
    bool event(QEvent *event) override;

private:
    void tick();
    void report();
    void watchForStall(int64_t played);
    void fallBackToSilence(const char *reason);

    AudioRingBuffer *ring_ = nullptr;
    AudioClock *clock_ = nullptr;
    std::unique_ptr<AudioBackend> backend_;
    QTimer timer_;
    QAudioDevice device_;
    QAudioFormat deviceFormat_;
    std::atomic<bool> silent_{true};
    bool suspended_ = false;
    float volume_ = 1.0f;
    // The position last seen moving, to notice a device that has hung.
    int64_t lastPlayed_ = -1;
    std::chrono::steady_clock::time_point lastProgress_{};
};
