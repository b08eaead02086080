#include "engine/output/audiosinkworker.h"

#include "base/logging.h"
#include "engine/common/postedcall.h"
#include "engine/output/deviceaudiobackend.h"
#include "engine/output/silentaudiobackend.h"

#include <QMediaDevices>

namespace
{

// How often the clock hears from the device (it extrapolates in between), and
// how often the silent backend consumes: well within their buffers. With
// nothing queued and nothing left in the device the timer stops; a push wakes
// it.
constexpr int kDeviceTickMilliseconds = 30;
constexpr int kSilentTickMilliseconds = 40;
// A device that holds queued data this long without playing any has hung.
constexpr auto kStallLimit = std::chrono::seconds(3);

} // namespace

AudioSinkWorker::AudioSinkWorker(QObject *parent) : QObject(parent), timer_(this)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AudioSinkWorker::tick);
}

AudioSinkWorker::~AudioSinkWorker() = default;

bool AudioSinkWorker::event(QEvent *event)
{
    return PostedCall::deliver(event) || QObject::event(event);
}

PcmFormat AudioSinkWorker::prepare(Sink sink)
{
    device_ = {};
    if (sink == Sink::Default) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        const std::optional<QAudioFormat> format =
            device.isNull() ? std::nullopt : DeviceAudioBackend::chooseFormat(device);
        if (format) {
            device_ = device;
            deviceFormat_ = *format;
            return DeviceAudioBackend::toPcmFormat(*format);
        }
        qCInfo(logEngine) << "No usable audio output device; sound plays silently.";
    }
    return PcmFormat{};
}

void AudioSinkWorker::start(AudioRingBuffer *ring, AudioClock *clock)
{
    ring_ = ring;
    clock_ = clock;
    if (!device_.isNull())
        backend_ = DeviceAudioBackend::start(*ring_, device_, deviceFormat_);
    if (backend_) {
        silent_ = false;
    } else {
        if (!device_.isNull())
            qCWarning(logEngine) << "The audio device" << device_.description()
                                 << "does not open; sound plays silently.";
        backend_ = std::make_unique<SilentAudioBackend>(*ring_);
        silent_ = true;
    }
    backend_->setVolume(volume_);
    timer_.start(silent_ ? kSilentTickMilliseconds : kDeviceTickMilliseconds);
}

void AudioSinkWorker::shutdown()
{
    timer_.stop();
    backend_.reset();
}

// Sound after a dry spell: the clock hears of it now, not at the next tick.
void AudioSinkWorker::wake()
{
    if (!backend_)
        return;
    backend_->wake();
    report();
    if (!timer_.isActive())
        timer_.start();
}

void AudioSinkWorker::suspend()
{
    suspended_ = true;
    if (backend_)
        backend_->suspend();
}

void AudioSinkWorker::resume()
{
    suspended_ = false;
    if (backend_)
        backend_->resume();
    report();
    if (backend_ && !timer_.isActive())
        timer_.start();
}

void AudioSinkWorker::discard()
{
    if (backend_)
        backend_->discard();
    report();
}

void AudioSinkWorker::setVolume(float volume)
{
    volume_ = volume;
    if (backend_)
        backend_->setVolume(volume);
}

void AudioSinkWorker::tick()
{
    if (!backend_)
        return;
    if (backend_->hasFailed())
        fallBackToSilence("the audio device stopped");
    backend_->service();
    report();
    if (ring_->queuedBytes() == 0 && backend_->pendingBytes().value_or(0) == 0)
        timer_.stop();
}

void AudioSinkWorker::report()
{
    if (!backend_ || !ring_)
        return;
    const std::optional<int64_t> pending = backend_->pendingBytes();
    if (!pending)
        return;
    const int64_t handed = ring_->readPosition();
    const int64_t played = handed - *pending;
    clock_->publish(played, handed, backend_->isRunning());
    ring_->forgetMarksBefore(played);
    if (!silent_)
        watchForStall(played);
}

void AudioSinkWorker::watchForStall(int64_t played)
{
    const auto now = std::chrono::steady_clock::now();
    if (played != lastPlayed_ || suspended_ || ring_->queuedBytes() == 0) {
        lastPlayed_ = played;
        lastProgress_ = now;
        return;
    }
    if (now - lastProgress_ > kStallLimit)
        fallBackToSilence("the audio device stopped playing");
}

void AudioSinkWorker::fallBackToSilence(const char *reason)
{
    qCWarning(logEngine) << "Sound plays silently from now on:" << reason;
    backend_ = std::make_unique<SilentAudioBackend>(*ring_);
    if (suspended_)
        backend_->suspend();
    silent_ = true;
    lastPlayed_ = -1;
    timer_.setInterval(kSilentTickMilliseconds);
}
