#include "engine/output/deviceaudiobackend.h"

#include <QAudioSink>

#include <algorithm>
#include <chrono>

namespace
{

// Long enough to ride out a busy moment, short enough that pause, mute and
// flush are heard at once.
constexpr int kDeviceBufferMilliseconds = 100;

bool isPlaying(QAudio::State state)
{
    return state == QAudio::ActiveState || state == QAudio::IdleState;
}

} // namespace

std::optional<QAudioFormat> DeviceAudioBackend::chooseFormat(const QAudioDevice &device)
{
    QAudioFormat wanted;
    wanted.setSampleRate(48000);
    wanted.setChannelCount(2);
    wanted.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(wanted))
        return wanted;
    QAudioFormat preferred = device.preferredFormat();
    if (preferred.channelCount() > 2 || preferred.channelCount() <= 0)
        preferred.setChannelCount(2);
    if (preferred.sampleFormat() == QAudioFormat::UInt8 ||
        preferred.sampleFormat() == QAudioFormat::Unknown)
        preferred.setSampleFormat(QAudioFormat::Int16);
    if (preferred.sampleRate() <= 0)
        preferred.setSampleRate(48000);
    if (device.isFormatSupported(preferred))
        return preferred;
    return std::nullopt;
}

PcmFormat DeviceAudioBackend::toPcmFormat(const QAudioFormat &format)
{
    PcmFormat pcm;
    pcm.sampleRate = format.sampleRate();
    pcm.channels = format.channelCount();
    switch (format.sampleFormat()) {
    case QAudioFormat::Int32:
        pcm.sampleType = PcmSampleType::Int32;
        break;
    case QAudioFormat::Float:
        pcm.sampleType = PcmSampleType::Float;
        break;
    default:
        pcm.sampleType = PcmSampleType::Int16;
        break;
    }
    return pcm;
}

std::unique_ptr<DeviceAudioBackend> DeviceAudioBackend::start(AudioRingBuffer &ring,
                                                              const QAudioDevice &device,
                                                              const QAudioFormat &format)
{
    std::unique_ptr<DeviceAudioBackend> backend(new DeviceAudioBackend(ring, device, format));
    if (!backend->begin())
        return nullptr;
    return backend;
}

DeviceAudioBackend::DeviceAudioBackend(AudioRingBuffer &ring, const QAudioDevice &device,
                                       const QAudioFormat &format)
    : ringDevice_(ring), sink_(std::make_unique<QAudioSink>(device, format))
{
    sink_->setBufferSize(format.bytesForDuration(kDeviceBufferMilliseconds * 1000));
    // Unbuffered: every byte the sink has read is a byte the clock counts as
    // handed to the device.
    ringDevice_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

DeviceAudioBackend::~DeviceAudioBackend()
{
    sink_->stop();
}

bool DeviceAudioBackend::begin()
{
    // Without a sound server start() fails at once and says so only through
    // error() and state(): no signal comes.
    sink_->start(&ringDevice_);
    return sink_->error() == QAudio::NoError && sink_->state() != QAudio::StoppedState;
}

void DeviceAudioBackend::wake()
{
    ringDevice_.announceData();
}

void DeviceAudioBackend::suspend()
{
    sink_->suspend();
}

void DeviceAudioBackend::resume()
{
    sink_->resume();
}

void DeviceAudioBackend::discard()
{
    // QAudioSink can drop its buffer only by closing the stream, and a new
    // stream may wait for the sound server's next period (up to seconds on
    // an idle server). The little the device holds plays out instead; the
    // clock knows those bytes are not part of the new timeline.
}

void DeviceAudioBackend::setVolume(float volume)
{
    sink_->setVolume(volume);
}

std::optional<int64_t> DeviceAudioBackend::pendingBytes() const
{
    if (!isPlaying(sink_->state()))
        return std::nullopt;
    // What the sink says was heard counts the sound server's own latency
    // (tens of milliseconds), which the free room in its buffer does not.
    int64_t heard = sink_->format().bytesForDuration(sink_->processedUSecs());
    // Its count runs on with the clock while the server waits to start again
    // after running dry: nothing is heard before it was handed over.
    const AudioRingDevice::Resumption &resumed = ringDevice_.lastResumption();
    const auto since = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - resumed.when);
    heard = std::min(heard, resumed.at + sink_->format().bytesForDuration(since.count()));
    return std::max<int64_t>(0, ringDevice_.bytesTaken() - heard);
}

bool DeviceAudioBackend::isRunning() const
{
    return isPlaying(sink_->state());
}

bool DeviceAudioBackend::hasFailed() const
{
    return sink_->state() == QAudio::StoppedState && sink_->error() != QAudio::NoError;
}
