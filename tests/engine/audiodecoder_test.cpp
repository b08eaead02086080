#include "audiotestmedia.h"

#include "base/errors.h"
#include "engine/decode/audiodecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

namespace
{

const PcmFormat kStereo48k{48000, 2, PcmSampleType::Int16};

QStringList codecArguments(AudioCoding coding)
{
    switch (coding) {
    case AudioCoding::Ac3:
        return {"-c:a", "ac3", "-b:a", "192k"};
    case AudioCoding::Mpeg:
        return {"-c:a", "mp2", "-b:a", "192k"};
    case AudioCoding::Lpcm:
        return {"-c:a", "pcm_s16be"};
    case AudioCoding::Dts:
        return {"-c:a", "dca", "-strict", "-2"};
    }
    return {};
}

// A program stream as on a disc, holding one audio stream of a sine tone.
// Made once per program run: every stream costs ffmpeg a moment.
QByteArray discStream(AudioCoding coding, int frequency, int sampleRate = 48000, int channels = 2,
                      double seconds = 1.0)
{
    static TestMedia media;
    static std::map<QString, QByteArray> made;
    const QString name = QStringLiteral("%1-%2-%3-%4-%5.vob")
                             .arg(int(coding))
                             .arg(frequency)
                             .arg(sampleRate)
                             .arg(channels)
                             .arg(seconds);
    auto found = made.find(name);
    if (found == made.end()) {
        const QStringList arguments = TestMedia::tone(frequency, sampleRate, seconds) +
                                      QStringList{"-ac", QString::number(channels)} +
                                      codecArguments(coding) + QStringList{"-f", "dvd"};
        found = made.emplace(name, media.make(name, arguments)).first;
    }
    return found->second;
}

std::vector<PesPacket> discPackets(AudioCoding coding, int frequency, int sampleRate = 48000,
                                   int channels = 2, double seconds = 1.0)
{
    return audioPackets(
        readProgramStream(discStream(coding, frequency, sampleRate, channels, seconds)), coding);
}

// Packets cut from an elementary stream of frames of one size, each cut a
// few bytes into a frame (into its sync word, too), stamped and pointed at
// their first frame as a disc's are.
std::vector<PesPacket> packetsCutInsideFrames(const QByteArray &stream, int frameBytes,
                                              int64_t frameTicks)
{
    constexpr int kCutOffsets[] = {0, 1, 2, 3, 5, 300};
    std::vector<qsizetype> cuts;
    for (qsizetype frame = 0; frame * frameBytes < stream.size(); ++frame)
        cuts.push_back(frame * frameBytes + kCutOffsets[frame % std::size(kCutOffsets)]);
    cuts.push_back(stream.size());
    std::vector<PesPacket> packets;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        PesPacket packet;
        packet.payload = stream.mid(cuts[i], cuts[i + 1] - cuts[i]);
        const qsizetype firstFrame = (cuts[i] + frameBytes - 1) / frameBytes;
        if (firstFrame * frameBytes < cuts[i + 1]) {
            packet.pts90k = 90000 + firstFrame * frameTicks;
            packet.unitStart = size_t(firstFrame * frameBytes - cuts[i]);
        }
        packets.push_back(packet);
    }
    return packets;
}

void feed(AudioDecoder &decoder, const QByteArray &payload, std::optional<int64_t> pts,
          std::vector<PcmBlock> &out)
{
    decoder.decode({reinterpret_cast<const uint8_t *>(payload.constData()), size_t(payload.size())},
                   pts, out);
}

} // namespace

TEST(AudioCodingTest, StreamIdsFollowTheDiscLayout)
{
    EXPECT_EQ(audioCodingOf(0xBD, 0x80), AudioCoding::Ac3);
    EXPECT_EQ(audioCodingOf(0xBD, 0x87), AudioCoding::Ac3);
    EXPECT_EQ(audioCodingOf(0xBD, 0x88), AudioCoding::Dts);
    EXPECT_EQ(audioCodingOf(0xBD, 0x8F), AudioCoding::Dts);
    EXPECT_EQ(audioCodingOf(0xBD, 0xA0), AudioCoding::Lpcm);
    EXPECT_EQ(audioCodingOf(0xBD, 0xA7), AudioCoding::Lpcm);
    EXPECT_EQ(audioCodingOf(0xC0, 0x00), AudioCoding::Mpeg);
    EXPECT_EQ(audioCodingOf(0xC7, 0x80), AudioCoding::Mpeg);
    EXPECT_FALSE(audioCodingOf(0xBD, 0x20)); // subpicture
    EXPECT_FALSE(audioCodingOf(0xBD, 0xA8));
    EXPECT_FALSE(audioCodingOf(0xC8, 0x00));
    EXPECT_FALSE(audioCodingOf(0xE0, 0x80)); // video

    for (AudioCoding coding :
         {AudioCoding::Ac3, AudioCoding::Dts, AudioCoding::Lpcm, AudioCoding::Mpeg}) {
        for (int stream = 0; stream < 8; ++stream) {
            const auto [streamId, subStreamId] = audioStreamIds(coding, stream);
            EXPECT_EQ(audioCodingOf(streamId, subStreamId), coding);
        }
    }
    EXPECT_EQ(audioStreamIds(AudioCoding::Mpeg, 3).first, 0xC3);
    EXPECT_EQ(audioStreamIds(AudioCoding::Lpcm, 7).second, 0xA7);
}

