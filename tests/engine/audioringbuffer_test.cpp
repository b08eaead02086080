#include "engine/output/audioclock.h"
#include "engine/output/audioringbuffer.h"

#include "support/waitfor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <random>
#include <thread>

using namespace std::chrono_literals;

namespace
{

const PcmFormat kFormat{48000, 2, PcmSampleType::Int16};
constexpr int kBytesPerMs = 192; // 48 frames of 4 bytes

QByteArray bytesFor(int milliseconds, char fill = 0)
{
    return QByteArray(milliseconds * kBytesPerMs, fill);
}

AudioRingBuffer::WriteResult write(AudioRingBuffer &ring, const QByteArray &data, int64_t pts,
                                   std::chrono::milliseconds timeout = 0ms)
{
    return ring.write(data.constData(), data.size(), pts, timeout);
}

// A write on a thread of its own, once it waits for room.
std::future<AudioRingBuffer::WriteResult> blockedWrite(AudioRingBuffer &ring, int milliseconds)
{
    auto writer = std::async(std::launch::async, [&ring, milliseconds] {
        return write(ring, bytesFor(milliseconds), 900, 5s);
    });
    const bool waiting = waitFor([&] { return ring.waitingWriters() == 1; }, 5000);
    EXPECT_TRUE(waiting) << "the writer never waited for room";
    return writer;
}

} // namespace

TEST(AudioRingBufferTest, KeepsBytesInOrderAcrossTheWrap)
{
    AudioRingBuffer ring(kFormat, 1000);
    std::mt19937 random(3);
    uint8_t nextWritten = 0;
    uint8_t nextRead = 0;
    for (int round = 0; round < 2000; ++round) {
        QByteArray block(4 * int(1 + random() % 60), '\0');
        for (char &byte : block)
            byte = char(nextWritten++);
        if (write(ring, block, 0) != AudioRingBuffer::WriteResult::Written)
            nextWritten = uint8_t(nextWritten - block.size());
        char out[400];
        const qsizetype got = ring.read(out, 4 * qsizetype(random() % 100));
        for (qsizetype i = 0; i < got; ++i)
            ASSERT_EQ(uint8_t(out[i]), nextRead++) << "round " << round;
        ASSERT_EQ(ring.writePosition() - ring.readPosition(), ring.queuedBytes());
    }
}

TEST(AudioRingBufferTest, RejectsPartialFramesAndBlocksLargerThanItself)
{
    AudioRingBuffer ring(kFormat, 1000);
    EXPECT_EQ(ring.write("abc", 3, 0, 0ms), AudioRingBuffer::WriteResult::Rejected);
    EXPECT_EQ(write(ring, QByteArray(), 0), AudioRingBuffer::WriteResult::Rejected);
    EXPECT_EQ(write(ring, QByteArray(1004, 0), 0), AudioRingBuffer::WriteResult::Rejected);
    EXPECT_EQ(ring.writePosition(), 0);
    EXPECT_FALSE(ring.timestampAt(0));
}

TEST(AudioRingBufferTest, WaitsForRoomUpToTheTimeout)
{
    AudioRingBuffer ring(kFormat, 10 * kBytesPerMs);
    ASSERT_EQ(write(ring, bytesFor(8), 0), AudioRingBuffer::WriteResult::Written);
    EXPECT_EQ(write(ring, bytesFor(4), 0), AudioRingBuffer::WriteResult::Full);
    EXPECT_EQ(write(ring, bytesFor(4), 0, 20ms), AudioRingBuffer::WriteResult::Full);
    EXPECT_EQ(ring.writePosition(), 8 * kBytesPerMs);

    auto writer = blockedWrite(ring, 4);
    char out[4 * kBytesPerMs];
    EXPECT_EQ(ring.read(out, sizeof out), 4 * kBytesPerMs);
    EXPECT_EQ(writer.get(), AudioRingBuffer::WriteResult::Written);
    EXPECT_EQ(ring.writePosition(), 12 * kBytesPerMs);
}

