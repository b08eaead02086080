#include "engine/output/audiooutput.h"

#include "engine/output/audioclock.h"
#include "engine/output/audioringbuffer.h"
#include "engine/output/audiosinkworker.h"

#include <algorithm>

AudioOutput::AudioOutput(const AudioOutputOptions &options)
{
    thread_.setObjectName(QStringLiteral("audio"));
    worker_ = new AudioSinkWorker;
    worker_->moveToThread(&thread_);
    thread_.start(QThread::HighPriority);

    const auto sink = options.sink == AudioOutputOptions::Sink::Silent
                          ? AudioSinkWorker::Sink::Silent
                          : AudioSinkWorker::Sink::Default;
    runOnAudioThread([this, sink] { format_ = worker_->prepare(sink); },
                     Qt::BlockingQueuedConnection);
    const int64_t queueBytes = format_.bytesPerSecond() * options.queueLength.count() / 1000;
    ring_ = std::make_unique<AudioRingBuffer>(format_, qsizetype(queueBytes));
    clock_ = std::make_unique<AudioClock>(*ring_);
    runOnAudioThread([this] { worker_->start(ring_.get(), clock_.get()); },
                     Qt::BlockingQueuedConnection);
}

AudioOutput::~AudioOutput()
{
    ring_->close();
    runOnAudioThread([this] { worker_->shutdown(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete worker_;
}

template <typename Call> void AudioOutput::runOnAudioThread(Call call, Qt::ConnectionType type)
{
    // A blocking call from the audio thread itself would wait for itself.
    if (QThread::currentThread() == &thread_)
        call();
    else
        QMetaObject::invokeMethod(worker_, std::move(call), type);
}

bool AudioOutput::isSilent() const
{
    return worker_->isSilent();
}

AudioOutput::PushResult AudioOutput::push(const PcmBlock &block, std::chrono::milliseconds timeout)
{
    switch (ring_->write(block.data.constData(), block.data.size(), block.pts90k, timeout)) {
    case AudioRingBuffer::WriteResult::Written:
        break;
    case AudioRingBuffer::WriteResult::Full:
        return PushResult::Full;
    case AudioRingBuffer::WriteResult::Rejected:
        return PushResult::Rejected;
    case AudioRingBuffer::WriteResult::Closed:
        return PushResult::Closed;
    }
    if (ring_->takeStarved())
        runOnAudioThread([this] { worker_->wake(); }, Qt::QueuedConnection);
    return PushResult::Accepted;
}

void AudioOutput::setRoomListener(std::function<void()> listener)
{
    ring_->setRoomListener(std::move(listener));
}

void AudioOutput::flush()
{
    ring_->clear();
    clock_->invalidate();
    runOnAudioThread([this] { worker_->discard(); }, Qt::BlockingQueuedConnection);
}

void AudioOutput::pause()
{
    clock_->pause();
    runOnAudioThread([this] { worker_->suspend(); }, Qt::QueuedConnection);
}

void AudioOutput::resume()
{
    runOnAudioThread([this] { worker_->resume(); }, Qt::QueuedConnection);
    clock_->resume();
}

bool AudioOutput::isPaused() const
{
    return clock_->isPaused();
}

void AudioOutput::setMuted(bool muted)
{
    muted_ = muted;
    applyVolume();
}

void AudioOutput::setVolume(float volume)
{
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    applyVolume();
}

void AudioOutput::applyVolume()
{
    // Read on the audio thread, so the last call wins whatever thread made it.
    runOnAudioThread([this] { worker_->setVolume(muted_ ? 0.0f : volume_.load()); },
                     Qt::QueuedConnection);
}

std::optional<int64_t> AudioOutput::audioClock90k() const
{
    return clock_->now90k();
}

std::chrono::microseconds AudioOutput::queuedDuration() const
{
    const int64_t written = ring_->writePosition();
    const int64_t played = clock_->playedPosition().value_or(ring_->readPosition());
    const int64_t bytes = std::max<int64_t>(0, written - played);
    return std::chrono::microseconds(bytes * 1'000'000 / format_.bytesPerSecond());
}

bool AudioOutput::isDrained() const
{
    const std::optional<int64_t> played = clock_->playedPosition();
    return ring_->queuedBytes() == 0 && (!played || *played >= ring_->writePosition());
}
