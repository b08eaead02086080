#pragma once

#include "engine/common/audiopcm.h"
#include "engine/decode/audiodecoder.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <optional>
#include <vector>

// Short audio streams made by ffmpeg at test time, in a directory of their
// own that goes away with the object.
class TestMedia
{
public:
    // Runs ffmpeg with arguments (inputs, filters, codec, container) and the
    // output file name appended; returns the file, empty when ffmpeg failed.
    QByteArray make(const QString &fileName, const QStringList &arguments);
    // A 48 kHz-family sine tone: "sine=f=<frequency>:r=<rate>:d=<seconds>".
    static QStringList tone(int frequency, int sampleRate, double seconds);

private:
    QTemporaryDir dir_;
};

// One PES packet of a program stream. For private stream 1, subStreamId is
// the first payload byte (still part of payload).
struct PesPacket {
    uint8_t streamId = 0;
    uint8_t subStreamId = 0;
    QByteArray payload;
    std::optional<int64_t> pts90k;
    // Private-stream-1 audio cut for AudioDecoder: where the frame the PTS
    // belongs to starts in payload, from the first access unit pointer.
    size_t unitStart = 0;
};

// The PES packets of an MPEG-2 program stream, in order; packs, system
// headers, padding and navigation packets are skipped.
std::vector<PesPacket> readProgramStream(const QByteArray &stream);
// The packets of one audio stream, each cut down to what AudioDecoder takes.
std::vector<PesPacket> audioPackets(const std::vector<PesPacket> &packets, AudioCoding coding,
                                    int physicalStream = 0);
// Decodes the packets one by one and drains the decoder at the end.
std::vector<PcmBlock> decodeAll(AudioDecoder &decoder, const std::vector<PesPacket> &packets);
// Decodes a raw elementary stream in pieces of chunkSize, without PTS.
std::vector<PcmBlock> decodeInChunks(AudioDecoder &decoder, const QByteArray &stream,
                                     int chunkSize);

// One channel of interleaved blocks as floats in [-1, 1].
std::vector<float> channelOf(const std::vector<PcmBlock> &blocks, const PcmFormat &format,
                             int channel);
int64_t frameCount(const std::vector<PcmBlock> &blocks, const PcmFormat &format);
// Amplitude of the frequency in the samples (Goertzel), 1.0 for a full-scale sine.
double toneAmplitude(const std::vector<float> &samples, int sampleRate, double frequency);
// Which of 440 Hz and 660 Hz is louder; 0 when neither is clearly there.
int dominantTone(const std::vector<float> &samples, int sampleRate);
// Frequency from the rate of upward zero crossings.
double measuredFrequency(const std::vector<float> &samples, int sampleRate);
// A stretch of samples, by time, clamped to what there is.
std::vector<float> slice(const std::vector<float> &samples, int sampleRate, double fromSeconds,
                         double toSeconds);