class AudioDecoderCodingTest : public ::testing::TestWithParam<AudioCoding>
{
};

TEST_P(AudioDecoderCodingTest, DecodesDiscPacketsToTheRightTone)
{
    for (int frequency : {440, 660}) {
        const std::vector<PesPacket> packets = discPackets(GetParam(), frequency);
        ASSERT_GT(packets.size(), 5u) << "ffmpeg made no stream";
        AudioDecoder decoder(GetParam(), kStereo48k);
        const std::vector<PcmBlock> blocks = decodeAll(decoder, packets);

        EXPECT_NEAR(frameCount(blocks, kStereo48k), 48000, 48000 * 0.05);
        for (int channel = 0; channel < 2; ++channel) {
            const std::vector<float> samples = channelOf(blocks, kStereo48k, channel);
            EXPECT_EQ(dominantTone(samples, 48000), frequency) << "channel " << channel;
            EXPECT_NEAR(measuredFrequency(slice(samples, 48000, 0.1, 0.9), 48000), frequency,
                        frequency * 0.01);
        }
        EXPECT_EQ(decoder.corruptCount(), 0);
        EXPECT_EQ(decoder.sourceSampleRate(), 48000);
        EXPECT_EQ(decoder.sourceChannels(), 2);
    }
}

TEST_P(AudioDecoderCodingTest, TimestampsFollowThePesPtsWithoutGaps)
{
    const std::vector<PesPacket> packets = discPackets(GetParam(), 440);
    ASSERT_FALSE(packets.empty());
    ASSERT_TRUE(packets.front().pts90k);
    AudioDecoder decoder(GetParam(), kStereo48k);
    const std::vector<PcmBlock> blocks = decodeAll(decoder, packets);
    ASSERT_GT(blocks.size(), 2u);

    EXPECT_NEAR(double(blocks.front().pts90k), double(*packets.front().pts90k), 2);
    for (size_t i = 1; i < blocks.size(); ++i) {
        const int64_t expected =
            blocks[i - 1].pts90k + framesToTicks90k(blocks[i - 1].frames(kStereo48k), 48000);
        // ffmpeg's muxer stamps LPCM packets with the time of the next 1024
        // samples it was given, up to 11 ms off: the line runs on regardless.
        EXPECT_NEAR(double(blocks[i].pts90k), double(expected), 2) << "block " << i;
    }
}

TEST(AudioDecoderTest, ThePointerTiesEachPtsToItsFrameWhereverPacketsAreCut)
{
    struct Case {
        AudioCoding coding;
        QStringList codec;
        QByteArray sync;
        int frameBytes;
        int samplesPerFrame;
    };
    const Case cases[] = {
        {AudioCoding::Ac3, {"-c:a", "ac3", "-b:a", "192k", "-f", "ac3"}, "\x0B\x77", 768, 1536},
        {AudioCoding::Dts,
         {"-c:a", "dca", "-strict", "-2", "-b:a", "768k", "-f", "dts"},
         "\x7F\xFE\x80\x01",
         1024,
         512},
    };
    TestMedia media;
    for (const Case &test : cases) {
        const std::string name = audioCodingName(test.coding).toStdString();
        const QByteArray stream =
            media.make(QString::fromStdString(name), TestMedia::tone(440, 48000, 1) + test.codec);
        ASSERT_FALSE(stream.isEmpty()) << name;
        for (qsizetype at = 0; at < stream.size(); at += test.frameBytes)
            ASSERT_TRUE(stream.mid(at).startsWith(test.sync)) << name << " frame at " << at;
        const std::vector<PesPacket> packets =
            packetsCutInsideFrames(stream, test.frameBytes, test.samplesPerFrame * 90000 / 48000);

        AudioDecoder decoder(test.coding, kStereo48k);
        const std::vector<PcmBlock> blocks = decodeAll(decoder, packets);
        ASSERT_GT(blocks.size(), 10u) << name;
        EXPECT_EQ(blocks.front().pts90k, 90000) << name;
        for (size_t i = 1; i < blocks.size(); ++i) {
            const int64_t expected =
                blocks[i - 1].pts90k + framesToTicks90k(blocks[i - 1].frames(kStereo48k), 48000);
            EXPECT_NEAR(double(blocks[i].pts90k), double(expected), 2) << name << " block " << i;
        }
    }
}

