#include "audiotestmedia.h"
#include "support/mutator.h"

#include "engine/decode/audiodecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

// Every audio coding of a disc, damaged payload by payload: the decoder
// keeps going, what it hands out is whole sample frames of sound with sane
// times, and clean data after the damage plays the tone again.
namespace
{

using Bytes = std::vector<uint8_t>;

struct Stream {
    const char *name;
    AudioCoding coding;
    int sampleRate;
    int channels;
    QStringList codec;
};

const Stream kStreams[] = {
    {"AC-3", AudioCoding::Ac3, 48000, 2, {"-c:a", "ac3", "-b:a", "192k"}},
    {"AC-3 5.1", AudioCoding::Ac3, 48000, 6, {"-c:a", "ac3", "-b:a", "384k"}},
    {"MPEG audio", AudioCoding::Mpeg, 48000, 2, {"-c:a", "mp2", "-b:a", "192k"}},
    {"LPCM", AudioCoding::Lpcm, 48000, 2, {"-c:a", "pcm_s16be"}},
    {"LPCM 96 kHz 5.1", AudioCoding::Lpcm, 96000, 6, {"-c:a", "pcm_s16be"}},
    {"DTS", AudioCoding::Dts, 48000, 2, {"-c:a", "dca", "-strict", "-2"}},
};

// Half a second of a 440 Hz tone, payload by payload as the demuxer hands
// it over; made once per program run.
const std::vector<PesPacket> &payloadsOf(const Stream &stream)
{
    static TestMedia media;
    static std::map<QString, std::vector<PesPacket>> made;
    const QString name = QString::fromLatin1(stream.name);
    auto found = made.find(name);
    if (found == made.end()) {
        const QStringList arguments = TestMedia::tone(440, stream.sampleRate, 0.5) +
                                      QStringList{"-ac", QString::number(stream.channels)} +
                                      stream.codec + QStringList{"-f", "dvd"};
        const QByteArray file = media.make(name + QStringLiteral(".vob"), arguments);
        found = made.emplace(name, audioPackets(readProgramStream(file), stream.coding)).first;
    }
    return found->second;
}

Bytes bytesOf(const QByteArray &payload)
{
    return Bytes(payload.begin(), payload.end());
}

// What every block must be, whatever went in.
::testing::AssertionResult sane(const std::vector<PcmBlock> &blocks, const PcmFormat &format)
{
    for (const PcmBlock &block : blocks) {
        if (block.data.isEmpty() || block.data.size() % format.bytesPerFrame() != 0)
            return ::testing::AssertionFailure() << "a block of " << block.data.size() << " bytes";
        if (std::llabs(block.pts90k) > (int64_t(1) << 34))
            return ::testing::AssertionFailure() << "a block at " << block.pts90k;
        if (format.sampleType != PcmSampleType::Float)
            continue;
        const auto *samples = reinterpret_cast<const float *>(block.data.constData());
        for (qsizetype i = 0; i < block.data.size() / qsizetype(sizeof(float)); ++i) {
            if (!std::isfinite(samples[i]))
                return ::testing::AssertionFailure() << "sample " << samples[i];
        }
    }
    return ::testing::AssertionSuccess();
}

void decode(AudioDecoder &decoder, const Bytes &payload, std::optional<int64_t> pts,
            std::vector<PcmBlock> &out, size_t unitStart = 0)
{
    decoder.decode({payload.data(), payload.size()}, pts, out, unitStart);
}

class AudioDecoderRobustness : public ::testing::TestWithParam<Stream>
{
};

} // namespace

