#include "engine/output/audiooutput.h"

#include "support/waitfor.h"
#include "testdisc.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace
{

constexpr int64_t kTicksPerMs = 90;

AudioOutputOptions silent(std::chrono::milliseconds queueLength = 500ms)
{
    AudioOutputOptions options;
    options.sink = AudioOutputOptions::Sink::Silent;
    options.queueLength = queueLength;
    return options;
}

PcmBlock block(const AudioOutput &output, int milliseconds, int64_t pts90k)
{
    const PcmFormat &format = output.format();
    return PcmBlock{QByteArray(qsizetype(format.bytesPerSecond() * milliseconds / 1000), '\0'),
                    pts90k};
}

// Pushes milliseconds of sound in 20 ms blocks from pts onwards.
void pushRun(AudioOutput &output, int milliseconds, int64_t pts)
{
    for (int at = 0; at < milliseconds; at += 20)
        ASSERT_EQ(output.push(block(output, 20, pts + at * kTicksPerMs), 5s),
                  AudioOutput::PushResult::Accepted);
}

} // namespace

TEST(AudioOutputTest, SilentSinkTakesTheUsualFormatAndHasNoClockWhileEmpty)
{
    AudioOutput output(silent());
    EXPECT_TRUE(output.isSilent());
    EXPECT_EQ(output.format(), (PcmFormat{48000, 2, PcmSampleType::Int16}));
    EXPECT_FALSE(output.audioClock90k());
    EXPECT_TRUE(output.isDrained());
}

// The device opens on the audio thread after the constructor has returned:
// an output dropped at once, or told things before it is open, waits for it.
TEST(AudioOutputTest, AnOutputDroppedOrToldThingsWhileOpeningStaysWhole)
{
    for (int round = 0; round < 10; ++round) {
        AudioOutput dropped(silent());
        AudioOutput told(silent());
        told.setVolume(0.5f);
        told.pause();
        EXPECT_TRUE(told.isPaused());
        told.resume();
        EXPECT_TRUE(told.waitUntilOpen(5s));
    }
}

TEST(AudioOutputTest, SilentSinkDrainsAtAboutRealTime)
{
    AudioOutput output(silent(2s));
    QElapsedTimer timer;
    timer.start();
    pushRun(output, 1000, 900000);
    EXPECT_GT(output.queuedDuration(), 500ms);

    std::optional<int64_t> clock;
    ASSERT_TRUE(waitFor(
        [&] { return (clock = output.audioClock90k()) && *clock - 900000 > 100 * kTicksPerMs; },
        5000));
    // Never ahead of the time that really passed.
    EXPECT_LT(*clock - 900000, (timer.elapsed() + 50) * kTicksPerMs);

    ASSERT_TRUE(waitFor([&] { return output.isDrained(); }, 5000));
    EXPECT_GT(timer.elapsed(), 500);
    EXPECT_LT(timer.elapsed(), 2500);
    EXPECT_FALSE(output.audioClock90k()) << "ran dry: no sound plays";
}

TEST(AudioOutputTest, ClockIsMonotonicWhileAnotherThreadPushes)
{
    AudioOutput output(silent(100ms));
    std::atomic<bool> done = false;
    std::thread pusher([&] {
        pushRun(output, 800, 3000000);
        done = true;
    });
    int64_t last = 0;
    int64_t first = -1;
    int readings = 0;
    while (!done) {
        if (const std::optional<int64_t> clock = output.audioClock90k()) {
            ASSERT_GE(*clock, last);
            last = *clock;
            if (first < 0)
                first = *clock;
            ++readings;
        }
        std::this_thread::yield();
    }
    pusher.join();
    EXPECT_GT(readings, 100);
    EXPECT_GE(first, 3000000);
    EXPECT_GT(last - first, 400 * kTicksPerMs) << "a blocked pusher still made progress";
}

TEST(AudioOutputTest, PauseHoldsClockAndQueueUntilResumed)
{
    AudioOutput output(silent());
    pushRun(output, 400, 0);
    ASSERT_TRUE(
        waitFor([&] { return output.audioClock90k().value_or(0) > 50 * kTicksPerMs; }, 2000));

    output.pause();
    EXPECT_TRUE(output.isPaused());
    const std::optional<int64_t> held = output.audioClock90k();
    std::this_thread::sleep_for(50ms); // let the audio thread act on it
    const auto queued = output.queuedDuration();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(output.audioClock90k(), held);
    EXPECT_EQ(output.queuedDuration(), queued);
    EXPECT_FALSE(output.isDrained());

    output.resume();
    EXPECT_FALSE(output.isPaused());
    ASSERT_TRUE(waitFor(
        [&] { return output.audioClock90k().value_or(0) > *held + 50 * kTicksPerMs; }, 2000));
}

TEST(AudioOutputTest, FlushDropsEverythingAndTheClockFollowsTheNextSound)
{
    AudioOutput output(silent());
    pushRun(output, 400, 900000);
    ASSERT_TRUE(waitFor([&] { return output.audioClock90k().has_value(); }, 2000));

    output.flush();
    EXPECT_FALSE(output.audioClock90k());
    EXPECT_TRUE(output.isDrained());
    EXPECT_EQ(output.queuedDuration(), 0us);

    pushRun(output, 200, 5000000);
    ASSERT_TRUE(waitFor([&] { return output.audioClock90k().has_value(); }, 2000));
    EXPECT_GE(*output.audioClock90k(), 5000000);
    EXPECT_LT(*output.audioClock90k(), 5000000 + 200 * kTicksPerMs);
}

TEST(AudioOutputTest, ClockFollowsAJumpBackInTheStream)
{
    AudioOutput output(silent());
    pushRun(output, 100, 900000);
    pushRun(output, 300, 100000);
    ASSERT_TRUE(waitFor([&] { return output.audioClock90k().value_or(900000) < 900000; }, 2000));
    EXPECT_GE(*output.audioClock90k(), 100000);
}

TEST(AudioOutputTest, PushIsBounded)
{
    AudioOutput output(silent(100ms));
    output.pause(); // nothing drains meanwhile
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(output.push(block(output, 80, 0)), AudioOutput::PushResult::Accepted);
    EXPECT_EQ(output.push(block(output, 40, 7200)), AudioOutput::PushResult::Full);
    EXPECT_EQ(output.push(block(output, 40, 7200), 30ms), AudioOutput::PushResult::Full);
    EXPECT_EQ(output.push(PcmBlock{QByteArray(6, '\0'), 0}), AudioOutput::PushResult::Rejected);
    EXPECT_EQ(output.push(block(output, 200, 0), 1s), AudioOutput::PushResult::Rejected);

    output.resume();
    EXPECT_EQ(output.push(block(output, 40, 7200), 2s), AudioOutput::PushResult::Accepted);
}

TEST(AudioOutputTest, PlaysThroughTheDefaultDeviceWhenThereIsOne)
{
    AudioOutput output;
    ASSERT_FALSE(output.isSilent() && TestDisc::soundThroughADevice())
        << "no device, where a sound server was started for the test";
    if (output.isSilent())
        GTEST_SKIP() << "no audio device here";
    pushRun(output, 300, 0);
    ASSERT_TRUE(
        waitFor([&] { return output.audioClock90k().value_or(0) > 50 * kTicksPerMs; }, 3000));
    EXPECT_TRUE(waitFor([&] { return output.isDrained(); }, 5000));
}
