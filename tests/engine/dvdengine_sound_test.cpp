#include "testdisc.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using TestDisc::firstBlockWithTone;
using TestDisc::heardNow;
using TestDisc::lastSoundPts;
using TestDisc::Player;
using TestDisc::Recorder;
using TestDisc::toneAfter;
using TestDisc::waitFor;

namespace
{

constexpr int64_t kSecond90k = 90000;
// Sound and picture in step at a start (a loaded machine may show a picture
// a little late); running ahead, the sound led by 50 to 120 ms.
constexpr int64_t kInStep90k = 20 * 90;

// Beginnings of the beeps: the first loud sample after a quiet stretch.
std::vector<int64_t> beepOnsets(const std::vector<Recorder::Sound> &sound)
{
    std::vector<int64_t> onsets;
    int64_t quietSince = -1;
    for (const Recorder::Sound &block : sound) {
        for (size_t i = 0; i < block.left.size(); ++i) {
            const int64_t pts = block.pts + int64_t(i) * kSecond90k / block.sampleRate;
            if (std::abs(block.left[i]) < 0.05f) {
                if (quietSince < 0)
                    quietSince = pts;
                continue;
            }
            if (quietSince >= 0 && pts - quietSince > kSecond90k / 2)
                onsets.push_back(pts);
            quietSince = -1;
        }
    }
    return onsets;
}

// How far the sound ran ahead of the picture (behind: negative) when it was
// first heard with a picture of title time from90k or later.
std::optional<int64_t> soundAheadWhenHeard(const std::vector<Recorder::Picture> &pictures,
                                           int64_t from90k)
{
    for (const Recorder::Picture &picture : pictures) {
        if (picture.titleTime90k >= from90k && picture.heard90k)
            return *picture.heard90k - picture.pts;
    }
    return std::nullopt;
}

// The flash-and-beep title played to 6.5 s, paused for a while at 3.3 s: a
// pause must stop both at once and start both again.
void playFlashesWithAPause(Player &player, int pauseMs)
{
    player.engine->Play();
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 3.3; }, 10000));
    player.engine->Pause();
    QTest::qWait(pauseMs);
    player.engine->Play();
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 6.5; }, 15000));
}

// The pictures with which a flash began.
std::vector<Recorder::Picture> flashes(const std::vector<Recorder::Picture> &pictures)
{
    std::vector<Recorder::Picture> found;
    bool previousBright = true;
    for (const Recorder::Picture &picture : pictures) {
        const bool bright = picture.brightness > 128;
        if (bright && !previousBright)
            found.push_back(picture);
        previousBright = bright;
    }
    return found;
}

// What the sound server plays, as its sink's monitor records it, with the
// time each sample came out on the clock the pictures are stamped with.
class DeviceRecording
{
public:
    using Clock = std::chrono::steady_clock;

    DeviceRecording()
    {
        QObject::connect(&parec_, &QProcess::readyReadStandardOutput, [this] { take(); });
        parec_.start(QStringLiteral("parec"),
                     {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                      QStringLiteral("--rate=48000"), QStringLiteral("--channels=1"),
                      QStringLiteral("--latency-msec=2"), QStringLiteral("-d"),
                      QStringLiteral("@DEFAULT_MONITOR@")});
    }
    ~DeviceRecording()
    {
        parec_.kill();
        parec_.waitForFinished();
    }
    DeviceRecording(const DeviceRecording &) = delete;
    DeviceRecording &operator=(const DeviceRecording &) = delete;

    bool started() { return parec_.waitForStarted(); }

    // Times at which a loud sound began after half a second of quiet.
    std::vector<Clock::time_point> beepOnsets() const
    {
        std::vector<Clock::time_point> onsets;
        size_t quiet = 0;
        for (size_t i = 0; i < samples_.size(); ++i) {
            if (std::abs(samples_[i]) < 1600) {
                ++quiet;
                continue;
            }
            if (quiet > kRate / 2)
                onsets.push_back(timeOf(i));
            quiet = 0;
        }
        return onsets;
    }

private:
    static constexpr size_t kRate = 48000;

    void take()
    {
        const Clock::time_point now = Clock::now();
        const QByteArray bytes = parec_.readAllStandardOutput();
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            samples_.push_back(int16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
        arrivals_.push_back({samples_.size(), now});
    }
    // A sample came out no later than each block after it reached us, less
    // the samples between: the block that reached us soonest within half a
    // second tells best, as a busy moment only ever delays one.
    Clock::time_point timeOf(size_t sample) const
    {
        std::optional<Clock::time_point> earliest;
        for (const auto &[end, at] : arrivals_) {
            if (end <= sample)
                continue;
            if (end - sample > kRate / 2)
                break;
            const Clock::time_point out =
                at - std::chrono::microseconds((end - sample) * 1000000 / kRate);
            earliest = earliest ? std::min(*earliest, out) : out;
        }
        return earliest.value_or(Clock::time_point{});
    }

    QProcess parec_;
    std::vector<int16_t> samples_;
    std::vector<std::pair<size_t, Clock::time_point>> arrivals_;
};

} // namespace

// At a start and at a jump the sound waits for the first picture: sound
// running ahead would make the pictures hurry (or drop) to catch up with it.
TEST(DvdEngineSound, SoundStartsInStepWithTheFirstPictureAtEachStart)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return heardNow(player.recorder).has_value(); }));
    const std::optional<int64_t> atStart = soundAheadWhenHeard(player.recorder.pictures(), 0);
    ASSERT_TRUE(atStart);
    EXPECT_LT(std::abs(*atStart), kInStep90k) << "at the start: " << *atStart / 90 << " ms";

    player.engine->PlayNextChapter();
    ASSERT_TRUE(player.waitForTitle(1, 2));
    const int64_t chapter2 = 4 * kSecond90k;
    ASSERT_TRUE(waitFor(
        [&] { return soundAheadWhenHeard(player.recorder.pictures(), chapter2).has_value(); }));
    const int64_t atJump = *soundAheadWhenHeard(player.recorder.pictures(), chapter2);
    EXPECT_LT(std::abs(atJump), kInStep90k) << "at the jump: " << atJump / 90 << " ms";
}