TEST_P(AudioDecoderRobustness, DamagedPayloadsAreSkippedAndCleanOnesPlayAfterThem)
{
    const Stream &stream = GetParam();
    const std::vector<PesPacket> &clean = payloadsOf(stream);
    ASSERT_GT(clean.size(), 5u) << "ffmpeg made no " << stream.name;
    for (const PcmFormat format :
         {PcmFormat{48000, 2, PcmSampleType::Int16}, PcmFormat{44100, 1, PcmSampleType::Float}}) {
        AudioDecoder decoder(stream.coding, format);
        Mutator mutator(uint32_t(stream.coding) * 100 + uint32_t(stream.channels));
        for (int pass = 0; pass < 4; ++pass) {
            std::vector<PcmBlock> blocks;
            int64_t inputBytes = 0;
            for (const PesPacket &packet : clean) {
                Bytes payload = bytesOf(packet.payload);
                // The first bytes hold the LPCM header, or a frame's sync and size.
                if (mutator.chance(40))
                    payload = mutator.mutate(payload, 8);
                else if (mutator.chance(10))
                    payload = mutator.truncate(payload);
                std::optional<int64_t> pts = packet.pts90k;
                if (pts && mutator.chance(5))
                    pts = int64_t(mutator.below(1u << 31)) * 4;
                // The first access unit pointer comes from the damaged header too.
                const size_t unitStart =
                    mutator.chance(10) ? mutator.below(payload.size() + 8) : packet.unitStart;
                inputBytes += int64_t(payload.size());
                decode(decoder, payload, pts, blocks, unitStart);
                if (mutator.chance(3))
                    decoder.drain(blocks);
                if (mutator.chance(3))
                    decoder.flush();
            }
            decoder.drain(blocks);
            ASSERT_TRUE(sane(blocks, format)) << stream.name << " pass " << pass;
            // No coding makes more than a few dozen sample frames of a byte.
            EXPECT_LT(frameCount(blocks, format), 64 * inputBytes + format.sampleRate)
                << stream.name;
        }

        decoder.flush();
        std::vector<PcmBlock> after;
        for (const PesPacket &packet : clean)
            decode(decoder, bytesOf(packet.payload), packet.pts90k, after, packet.unitStart);
        decoder.drain(after);
        ASSERT_TRUE(sane(after, format));
        const std::vector<float> samples = channelOf(after, format, 0);
        EXPECT_NEAR(
            measuredFrequency(slice(samples, format.sampleRate, 0.1, 0.4), format.sampleRate), 440,
            5)
            << stream.name << " after the damage";
    }
}

TEST_P(AudioDecoderRobustness, NoiseAndSlivers)
{
    const Stream &stream = GetParam();
    const PcmFormat format{48000, 2, PcmSampleType::Float};
    AudioDecoder decoder(stream.coding, format);
    Mutator mutator(99);
    std::vector<PcmBlock> blocks;
    decode(decoder, {}, 0, blocks);
    for (int round = 0; round < 300; ++round) {
        // Slivers of a few bytes, noise of a payload's size, and now and then
        // a frame's worth that begins like a real one.
        Bytes payload = mutator.noise(mutator.chance(30) ? mutator.below(8) : mutator.below(4000));
        const std::vector<PesPacket> &clean = payloadsOf(stream);
        if (!clean.empty() && payload.size() >= 16 && mutator.chance(30)) {
            const QByteArray &real = clean[mutator.below(clean.size())].payload;
            std::copy_n(real.begin(), std::min<qsizetype>(16, real.size()), payload.begin());
        }
        decode(decoder, payload,
               mutator.chance(50) ? std::optional<int64_t>(round * 3000) : std::nullopt, blocks);
    }
    decoder.drain(blocks);
    EXPECT_TRUE(sane(blocks, format)) << stream.name;
}

// A packet cut in the middle of a sample group leaves its start with the
// decoder; after a jump nothing of it may be joined to the new data, or every
// sample from there on is read out of step and plays as loud noise.
TEST(AudioDecoderLpcm, APacketCutShortLeavesNothingBehindAfterAJump)
{
    const std::vector<PesPacket> &clean = payloadsOf(kStreams[3]);
    ASSERT_GT(clean.size(), 5u);
    const PcmFormat format{48000, 2, PcmSampleType::Int16};
    for (int cut = 1; cut <= 3; ++cut) {
        AudioDecoder decoder(AudioCoding::Lpcm, format);
        std::vector<PcmBlock> blocks;
        const Bytes whole = bytesOf(clean[2].payload);
        decode(decoder, Bytes(whole.begin(), whole.end() - cut), clean[2].pts90k, blocks);
        decoder.flush();
        blocks.clear();
        for (const PesPacket &packet : clean)
            decode(decoder, bytesOf(packet.payload), packet.pts90k, blocks);
        decoder.drain(blocks);
        const std::vector<float> samples = channelOf(blocks, format, 0);
        EXPECT_EQ(dominantTone(slice(samples, 48000, 0.1, 0.4), 48000), 440) << "cut " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCoding, AudioDecoderRobustness, ::testing::ValuesIn(kStreams),
                         [](const ::testing::TestParamInfo<Stream> &info) {
                             std::string name;
                             for (const char c : std::string(info.param.name)) {
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             }
                             return name;
                         });
