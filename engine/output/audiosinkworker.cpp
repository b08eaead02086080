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
// How long the sound of a new start waits for its first picture: a segment
// without pictures must not stay silent.
constexpr auto kHoldPatience = std::chrono::seconds(1);
// Held sound this much later than the picture on screen starts at its time,
// not at once.
constexpr int64_t kLateSoundTolerance90k = 2 * 90;

} // namespace

AudioSinkWorker::AudioSinkWorker(QObject *parent) : QObject(parent), timer_(this), holdTimer_(this)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AudioSinkWorker::tick);
    holdTimer_.setTimerType(Qt::PreciseTimer);
    holdTimer_.setSingleShot(true);
    connect(&holdTimer_, &QTimer::timeout, this, &AudioSinkWorker::startHeldSound);
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
    forgetHold();
    backend_.reset();
}

// Sound after a dry spell: the clock hears of it now, not at the next tick.
void AudioSinkWorker::wake()
{
    if (!backend_)
        return;
    if (holdId_) {
        startHeldSound();
        return;
    }
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
    if (holdId_) {
        // The pause stopped the pictures too: the held sound waits on.
        holdPatience_ = std::chrono::steady_clock::now() + kHoldPatience;
        startHeldSound();
    }
    report();
    if (backend_ && !timer_.isActive())
        timer_.start();
}

void AudioSinkWorker::discard()
{
    forgetHold();
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

void AudioSinkWorker::awaitPictures(uint64_t id)
{
    forgetHold();
    holdId_ = id;
    holdPatience_ = std::chrono::steady_clock::now() + kHoldPatience;
    checkHoldIn(kHoldPatience);
}

void AudioSinkWorker::startWithPictures(uint64_t id, PictureClock pictures)
{
    if (holdId_ != id)
        return;
    pictures_ = std::move(pictures);
    startHeldSound();
}

// The held sound starts once the first picture is on screen and the sound
// has come, without what lies before the picture on screen, or at its own
// time if that is later; or when patience ends, however things stand.
void AudioSinkWorker::startHeldSound()
{
    if (!holdId_ || !ring_ || suspended_)
        return;
    const auto now = std::chrono::steady_clock::now();
    const bool patient = now < holdPatience_;
    const std::optional<int64_t> shown = pictures_ ? pictures_() : std::nullopt;
    const std::optional<int64_t> first = ring_->firstQueuedPts();
    if (patient && (!shown || !first)) {
        checkHoldIn(holdPatience_ - now);
        return;
    }
    if (patient && *first - *shown > kLateSoundTolerance90k) {
        checkHoldIn(std::min<std::chrono::steady_clock::duration>(
            holdPatience_ - now, std::chrono::microseconds((*first - *shown) * 100 / 9)));
        return;
    }
    ring_->release(*holdId_, shown);
    forgetHold();
    if (!backend_)
        return;
    backend_->wake();
    report();
    if (!timer_.isActive())
        timer_.start();
}

void AudioSinkWorker::checkHoldIn(std::chrono::steady_clock::duration wait)
{
    holdTimer_.start(int(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
}

void AudioSinkWorker::forgetHold()
{
    holdTimer_.stop();
    holdId_.reset();
    pictures_ = {};
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
    // A pause freezes the clock before it reaches the device, which may play
    // on a little: the marks the frozen time stands on are kept.
    ring_->forgetMarksBefore(std::min(played, clock_->playedPosition().value_or(played)));
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