TEST(AudioDecoderTest, LpcmStampsOffByLessThanAPacketKeepTheLineAndAJumpIsFollowed)
{
    std::vector<PesPacket> packets = discPackets(AudioCoding::Lpcm, 440);
    ASSERT_GT(packets.size(), 20u);
    // A stamp is the time of some sample in its packet, not always the
    // first: here up to 9/10 of the packet late. From the middle on
    // everything is a second later.
    const size_t jump = packets.size() / 2;
    int64_t frames = 0;
    for (size_t i = 0; i < packets.size(); ++i) {
        const int64_t length = (packets[i].payload.size() - 3) / kStereo48k.bytesPerFrame();
        const int64_t late = i == 0 ? 0 : length * int64_t(i * 7 % 10) / 10;
        packets[i].pts90k =
            90000 + framesToTicks90k(frames + late, 48000) + (i >= jump ? 90000 : 0);
        frames += length;
    }
    AudioDecoder decoder(AudioCoding::Lpcm, kStereo48k);
    std::vector<PcmBlock> blocks;
    for (size_t i = 0; i < packets.size(); ++i) {
        const size_t before = blocks.size();
        feed(decoder, packets[i].payload, packets[i].pts90k, blocks);
        ASSERT_EQ(blocks.size(), before + 1) << "packet " << i;
        const int64_t lineEnd =
            i == 0
                ? *packets[0].pts90k
                : blocks[i - 1].pts90k + framesToTicks90k(blocks[i - 1].frames(kStereo48k), 48000);
        const int64_t expected = i == jump ? *packets[i].pts90k : lineEnd;
        EXPECT_NEAR(double(blocks[i].pts90k), double(expected), 2) << "packet " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    DiscCodings, AudioDecoderCodingTest,
    ::testing::Values(AudioCoding::Ac3, AudioCoding::Mpeg, AudioCoding::Lpcm, AudioCoding::Dts),
    [](const auto &info) {
        return audioCodingName(info.param).remove('-').remove(' ').toStdString();
    });

TEST(AudioDecoderTest, ResamplesAndUpmixesToTheOutputFormat)
{
    // 44.1 kHz mono MPEG audio played on a 48 kHz stereo device: a missing
    // resample would shift the tone to 479 Hz and shorten the sound.
    AudioDecoder decoder(AudioCoding::Mpeg, kStereo48k);
    const std::vector<PcmBlock> blocks =
        decodeAll(decoder, discPackets(AudioCoding::Mpeg, 440, 44100, 1));

    EXPECT_NEAR(frameCount(blocks, kStereo48k), 48000, 48000 * 0.05);
    for (int channel = 0; channel < 2; ++channel) {
        const std::vector<float> samples = channelOf(blocks, kStereo48k, channel);
        EXPECT_NEAR(measuredFrequency(slice(samples, 48000, 0.1, 0.9), 48000), 440, 4.4);
    }
    EXPECT_EQ(decoder.sourceSampleRate(), 44100);
    EXPECT_EQ(decoder.sourceChannels(), 1);
}

TEST(AudioDecoderTest, ProducesTheFormatTheDeviceAsksFor)
{
    const PcmFormat monoFloat{44100, 1, PcmSampleType::Float};
    AudioDecoder decoder(AudioCoding::Ac3, monoFloat);
    const std::vector<PcmBlock> blocks = decodeAll(decoder, discPackets(AudioCoding::Ac3, 660));

    EXPECT_NEAR(frameCount(blocks, monoFloat), 44100, 44100 * 0.05);
    const std::vector<float> samples = channelOf(blocks, monoFloat, 0);
    EXPECT_EQ(dominantTone(samples, 44100), 660);
    EXPECT_NEAR(measuredFrequency(slice(samples, 44100, 0.1, 0.9), 44100), 660, 6.6);
}

TEST(AudioDecoderTest, DownmixesSurroundToStereoWithoutClipping)
{
    // 5.1 at 96 kHz: the resampler's downmix; 5.1 AC-3: the decoder's own.
    for (AudioCoding coding : {AudioCoding::Lpcm, AudioCoding::Ac3}) {
        const int rate = coding == AudioCoding::Lpcm ? 96000 : 48000;
        AudioDecoder decoder(coding, kStereo48k);
        const std::vector<PcmBlock> blocks = decodeAll(decoder, discPackets(coding, 660, rate, 6));

        EXPECT_EQ(decoder.sourceChannels(), coding == AudioCoding::Lpcm ? 6 : 2);
        EXPECT_NEAR(frameCount(blocks, kStereo48k), 48000, 48000 * 0.05);
        for (int channel = 0; channel < 2; ++channel) {
            const std::vector<float> samples = channelOf(blocks, kStereo48k, channel);
            EXPECT_EQ(dominantTone(samples, 48000), 660) << audioCodingName(coding).toStdString();
            const float peak =
                std::abs(*std::max_element(samples.begin(), samples.end(), [](float a, float b) {
                    return std::abs(a) < std::abs(b);
                }));
            EXPECT_LT(peak, 0.99f);
        }
    }
}

TEST(AudioDecoderTest, FollowsParameterChangesMidStream)
{
    // A stream that changes rate and layout between frames, cut at places
    // that have nothing to do with frame boundaries.
    TestMedia media;
    const QByteArray first =
        media.make("a.ac3", TestMedia::tone(440, 48000, 1) +
                                QStringList{"-ac", "2", "-c:a", "ac3", "-f", "ac3"});
    const QByteArray second =
        media.make("b.ac3", TestMedia::tone(660, 44100, 1) +
                                QStringList{"-ac", "6", "-c:a", "ac3", "-f", "ac3"});
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    AudioDecoder decoder(AudioCoding::Ac3, kStereo48k);
    const std::vector<PcmBlock> blocks = decodeInChunks(decoder, first + second, 997);

    const std::vector<float> samples = channelOf(blocks, kStereo48k, 0);
    EXPECT_NEAR(double(samples.size()), 96000, 96000 * 0.05);
    EXPECT_EQ(dominantTone(slice(samples, 48000, 0.05, 0.95), 48000), 440);
    EXPECT_EQ(dominantTone(slice(samples, 48000, 1.1, 1.95), 48000), 660);
    EXPECT_NEAR(measuredFrequency(slice(samples, 48000, 1.1, 1.95), 48000), 660, 6.6);
    EXPECT_EQ(decoder.sourceSampleRate(), 44100);
}

TEST(AudioDecoderTest, FollowsLpcmHeaderChanges)
{
    std::vector<PesPacket> packets = discPackets(AudioCoding::Lpcm, 440);
    const std::vector<PesPacket> later = discPackets(AudioCoding::Lpcm, 660, 96000, 1);
    const int64_t shift = *packets.back().pts90k + 90000 / 10 - *later.front().pts90k;
    for (PesPacket packet : later) {
        if (packet.pts90k)
            *packet.pts90k += shift;
        packets.push_back(packet);
    }
    AudioDecoder decoder(AudioCoding::Lpcm, kStereo48k);
    const std::vector<float> samples = channelOf(decodeAll(decoder, packets), kStereo48k, 1);

    EXPECT_NEAR(double(samples.size()), 96000, 96000 * 0.05);
    EXPECT_EQ(dominantTone(slice(samples, 48000, 0.05, 0.95), 48000), 440);
    EXPECT_EQ(dominantTone(slice(samples, 48000, 1.1, 1.95), 48000), 660);
    EXPECT_EQ(decoder.sourceSampleRate(), 96000);
    EXPECT_EQ(decoder.sourceChannels(), 1);
}

TEST(AudioDecoderTest, FlushForgetsTheOldStreamAndItsTimeline)
{
    for (AudioCoding coding :
         {AudioCoding::Ac3, AudioCoding::Mpeg, AudioCoding::Lpcm, AudioCoding::Dts}) {
        const std::vector<PesPacket> before = discPackets(coding, 440);
        const std::vector<PesPacket> after = discPackets(coding, 660);
        AudioDecoder decoder(coding, kStereo48k);
        std::vector<PcmBlock> ignored;
        for (size_t i = 0; i < before.size() / 2; ++i)
            feed(decoder, before[i].payload, before[i].pts90k, ignored);
        decoder.flush();

        // Start with a packet that carries a PTS, mid-stream as after a jump:
        // it begins with the tail of a frame that cannot be decoded.
        size_t start = after.size() / 3;
        while (start < after.size() && !after[start].pts90k)
            ++start;
        ASSERT_LT(start, after.size());
        const std::vector<PesPacket> rest(after.begin() + qsizetype(start), after.end());
        const std::vector<PcmBlock> blocks = decodeAll(decoder, rest);

        ASSERT_FALSE(blocks.empty());
        const std::string name = audioCodingName(coding).toStdString();
        EXPECT_NEAR(double(blocks.front().pts90k), double(*after[start].pts90k), 90) << name;
        EXPECT_EQ(dominantTone(channelOf(blocks, kStereo48k, 0), 48000), 660) << name;
    }
}

TEST(AudioDecoderTest, SkipsCorruptPacketsAndRecovers)
{
    std::mt19937 random(7);
    for (AudioCoding coding :
         {AudioCoding::Ac3, AudioCoding::Mpeg, AudioCoding::Lpcm, AudioCoding::Dts}) {
        const std::vector<PesPacket> clean = discPackets(coding, 440);
        std::vector<PesPacket> damaged;
        for (size_t i = 0; i < clean.size(); ++i) {
            PesPacket packet = clean[i];
            if (i % 4 == 1) {
                for (int flip = 0; flip < 40; ++flip)
                    packet.payload[int(random() % packet.payload.size())] = char(random());
            } else if (i % 4 == 2) {
                packet.payload.truncate(int(random() % packet.payload.size()));
            }
            damaged.push_back(packet);
        }
        // LPCM whose header claims the reserved quantisation.
        damaged.insert(damaged.begin() + 3,
                       PesPacket{0, 0, QByteArray("\x00\xC1\x80", 3) + QByteArray(400, '\x11'), 0});

        AudioDecoder decoder(coding, kStereo48k);
        const std::vector<PcmBlock> blocks = decodeAll(decoder, damaged);
        const std::string name = audioCodingName(coding).toStdString();
        EXPECT_LT(frameCount(blocks, kStereo48k), 48000 * 2) << name;

        // Clean data after the damage plays the tone again.
        std::vector<PcmBlock> tail;
        for (size_t i = clean.size() / 2; i < clean.size(); ++i)
            feed(decoder, clean[i].payload, clean[i].pts90k, tail);
        decoder.drain(tail);
        EXPECT_EQ(dominantTone(channelOf(tail, kStereo48k, 0), 48000), 440) << name;
    }
}

TEST(AudioDecoderTest, CountsWhatItCannotDecode)
{
    AudioDecoder lpcm(AudioCoding::Lpcm, kStereo48k);
    std::vector<PcmBlock> blocks;
    feed(lpcm, QByteArray("\x00\xC1\x80", 3) + QByteArray(400, '\x11'), 0, blocks);
    feed(lpcm, QByteArray(2 << 20, '\0'), 0, blocks);
    feed(lpcm, QByteArray(), 0, blocks);
    EXPECT_TRUE(blocks.empty());
    EXPECT_EQ(lpcm.corruptCount(), 2);
}

TEST(AudioDecoderTest, SurvivesRandomPayloads)
{
    std::mt19937 random(11);
    for (AudioCoding coding :
         {AudioCoding::Ac3, AudioCoding::Mpeg, AudioCoding::Lpcm, AudioCoding::Dts}) {
        AudioDecoder decoder(coding, kStereo48k);
        std::vector<PcmBlock> blocks;
        for (int round = 0; round < 300; ++round) {
            QByteArray payload(int(random() % 3000), '\0');
            for (char &byte : payload)
                byte = char(random());
            // Now and then something that looks like a frame start.
            if (payload.size() > 4 && round % 3 == 0) {
                payload[0] = coding == AudioCoding::Ac3 ? '\x0B' : '\xFF';
                payload[1] = coding == AudioCoding::Ac3 ? '\x77' : '\xFD';
            }
            std::optional<int64_t> pts;
            if (round % 2)
                pts = int64_t(random());
            feed(decoder, payload, pts, blocks);
            if (round % 50 == 0)
                decoder.flush();
        }
        decoder.drain(blocks);
        for (const PcmBlock &block : blocks)
            ASSERT_EQ(block.data.size() % kStereo48k.bytesPerFrame(), 0);
    }
}
