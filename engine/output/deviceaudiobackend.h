#pragma once

#include "engine/output/audiobackend.h"
#include "engine/output/audioringdevice.h"

#include <QAudioDevice>
#include <QAudioFormat>

#include <memory>
#include <optional>

class QAudioSink;

// Plays the ring through a QAudioSink in pull mode: the sink reads the ring
// itself, on the audio thread, whenever its buffer has room.
class DeviceAudioBackend : public AudioBackend
{
public:
    // The format to ask the device for: 48 kHz stereo 16-bit when it takes
    // that, else its own preference cut down to stereo; nothing when the
    // device offers no usable format.
    static std::optional<QAudioFormat> chooseFormat(const QAudioDevice &device);
    static PcmFormat toPcmFormat(const QAudioFormat &format);

    // Starts playing; nullptr when the device does not open (no sound server,
    // device gone, format refused).
    static std::unique_ptr<DeviceAudioBackend>
    start(AudioRingBuffer &ring, const QAudioDevice &device, const QAudioFormat &format);
    ~DeviceAudioBackend() override;

    void service() override {}
    void wake() override;
    void suspend() override;
    void resume() override;
    void discard() override;
    void setVolume(float volume) override;

    std::optional<int64_t> pendingBytes() const override;
    bool isRunning() const override;
    bool hasFailed() const override;

private:
    DeviceAudioBackend(AudioRingBuffer &ring, const QAudioDevice &device,
                       const QAudioFormat &format);
    bool begin();

    AudioRingDevice ringDevice_;
    std::unique_ptr<QAudioSink> sink_;
};
