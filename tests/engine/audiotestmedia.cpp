#include "audiotestmedia.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <numbers>

QByteArray TestMedia::make(const QString &fileName, const QStringList &arguments)
{
    const QString path = dir_.filePath(fileName);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{"-v", "quiet", "-nostdin", "-y"} + arguments + QStringList{path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0)
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList TestMedia::tone(int frequency, int sampleRate, double seconds)
{
    return {"-f", "lavfi", "-i",
            QStringLiteral("sine=f=%1:r=%2:d=%3").arg(frequency).arg(sampleRate).arg(seconds)};
}

namespace
{

int64_t readPts(const uint8_t *p)
{
    return (int64_t(p[0] >> 1) & 7) << 30 | int64_t(p[1]) << 22 | int64_t(p[2] >> 1) << 15 |
           int64_t(p[3]) << 7 | int64_t(p[4] >> 1);
}

bool isPes(uint8_t id)
{
    return id == 0xBD || (id >= 0xC0 && id <= 0xEF);
}

} // namespace

std::vector<PesPacket> readProgramStream(const QByteArray &stream)
{
    std::vector<PesPacket> packets;
    const auto *data = reinterpret_cast<const uint8_t *>(stream.constData());
    const qsizetype size = stream.size();
    qsizetype at = 0;
    while (at + 6 <= size) {
        if (data[at] != 0 || data[at + 1] != 0 || data[at + 2] != 1) {
            ++at;
            continue;
        }
        const uint8_t id = data[at + 3];
        if (id == 0xBA) {
            at += at + 14 <= size ? 14 + (data[at + 13] & 7) : 4;
            continue;
        }
        if (id == 0xB9) {
            at += 4;
            continue;
        }
        const qsizetype length = data[at + 4] << 8 | data[at + 5];
        const qsizetype end = std::min(size, at + 6 + length);
        if (isPes(id) && at + 9 <= end) {
            const qsizetype payloadStart = at + 9 + data[at + 8];
            PesPacket packet;
            packet.streamId = id;
            if ((data[at + 7] & 0x80) && at + 14 <= end)
                packet.pts90k = readPts(data + at + 9);
            if (payloadStart < end) {
                packet.payload = stream.mid(payloadStart, end - payloadStart);
                packet.subStreamId = data[payloadStart];
                packets.push_back(packet);
            }
        }
        at = end;
    }
    return packets;
}

std::vector<PesPacket> audioPackets(const std::vector<PesPacket> &packets, AudioCoding coding,
                                    int physicalStream)
{
    const auto [streamId, subStreamId] = audioStreamIds(coding, physicalStream);
    std::vector<PesPacket> selected;
    for (const PesPacket &packet : packets) {
        if (packet.streamId != streamId || (streamId == 0xBD && packet.subStreamId != subStreamId))
            continue;
        PesPacket cut = packet;
        if (streamId == 0xBD && packet.payload.size() >= 4) {
            const auto pointer =
                size_t(uint8_t(packet.payload[2]) << 8 | uint8_t(packet.payload[3]));
            cut.payload = packet.payload.mid(4);
            cut.unitStart =
                pointer >= 1 && pointer - 1 < size_t(cut.payload.size()) ? pointer - 1 : 0;
        }
        selected.push_back(cut);
    }
    return selected;
}

std::vector<PcmBlock> decodeAll(AudioDecoder &decoder, const std::vector<PesPacket> &packets)
{
    std::vector<PcmBlock> blocks;
    for (const PesPacket &packet : packets) {
        const auto *bytes = reinterpret_cast<const uint8_t *>(packet.payload.constData());
        decoder.decode({bytes, size_t(packet.payload.size())}, packet.pts90k, blocks,
                       packet.unitStart);
    }
    decoder.drain(blocks);
    return blocks;
}

std::vector<PcmBlock> decodeInChunks(AudioDecoder &decoder, const QByteArray &stream, int chunkSize)
{
    std::vector<PcmBlock> blocks;
    const auto *bytes = reinterpret_cast<const uint8_t *>(stream.constData());
    for (qsizetype at = 0; at < stream.size(); at += chunkSize) {
        const auto length = size_t(std::min<qsizetype>(chunkSize, stream.size() - at));
        decoder.decode({bytes + at, length}, std::nullopt, blocks);
    }
    decoder.drain(blocks);
    return blocks;
}

std::vector<float> channelOf(const std::vector<PcmBlock> &blocks, const PcmFormat &format,
                             int channel)
{
    std::vector<float> samples;
    for (const PcmBlock &block : blocks) {
        const int frames = block.frames(format);
        for (int frame = 0; frame < frames; ++frame) {
            const char *at =
                block.data.constData() +
                (qsizetype(frame) * format.channels + channel) * format.bytesPerSample();
            if (format.sampleType == PcmSampleType::Float)
                samples.push_back(*reinterpret_cast<const float *>(at));
            else if (format.sampleType == PcmSampleType::Int32)
                samples.push_back(float(*reinterpret_cast<const int32_t *>(at) / 2147483648.0));
            else
                samples.push_back(*reinterpret_cast<const int16_t *>(at) / 32768.0f);
        }
    }
    return samples;
}

int64_t frameCount(const std::vector<PcmBlock> &blocks, const PcmFormat &format)
{
    int64_t frames = 0;
    for (const PcmBlock &block : blocks)
        frames += block.frames(format);
    return frames;
}

double toneAmplitude(const std::vector<float> &samples, int sampleRate, double frequency)
{
    if (samples.empty())
        return 0;
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / sampleRate);
    double previous = 0;
    double beforePrevious = 0;
    for (float sample : samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(0.0, power)) / double(samples.size());
}

int dominantTone(const std::vector<float> &samples, int sampleRate)
{
    const double low = toneAmplitude(samples, sampleRate, 440);
    const double high = toneAmplitude(samples, sampleRate, 660);
    if (low > 0.02 && low > 10 * high)
        return 440;
    if (high > 0.02 && high > 10 * low)
        return 660;
    return 0;
}

double measuredFrequency(const std::vector<float> &samples, int sampleRate)
{
    int first = -1;
    int last = -1;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (first < 0)
                first = int(i);
            else
                ++crossings;
            last = int(i);
        }
    }
    if (crossings == 0)
        return 0;
    return crossings * double(sampleRate) / double(last - first);
}

std::vector<float> slice(const std::vector<float> &samples, int sampleRate, double fromSeconds,
                         double toSeconds)
{
    const auto clampIndex = [&](double seconds) {
        return std::clamp<size_t>(size_t(std::max(0.0, seconds * sampleRate)), 0, samples.size());
    };
    return {samples.begin() + qsizetype(clampIndex(fromSeconds)),
            samples.begin() + qsizetype(clampIndex(toSeconds))};
}
