#include "engine/decode/videodecoder.h"
#include "engine/demux/psdemuxer.h"
#include "support/mutator.h"
#include "testdisc.h"

#include <gtest/gtest.h>

// The video decoder on the sample disc's pictures, damaged: it keeps going,
// every picture it hands out converts to the plane size, and clean data
// after the damage decodes again.
namespace
{

using Bytes = std::vector<uint8_t>;

struct VideoPayload {
    Bytes bytes;
    int64_t pts = -1;
};

// The video of the first seconds of title 1, payload by payload.
const std::vector<VideoPayload> &titleVideo()
{
    static const std::vector<VideoPayload> video = [] {
        std::vector<VideoPayload> payloads;
        for (const Bytes &pack : TestDisc::packs(QStringLiteral("VTS_01_1.VOB"), 0, 700)) {
            for (const PsDemuxer::Payload &payload : PsDemuxer::split(pack.data(), pack.size())) {
                if (payload.streamId == PsDemuxer::kVideoStream)
                    payloads.push_back(
                        {Bytes(payload.data, payload.data + payload.size), payload.pts});
            }
        }
        return payloads;
    }();
    return video;
}

// Each payload is handed over in a buffer of exactly its size, as the
// demuxer's copies are.
void send(VideoDecoder &decoder, const VideoPayload &payload)
{
    const Bytes exact(payload.bytes);
    decoder.send(exact.data(), exact.size(), payload.pts);
}

// Takes every picture ready and converts it; returns how many there were.
int takeAndShow(VideoDecoder &decoder)
{
    int pictures = 0;
    while (std::optional<DecodedPicture> picture = decoder.take()) {
        const QImage image = decoder.toImage(*picture);
        EXPECT_TRUE(image.isNull() || image.size() == QSize(720, 576)) << image.width();
        ++pictures;
    }
    return pictures;
}

} // namespace

TEST(VideoDecoderRobustness, DamagedPicturesAreSkippedAndCleanOnesDecodeAfterThem)
{
    const std::vector<VideoPayload> &video = titleVideo();
    ASSERT_GT(video.size(), 300u);
    VideoDecoder decoder;
    decoder.setFormat(QSize(720, 576), 25);
    Mutator mutator(31);
    for (const VideoPayload &payload : video) {
        VideoPayload damaged = payload;
        if (mutator.chance(30))
            damaged.bytes = mutator.mutate(payload.bytes, 32);
        else if (mutator.chance(10))
            damaged.bytes = mutator.truncate(payload.bytes);
        else if (mutator.chance(5))
            damaged.bytes = mutator.noise(payload.bytes.size());
        send(decoder, damaged);
        takeAndShow(decoder);
    }
    decoder.drain();
    takeAndShow(decoder);

    decoder.reset();
    int clean = 0;
    for (size_t i = video.size() / 2; i < video.size(); ++i) {
        send(decoder, video[i]);
        clean += takeAndShow(decoder);
    }
    decoder.drain();
    clean += takeAndShow(decoder);
    EXPECT_GT(clean, 10);
}

TEST(VideoDecoderRobustness, NoiseAndTinyPiecesNeverStopTheDecoder)
{
    VideoDecoder decoder;
    Mutator mutator(5);
    for (int round = 0; round < 150; ++round) {
        VideoPayload noise{mutator.noise(mutator.below(2100)), int64_t(mutator.below(1u << 31))};
        // Start codes make the parser cut pictures out of the noise.
        for (size_t at = 0; at + 4 <= noise.bytes.size(); at += 1 + mutator.below(300)) {
            static constexpr uint8_t kCodes[] = {0xB3, 0xB8, 0x00, 0x01, 0xB5, 0xB7};
            noise.bytes[at] = 0;
            noise.bytes[at + 1] = 0;
            noise.bytes[at + 2] = 1;
            noise.bytes[at + 3] = kCodes[mutator.below(std::size(kCodes))];
        }
        send(decoder, noise);
        takeAndShow(decoder);
    }
    decoder.drain();
    takeAndShow(decoder);
    for (const VideoPayload &payload : titleVideo())
        send(decoder, payload);
    decoder.drain();
    EXPECT_GT(takeAndShow(decoder), 10);
}