TEST(DvdEngineSound, SwitchingTheAudioStreamSwitchesTheToneWithinASecond)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 1.5 && heardNow(player.recorder); }));
    const int64_t english = lastSoundPts(player.recorder);
    EXPECT_NEAR(toneAfter(player.recorder.sound(), english - kSecond90k / 2), 440.0, 10.0);

    for (const auto &[stream, hertz] : {std::pair{1, 660.0}, std::pair{0, 440.0}}) {
        const int64_t heardAtSwitch = *heardNow(player.recorder);
        const double secondsAtSwitch = player.seconds();
        player.engine->setCurrentAudioStream(stream);
        EXPECT_EQ(player.engine->CurrentAudioStream(), stream);
        std::optional<int64_t> switched;
        ASSERT_TRUE(waitFor(
            [&] {
                switched = firstBlockWithTone(player.recorder.sound(), heardAtSwitch, hertz);
                return switched.has_value();
            },
            3000))
            << "no " << hertz << " Hz tone after switching to stream " << stream;
        EXPECT_LT(*switched - heardAtSwitch, kSecond90k) << "the new stream is heard too late";
        ASSERT_TRUE(waitFor([&] { return player.seconds() > secondsAtSwitch + 1.0; }));
        EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kTitle);
        EXPECT_EQ(player.engine->CurrentTitle(), 1);
    }

    // The sound runs on without a hole: consecutive blocks follow each other.
    const std::vector<Recorder::Sound> sound = player.recorder.sound();
    int64_t longestGap = 0;
    for (size_t i = 1; i < sound.size(); ++i) {
        const int64_t end = sound[i - 1].pts + int64_t(sound[i - 1].left.size()) * kSecond90k /
                                                   sound[i - 1].sampleRate;
        longestGap = std::max(longestGap, sound[i].pts - end);
    }
    EXPECT_LT(longestGap, kSecond90k / 10);
}

TEST(DvdEngineSound, FlashAndBeepReachTheViewerTogether)
{
    Player player(TestDisc::avSyncFolder());
    ASSERT_NO_FATAL_FAILURE(playFlashesWithAPause(player, 700));

    const std::vector<int64_t> beeps = beepOnsets(player.recorder.sound());
    ASSERT_GE(beeps.size(), 5u);
    std::vector<int64_t> offsets;
    for (const Recorder::Picture &flash : flashes(player.recorder.pictures())) {
        if (!flash.heard90k)
            continue;
        const auto nearest = std::min_element(beeps.begin(), beeps.end(), [&](auto a, auto b) {
            return std::abs(a - flash.pts) < std::abs(b - flash.pts);
        });
        offsets.push_back(*flash.heard90k - *nearest);
    }
    ASSERT_GE(offsets.size(), 4u);
    for (const int64_t offset : offsets)
        EXPECT_LT(std::abs(offset), 40 * 90) << "flash and beep " << offset / 90 << " ms apart";
}

// A title that ends the disc is seen and heard to its end before the disc
// stops: the last pictures were read long before they are due.
TEST(DvdEngineSound, TheLastSecondsOfTheDiscAreShownAndHeardBeforeItStops)
{
    Player player(TestDisc::avSyncFolder());
    player.engine->Play();
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kStop, 20000));
    const std::vector<Recorder::Picture> pictures = player.recorder.pictures();
    ASSERT_FALSE(pictures.empty());
    const int64_t end90k =
        int64_t(TestDisc::authored()["avsync"].toObject()["duration_seconds"].toDouble() * 90000);
    const int64_t frame90k = 90000 / 25;
    EXPECT_GE(pictures.back().titleTime90k, end90k - 2 * frame90k);
    // A loaded machine may drop a picture at the start, never seconds at the end.
    EXPECT_GE(pictures.back().pts - pictures.front().pts, end90k - 5 * frame90k);
}

// Through a sound server: the flash is on screen when its beep comes out of
// the device, not when the device was handed it, also after a pause. Counting
// what the device had read as heard, the beep came 1 to 22 ms before.
TEST(DvdEngineSound, FlashAndBeepComeOutOfTheDeviceTogether)
{
    if (!TestDisc::soundThroughADevice())
        GTEST_SKIP() << "runs through a sound server only";
    DeviceRecording device;
    ASSERT_TRUE(device.started());
    Player player(TestDisc::avSyncFolder());
    ASSERT_NO_FATAL_FAILURE(playFlashesWithAPause(player, 1500));
    QTest::qWait(200);

    const std::vector<DeviceRecording::Clock::time_point> beeps = device.beepOnsets();
    ASSERT_GE(beeps.size(), 4u);
    std::vector<int64_t> offsetsMs;
    for (const Recorder::Picture &flash : flashes(player.recorder.pictures())) {
        const auto nearest = std::min_element(beeps.begin(), beeps.end(), [&](auto a, auto b) {
            return std::abs((a - flash.at).count()) < std::abs((b - flash.at).count());
        });
        offsetsMs.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(*nearest - flash.at).count());
    }
    ASSERT_GE(offsetsMs.size(), 4u);
    for (const int64_t offset : offsetsMs)
        EXPECT_LT(std::abs(offset), 10) << "the beep came out " << offset << " ms after its flash";
}