TEST(AudioRingBufferTest, ClearAndCloseReleaseABlockedWriter)
{
    AudioRingBuffer ring(kFormat, 10 * kBytesPerMs);
    ASSERT_EQ(write(ring, bytesFor(10), 500), AudioRingBuffer::WriteResult::Written);

    auto cleared = blockedWrite(ring, 5);
    ring.clear();
    EXPECT_EQ(cleared.get(), AudioRingBuffer::WriteResult::Written);
    EXPECT_EQ(ring.queuedBytes(), 5 * kBytesPerMs);
    EXPECT_EQ(ring.readPosition(), 10 * kBytesPerMs);
    EXPECT_FALSE(ring.timestampAt(0)) << "marks from before the clear are gone";
    EXPECT_EQ(ring.timestampAt(10 * kBytesPerMs)->pts90k, 900);

    ASSERT_EQ(write(ring, bytesFor(5), 0), AudioRingBuffer::WriteResult::Written);
    auto closed = blockedWrite(ring, 5);
    ring.close();
    EXPECT_EQ(closed.get(), AudioRingBuffer::WriteResult::Closed);
    EXPECT_EQ(write(ring, bytesFor(1), 0), AudioRingBuffer::WriteResult::Closed);
}

TEST(AudioRingBufferTest, TimestampsComeFromTheMarksAndJumpsStartANewEpoch)
{
    AudioRingBuffer ring(kFormat, 1000 * kBytesPerMs);
    write(ring, bytesFor(100), 90000);
    write(ring, bytesFor(100), 90000 + 9000); // continues
    write(ring, bytesFor(100), 10000);        // jumps back

    const auto start = ring.timestampAt(0);
    const auto inside = ring.timestampAt(50 * kBytesPerMs);
    const auto second = ring.timestampAt(150 * kBytesPerMs);
    const auto jumped = ring.timestampAt(250 * kBytesPerMs);
    ASSERT_TRUE(start && inside && second && jumped);
    EXPECT_EQ(start->pts90k, 90000);
    EXPECT_EQ(inside->pts90k, 90000 + 4500);
    EXPECT_EQ(second->pts90k, 90000 + 13500);
    EXPECT_EQ(jumped->pts90k, 10000 + 4500);
    EXPECT_EQ(start->epoch, second->epoch);
    EXPECT_NE(second->epoch, jumped->epoch);

    ring.forgetMarksBefore(150 * kBytesPerMs);
    EXPECT_FALSE(ring.timestampAt(50 * kBytesPerMs));
    EXPECT_EQ(ring.timestampAt(150 * kBytesPerMs)->pts90k, 90000 + 13500);
}

// Held sound is not read; its release drops what lies before the picture
// on screen, and an older hold's release leaves a newer hold in place.
TEST(AudioRingBufferTest, AHoldKeepsTheSoundUntilReleasedFromThePicturesTime)
{
    AudioRingBuffer ring(kFormat, 1000 * kBytesPerMs);
    ring.hold(1);
    ring.hold(2);
    write(ring, bytesFor(100), 90000);
    write(ring, bytesFor(100), 90000 + 9000);
    char out[64];
    EXPECT_EQ(ring.read(out, sizeof out), 0);
    EXPECT_EQ(ring.firstQueuedPts(), 90000);

    EXPECT_FALSE(ring.release(1, 0));
    EXPECT_TRUE(ring.held());
    EXPECT_TRUE(ring.release(2, 90000 + 9000 + 900)); // 110 ms in
    EXPECT_FALSE(ring.held());
    EXPECT_EQ(ring.readPosition(), 110 * kBytesPerMs);
    EXPECT_EQ(ring.firstQueuedPts(), 90000 + 9900);
    EXPECT_EQ(ring.read(out, sizeof out), qsizetype(sizeof out));

    ring.hold(3);
    ring.clear();
    EXPECT_FALSE(ring.held());
}

class AudioClockTest : public ::testing::Test
{
protected:
    AudioRingBuffer ring_{kFormat, 1000 * kBytesPerMs};
    AudioClock clock_{ring_};
    const AudioClock::SteadyClock::time_point now_ = AudioClock::SteadyClock::now();
};

