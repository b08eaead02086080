// Audio decoding throughput: each DVD coding decoded to 48 kHz stereo 16-bit
// by AudioDecoder, beside ffmpeg decoding the same stream on one thread to the
// same format. Prints CPU milliseconds per second of sound and the ratio.

#include "base/errors.h"
#include "engine/decode/audiodecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <optional>

namespace
{

constexpr int kSeconds = 30;

struct Case {
    const char *name;
    AudioCoding coding;
    QStringList encode; // ffmpeg output options making the stream
    QStringList input;  // ffmpeg input options reading it back
    int channels;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool runFfmpeg(const QStringList &arguments, QString *errorOutput = nullptr)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-nostdin", "-y"} + arguments);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return false;
    if (errorOutput)
        *errorOutput = QString::fromLocal8Bit(ffmpeg.readAllStandardError());
    return true;
}

// DVD LPCM packets have no container of their own here: 16-bit stereo
// payloads behind the 3-byte LPCM header, as the demuxer hands them over.
std::vector<QByteArray> lpcmPayloads(const QByteArray &bigEndianSamples)
{
    std::vector<QByteArray> payloads;
    for (qsizetype at = 0; at < bigEndianSamples.size(); at += 2000)
        payloads.push_back(QByteArray("\x00\x01\x80", 3) + bigEndianSamples.mid(at, 2000));
    return payloads;
}

std::vector<QByteArray> chunks(const QByteArray &stream)
{
    std::vector<QByteArray> payloads;
    for (qsizetype at = 0; at < stream.size(); at += 2016)
        payloads.push_back(stream.mid(at, 2016));
    return payloads;
}

double decodeCpuSeconds(AudioCoding coding, const std::vector<QByteArray> &payloads,
                        int64_t *frames)
{
    const PcmFormat format{48000, 2, PcmSampleType::Int16};
    AudioDecoder decoder(coding, format);
    std::vector<PcmBlock> blocks;
    const double start = cpuSeconds();
    for (const QByteArray &payload : payloads) {
        blocks.clear();
        decoder.decode(
            {reinterpret_cast<const uint8_t *>(payload.constData()), size_t(payload.size())},
            std::nullopt, blocks);
        for (const PcmBlock &block : blocks)
            *frames += block.frames(format);
    }
    blocks.clear();
    decoder.drain(blocks);
    return cpuSeconds() - start;
}

std::optional<double> ffmpegCpuSeconds(const QStringList &input, const QString &path)
{
    QString log;
    if (!runFfmpeg(
            QStringList{"-v", "info", "-nostats", "-benchmark", "-threads", "1"} + input +
                QStringList{"-i", path, "-f", "s16le", "-ac", "2", "-ar", "48000", "/dev/null"},
            &log))
        return std::nullopt;
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("utime=([0-9.]+)s stime=([0-9.]+)s")).match(log);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble() + match.captured(2).toDouble();
}

void runCase(const QTemporaryDir &dir, const Case &item)
{
    const QString path = dir.filePath(QString::fromLatin1(item.name));
    const QString source = QStringLiteral("sine=f=440:r=48000:d=%1").arg(kSeconds);
    if (!runFfmpeg(QStringList{"-v", "quiet", "-f", "lavfi", "-i", source, "-ac",
                               QString::number(item.channels)} +
                   item.encode + QStringList{path})) {
        std::printf("%-22s ffmpeg could not make the stream\n", item.name);
        return;
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray stream = file.readAll();
    const auto payloads = item.coding == AudioCoding::Lpcm ? lpcmPayloads(stream) : chunks(stream);
    int64_t frames = 0;
    const double ours = decodeCpuSeconds(item.coding, payloads, &frames);
    const double seconds = double(frames) / 48000;
    const std::optional<double> theirs = ffmpegCpuSeconds(item.input, path);
    std::printf("%-22s %6.1f s of sound  decoder %7.3f ms/s", item.name, seconds,
                1000 * ours / seconds);
    if (theirs)
        std::printf("  ffmpeg %7.3f ms/s  ffmpeg/decoder %5.2f", 1000 * *theirs / kSeconds,
                    *theirs / ours);
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const Case cases[] = {
        {"ac3_5.1_448k.ac3", AudioCoding::Ac3, {"-c:a", "ac3", "-b:a", "448k", "-f", "ac3"}, {}, 6},
        {"ac3_stereo_192k.ac3",
         AudioCoding::Ac3,
         {"-c:a", "ac3", "-b:a", "192k", "-f", "ac3"},
         {},
         2},
        {"mp2_stereo_224k.mp2",
         AudioCoding::Mpeg,
         {"-c:a", "mp2", "-b:a", "224k", "-f", "mp2"},
         {},
         2},
        {"dts_5.1.dts", AudioCoding::Dts, {"-c:a", "dca", "-strict", "-2", "-f", "dts"}, {}, 6},
        {"lpcm_stereo_16bit.raw",
         AudioCoding::Lpcm,
         {"-f", "s16be"},
         {"-f", "s16be", "-ar", "48000", "-ac", "2"},
         2},
    };
    std::printf("Audio decode, one thread, to 48 kHz stereo s16 (CPU time per second of "
                "sound; ffmpeg/decoder above 1 means faster than ffmpeg)\n");
    for (const Case &item : cases) {
        try {
            runCase(dir, item);
        } catch (const AppError &error) {
            std::printf("%-22s %s\n", item.name, error.what());
        }
    }
    return 0;
}
