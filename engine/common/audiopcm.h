#pragma once

#include <QByteArray>

#include <cstdint>

// Sample encodings the output device may ask for; always interleaved.
enum class PcmSampleType { Int16, Int32, Float };

// The PCM layout shared by the audio decoder (what it produces) and the audio
// output (what the device plays).
struct PcmFormat {
    int sampleRate = 48000;
    int channels = 2;
    PcmSampleType sampleType = PcmSampleType::Int16;

    int bytesPerSample() const { return sampleType == PcmSampleType::Int16 ? 2 : 4; }
    int bytesPerFrame() const { return bytesPerSample() * channels; }
    int64_t bytesPerSecond() const { return int64_t(bytesPerFrame()) * sampleRate; }
    bool isValid() const { return sampleRate > 0 && channels > 0; }
    bool operator==(const PcmFormat &) const = default;
};

// A run of decoded, interleaved samples in one PcmFormat. pts90k is the
// presentation time of its first sample on the 90 kHz clock of the stream.
struct PcmBlock {
    QByteArray data;
    int64_t pts90k = 0;

    int frames(const PcmFormat &format) const { return int(data.size() / format.bytesPerFrame()); }
};

// Length in 90 kHz ticks of a number of sample frames.
inline int64_t framesToTicks90k(int64_t frames, int sampleRate)
{
    return sampleRate > 0 ? frames * 90000 / sampleRate : 0;
}