TEST_F(AudioClockTest, GivesNothingUntilTheDeviceReports)
{
    write(ring_, bytesFor(100), 90000);
    EXPECT_FALSE(clock_.now90k());
    clock_.publish(0, 0, false, now_);
    EXPECT_EQ(clock_.now90k(), 90000);
    clock_.invalidate();
    EXPECT_FALSE(clock_.now90k());
}

TEST_F(AudioClockTest, TellsThePtsOfTheSampleLeavingTheDevice)
{
    write(ring_, bytesFor(100), 90000);
    write(ring_, bytesFor(100), 500000);
    clock_.publish(40 * kBytesPerMs, 100 * kBytesPerMs, false, now_);
    EXPECT_EQ(clock_.now90k(), 90000 + 40 * 90);
    clock_.publish(120 * kBytesPerMs, 150 * kBytesPerMs, false, now_);
    EXPECT_EQ(clock_.now90k(), 500000 + 20 * 90);
    // Everything written has been heard: no sound plays.
    clock_.publish(200 * kBytesPerMs, 200 * kBytesPerMs, false, now_);
    EXPECT_FALSE(clock_.now90k());
}

TEST_F(AudioClockTest, RunsOnBetweenReportsButNotPastWhatTheDeviceHolds)
{
    write(ring_, bytesFor(1000), 0);
    clock_.publish(0, 20 * kBytesPerMs, true, now_ - 50ms);
    EXPECT_EQ(clock_.now90k(), 20 * 90) << "never past what the device was handed";

    clock_.publish(0, 1000 * kBytesPerMs, true, now_ - 50ms);
    const int64_t running = *clock_.now90k();
    EXPECT_GE(running, 50 * 90);
    EXPECT_LE(running, 100 * 90);

    // No news from the device for long: it has stopped, and so does the time.
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(clock_.now90k(), 100 * 90);
}

TEST_F(AudioClockTest, FollowsFreshReportsOnlyWhenTheyDisagree)
{
    write(ring_, bytesFor(1000), 0);
    clock_.publish(0, 1000 * kBytesPerMs, true, now_ - 30ms);
    // A stale report (unchanged) trailing the estimate is not followed...
    clock_.publish(0, 1000 * kBytesPerMs, true);
    EXPECT_GE(*clock_.now90k(), 30 * 90);
    // ...nor a fresh one a few milliseconds behind...
    clock_.publish(25 * kBytesPerMs, 1000 * kBytesPerMs, true);
    EXPECT_GE(*clock_.now90k(), 30 * 90);
    // ...but one ahead of it is.
    clock_.publish(300 * kBytesPerMs, 1000 * kBytesPerMs, true);
    EXPECT_GE(*clock_.now90k(), 300 * 90);
}

TEST_F(AudioClockTest, NeverStepsBackWithinOneTimeline)
{
    write(ring_, bytesFor(100), 90000);
    write(ring_, bytesFor(100), 90000 + 9000);
    clock_.publish(60 * kBytesPerMs, 100 * kBytesPerMs, false, now_);
    const int64_t first = *clock_.now90k();
    // The device's own report can lag the extrapolation a little.
    clock_.publish(55 * kBytesPerMs, 100 * kBytesPerMs, false, now_);
    EXPECT_EQ(clock_.now90k(), first);

    write(ring_, bytesFor(100), 0);
    clock_.publish(210 * kBytesPerMs, 300 * kBytesPerMs, false, now_);
    EXPECT_EQ(clock_.now90k(), 10 * 90) << "a jump in the stream is followed";
}

TEST_F(AudioClockTest, StandsStillWhilePaused)
{
    write(ring_, bytesFor(1000), 0);
    clock_.publish(0, 1000 * kBytesPerMs, true, now_ - 100ms);
    clock_.pause();
    EXPECT_TRUE(clock_.isPaused());
    const int64_t paused = *clock_.now90k();
    std::this_thread::sleep_for(30ms);
    clock_.publish(900 * kBytesPerMs, 1000 * kBytesPerMs, true);
    EXPECT_EQ(clock_.now90k(), paused) << "late device reports do not move a paused clock";

    clock_.resume();
    std::this_thread::sleep_for(30ms);
    const int64_t resumed = *clock_.now90k();
    EXPECT_GE(resumed, paused + 20 * 90);
    EXPECT_LT(resumed, paused + 500 * 90);
}
