#include "engine/demux/psdemuxer.h"
#include "support/mutator.h"
#include "testdisc.h"

#include <gtest/gtest.h>

#include <set>

// The demultiplexer on the sample disc's own packs, damaged: whatever a pack
// holds, the payloads it yields lie inside the bytes it was given.
namespace
{

using Bytes = std::vector<uint8_t>;

// The first seconds of title 1: NAV packs, video, both audio streams and
// subtitles.
const std::vector<Bytes> &titlePacks()
{
    static const std::vector<Bytes> packs =
        TestDisc::packs(QStringLiteral("VTS_01_1.VOB"), 0, 1500);
    return packs;
}

::testing::AssertionResult insideTheBlock(const std::vector<PsDemuxer::Payload> &payloads,
                                          const Bytes &block)
{
    const uint8_t *begin = block.data();
    const uint8_t *end = block.data() + block.size();
    for (const PsDemuxer::Payload &payload : payloads) {
        if (payload.data < begin || payload.data > end || payload.size > size_t(end - payload.data))
            return ::testing::AssertionFailure()
                   << "payload of stream " << int(payload.streamId) << " at "
                   << (payload.data - begin) << " size " << payload.size << " in a block of "
                   << block.size();
        if (payload.pts < -1 || payload.pts >= (int64_t(1) << 33))
            return ::testing::AssertionFailure() << "timestamp " << payload.pts;
        if (payload.unitStart > payload.size)
            return ::testing::AssertionFailure() << "unit start " << payload.unitStart;
    }
    return ::testing::AssertionSuccess();
}

// The demuxer reads only what it is given: a copy of exactly that size lets
// the address sanitizer see any read beyond it.
std::vector<PsDemuxer::Payload> split(const Bytes &block)
{
    return PsDemuxer::split(block.data(), block.size());
}

} // namespace

TEST(PsDemuxerRobustness, TheSampleDiscsPacksHoldEveryKindOfPayload)
{
    ASSERT_EQ(titlePacks().size(), 1500u);
    std::set<std::pair<int, int>> kinds;
    for (const Bytes &pack : titlePacks()) {
        for (const PsDemuxer::Payload &payload : split(pack))
            kinds.insert({payload.streamId, payload.subId});
    }
    EXPECT_TRUE(kinds.count({PsDemuxer::kVideoStream, 0}));
    EXPECT_TRUE(kinds.count({PsDemuxer::kPrivateStream1, 0x80})); // AC-3
    EXPECT_TRUE(kinds.count({0xC0, 0}));                          // MPEG audio
    EXPECT_TRUE(kinds.count({PsDemuxer::kPrivateStream1, 0x20})); // subtitles
}

// A pack cut short yields a part of what the whole pack yields, never more.
TEST(PsDemuxerRobustness, APackCutAnywhereYieldsOnlyWhatItStillHolds)
{
    const std::vector<Bytes> &packs = titlePacks();
    ASSERT_FALSE(packs.empty());
    for (size_t index = 0; index < packs.size(); index += 97) {
        const Bytes &whole = packs[index];
        const std::vector<PsDemuxer::Payload> full = split(whole);
        for (size_t length = 0; length <= whole.size(); length += length < 64 ? 1 : 29) {
            const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
            const std::vector<PsDemuxer::Payload> part = split(cut);
            ASSERT_TRUE(insideTheBlock(part, cut)) << "pack " << index << " cut at " << length;
            ASSERT_LE(part.size(), full.size());
            for (size_t i = 0; i < part.size(); ++i) {
                EXPECT_EQ(part[i].streamId, full[i].streamId);
                EXPECT_EQ(part[i].data - cut.data(), full[i].data - whole.data());
                EXPECT_LE(part[i].size, full[i].size);
            }
        }
    }
}

TEST(PsDemuxerRobustness, DamagedPacksYieldPayloadsInsideThemselves)
{
    const std::vector<Bytes> &packs = titlePacks();
    ASSERT_FALSE(packs.empty());
    Mutator mutator(2024);
    for (int round = 0; round < 20000; ++round) {
        const Bytes &original = packs[mutator.below(packs.size())];
        // Most changes hit the pack and PES headers, where the lengths are.
        const Bytes damaged = mutator.chance(20) ? mutator.truncate(mutator.mutate(original, 64))
                                                 : mutator.mutate(original, 64);
        ASSERT_TRUE(insideTheBlock(split(damaged), damaged)) << "round " << round;
        PsDemuxer::isScrambled(damaged.data(), damaged.size());
    }
}

TEST(PsDemuxerRobustness, NoiseAndEmptyBlocksYieldNothingOrStayInside)
{
    Mutator mutator(7);
    EXPECT_TRUE(split(Bytes{}).empty());
    EXPECT_TRUE(split(Bytes(2048, 0)).empty());
    for (int round = 0; round < 2000; ++round) {
        Bytes noise = mutator.noise(mutator.below(2049));
        // Half of them start like a pack, so that the parsing goes further.
        if (noise.size() >= 4 && mutator.chance(50))
            std::copy_n(titlePacks().front().begin(), 4, noise.begin());
        ASSERT_TRUE(insideTheBlock(split(noise), noise));
    }
}
