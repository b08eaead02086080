#include "engine/output/audiooutput.h"

#include "engine/common/postedcall.h"
#include "engine/output/audioclock.h"
#include "engine/output/audioringbuffer.h"
#include "engine/output/audiosinkworker.h"

#include <algorithm>

AudioOutput::AudioOutput(const AudioOutputOptions &options) : open_(opened_.get_future().share())
{
    thread_.setObjectName(QStringLiteral("audio"));
    worker_ = new AudioSinkWorker;
    worker_->moveToThread(&thread_);
    thread_.start(QThread::HighPriority);
    runOnAudioThread([this, options] { open(options); }, Qt::QueuedConnection);
}

// The shutdown is queued behind the opening, so it never meets half an
// output.
AudioOutput::~AudioOutput()
{
    runOnAudioThread(
        [this] {
            ring_->close();
            worker_->shutdown();
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete worker_;
}

void AudioOutput::open(const AudioOutputOptions &options)
{
    const auto sink = options.sink == AudioOutputOptions::Sink::Silent
                          ? AudioSinkWorker::Sink::Silent
                          : AudioSinkWorker::Sink::Default;
    format_ = worker_->prepare(sink);
    const int64_t queueBytes = format_.bytesPerSecond() * options.queueLength.count() / 1000;
    ring_ = std::make_unique<AudioRingBuffer>(format_, qsizetype(queueBytes));
    clock_ = std::make_unique<AudioClock>(*ring_);
    worker_->start(ring_.get(), clock_.get());
    isOpen_.store(true);
    opened_.set_value();
}

bool AudioOutput::waitUntilOpen(std::chrono::milliseconds patience) const
{
    return isOpen_.load() || open_.wait_for(patience) == std::future_status::ready;
}

void AudioOutput::awaitOpen() const
{
    if (!isOpen_.load())
        open_.wait();
}

template <typename Call> void AudioOutput::runOnAudioThread(Call call, Qt::ConnectionType type)
{
    // A blocking call from the audio thread itself would wait for itself.
    if (QThread::currentThread() == &thread_)
        call();
    else if (type == Qt::BlockingQueuedConnection)
        PostedCall::postAndWait(worker_, std::move(call));
    else
        PostedCall::post(worker_, std::move(call));
}

const PcmFormat &AudioOutput::format() const
{
    awaitOpen();
    return format_;
}

bool AudioOutput::isSilent() const
{
    awaitOpen();
    return worker_->isSilent();
}

AudioOutput::PushResult AudioOutput::push(const PcmBlock &block, std::chrono::milliseconds timeout)
{
    awaitOpen();
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
    // Held sound is looked at with every push: it may be due now.
    if (ring_->takeStarved() || ring_->held())
        runOnAudioThread([this] { worker_->wake(); }, Qt::QueuedConnection);
    return PushResult::Accepted;
}

void AudioOutput::setRoomListener(std::function<void()> listener)
{
    awaitOpen();
    ring_->setRoomListener(std::move(listener));
}

void AudioOutput::flush()
{
    awaitOpen();
    ring_->clear();
    clock_->invalidate();
    runOnAudioThread([this] { worker_->discard(); }, Qt::BlockingQueuedConnection);
}

void AudioOutput::holdForPictures(uint64_t id)
{
    awaitOpen();
    ring_->hold(id);
    runOnAudioThread([this, id] { worker_->awaitPictures(id); }, Qt::QueuedConnection);
}

void AudioOutput::startWithPictures(uint64_t id, PictureClock pictures)
{
    awaitOpen();
    runOnAudioThread(
        [this, id, pictures = std::move(pictures)]() mutable {
            worker_->startWithPictures(id, std::move(pictures));
        },
        Qt::QueuedConnection);
}

void AudioOutput::pause()
{
    awaitOpen();
    clock_->pause();
    runOnAudioThread([this] { worker_->suspend(); }, Qt::QueuedConnection);
}

void AudioOutput::resume()
{
    awaitOpen();
    runOnAudioThread([this] { worker_->resume(); }, Qt::QueuedConnection);
    clock_->resume();
}

bool AudioOutput::isPaused() const
{
    awaitOpen();
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
    awaitOpen();
    return clock_->now90k();
}

std::chrono::microseconds AudioOutput::queuedDuration() const
{
    awaitOpen();
    const int64_t written = ring_->writePosition();
    const int64_t played = clock_->playedPosition().value_or(ring_->readPosition());
    const int64_t bytes = std::max<int64_t>(0, written - played);
    return std::chrono::microseconds(bytes * 1'000'000 / format_.bytesPerSecond());
}

bool AudioOutput::isDrained() const
{
    awaitOpen();
    const std::optional<int64_t> played = clock_->playedPosition();
    return ring_->queuedBytes() == 0 && (!played || *played >= ring_->writePosition());
}
