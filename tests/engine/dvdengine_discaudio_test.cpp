#include "testdisc.h"

#include "engine/source/dvdsource.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <algorithm>

using TestDisc::firstBlockWithTone;
using TestDisc::heardNow;
using TestDisc::Player;
using TestDisc::Recorder;
using TestDisc::toneAfter;
using TestDisc::waitFor;

// LPCM and DTS streams played from a disc: the second test disc has one of each.
namespace
{

constexpr int64_t kSecond90k = 90000;

QJsonArray authoredAudio()
{
    return TestDisc::authored()
        .value(QStringLiteral("lpcm"))
        .toObject()
        .value(QStringLiteral("audio"))
        .toArray();
}

double authoredTone(int stream)
{
    return authoredAudio().at(stream).toObject().value(QStringLiteral("tone_hz")).toDouble();
}

// The longest step, either way, between where a block starts and where the
// block before it ends: a stream played on without a break has none.
int64_t largestTimelineStep(const std::vector<Recorder::Sound> &sound, int64_t from, int64_t to)
{
    int64_t largest = 0;
    for (size_t i = 1; i < sound.size(); ++i) {
        const Recorder::Sound &before = sound[i - 1];
        if (before.pts < from || sound[i].pts > to)
            continue;
        const int64_t end =
            before.pts + int64_t(before.left.size()) * kSecond90k / before.sampleRate;
        largest = std::max(largest, std::abs(sound[i].pts - end));
    }
    return largest;
}

} // namespace

TEST(DvdEngineDiscAudio, TheIfoDescribesTheLpcmAndDtsStreams)
{
    const ProbedDisc probed = DvdSource::probe(DvdSource::resolve(TestDisc::lpcmFolder()));
    ASSERT_EQ(probed.info.titles.size(), 1u);
    const std::vector<AudioStreamInfo> &audio = probed.info.titles.front().audio;
    const QJsonArray expected = authoredAudio();
    ASSERT_EQ(audio.size(), size_t(expected.size()));
    for (size_t i = 0; i < audio.size(); ++i) {
        const QJsonObject stream = expected.at(qsizetype(i)).toObject();
        EXPECT_EQ(audio[i].stream, stream.value("stream").toInt());
        EXPECT_EQ(audio[i].lang, stream.value("lang").toString());
        EXPECT_EQ(audio[i].format, stream.value("format").toString());
        EXPECT_EQ(audio[i].channels, stream.value("channels").toInt());
    }
    EXPECT_EQ(audio[1].language, QStringLiteral("Japanese"));
}

TEST(DvdEngineDiscAudio, LpcmIsHeardAndSwitchingToDtsIsHeard)
{
    Player player(TestDisc::lpcmFolder());
    player.engine->Play();
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.engine->AudioStreamsAvailable() == 2; }));
    EXPECT_EQ(player.engine->AudioLanguage(0), QStringLiteral("English"));
    EXPECT_EQ(player.engine->AudioLanguage(1), QStringLiteral("Japanese"));
    EXPECT_EQ(player.engine->CurrentAudioStream(), 0);

    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 1.0 && heardNow(player.recorder); }));
    const std::vector<Recorder::Sound> lpcm = player.recorder.sound();
    ASSERT_FALSE(lpcm.empty()) << "nothing decoded from the LPCM stream";
    EXPECT_NEAR(toneAfter(lpcm, lpcm.front().pts + kSecond90k / 4), authoredTone(0), 10.0);
    // The PES stamps of this stream wobble by up to a packet; what is heard
    // runs on as one unbroken line all the same.
    EXPECT_LE(largestTimelineStep(lpcm, lpcm.front().pts, lpcm.back().pts), 2);

    const int64_t heardAtSwitch = *heardNow(player.recorder);
    player.engine->setCurrentAudioStream(1);
    EXPECT_EQ(player.engine->CurrentAudioStream(), 1);
    std::optional<int64_t> switched;
    ASSERT_TRUE(waitFor(
        [&] {
            switched = firstBlockWithTone(player.recorder.sound(), heardAtSwitch, authoredTone(1));
            return switched.has_value();
        },
        3000))
        << "no DTS tone after switching";
    EXPECT_LT(*switched - heardAtSwitch, kSecond90k) << "the DTS stream is heard too late";

    // The DTS stream plays on with its own tone, its frames one after another.
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 3.0; }, 5000));
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kTitle);
    const std::vector<Recorder::Sound> dts = player.recorder.sound();
    const int64_t lastPts = dts.back().pts;
    EXPECT_NEAR(toneAfter(dts, lastPts - kSecond90k / 2), authoredTone(1), 10.0);
    EXPECT_LE(largestTimelineStep(dts, *switched + kSecond90k / 10, lastPts), 2);
}
