#include "testdisc.h"

#include "engine/navigation/navsession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>

using namespace TestDisc;
using Clock = std::chrono::steady_clock;

namespace
{
// A drive that stops answering on demand: every read waits while it is
// held, like one on a scratched disc.
struct Stall {
    std::mutex mutex;
    std::condition_variable changed;
    bool held = false;
    int waiting = 0;

    void pass()
    {
        std::unique_lock lock(mutex);
        ++waiting;
        changed.wait(lock, [this] { return !held; });
        --waiting;
    }
    void set(bool hold)
    {
        std::lock_guard lock(mutex);
        held = hold;
        changed.notify_all();
    }
    bool stuck()
    {
        std::lock_guard lock(mutex);
        return waiting > 0;
    }
};

class StallingReader : public BlockReader
{
public:
    explicit StallingReader(std::shared_ptr<Stall> stall) : stall_(std::move(stall)) {}
    dvdnav_status_t next(dvdnav_t *nav, uint8_t **block, int32_t *event, int32_t *length) override
    {
        stall_->pass();
        return dvdnav_get_next_cache_block(nav, block, event, length);
    }

private:
    std::shared_ptr<Stall> stall_;
};

qint64 millisecondsOf(const std::function<void()> &call)
{
    const auto start = Clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
} // namespace

TEST(DvdEngineStalledDrive, StopPlayAndExitReturnWhileAReadHangs)
{
    auto stall = std::make_shared<Stall>();
    {
        auto player = std::make_unique<Player>(iso());
        player->engine->setBlockReaders(
            [stall] { return std::make_shared<StallingReader>(stall); });
        player->playTitleFromMenu(0);
        ASSERT_TRUE(player->waitForDomain(DvdDomain::kTitle));

        stall->set(true);
        ASSERT_TRUE(waitFor([&] { return stall->stuck(); }, 5000));
        EXPECT_LT(millisecondsOf([&] { player->engine->Stop(); }), 1000);
        EXPECT_EQ(player->engine->CurrentDomain(), DvdDomain::kStop);

        // The drive still hangs: a new session starts and hangs in its turn,
        // and the control goes away as the program's exit would take it.
        EXPECT_LT(millisecondsOf([&] { player->engine->Play(); }), 1000);
        EXPECT_LT(millisecondsOf([&] { player.reset(); }), 1000);
    }
    // The threads left behind end once their reads return.
    stall->set(false);
}

namespace
{
// A drive spinning up: the probe of the sample folder waits while the stall
// holds, then reads the disc or fails as told.
struct SpinningUp {
    std::shared_ptr<Stall> stall = std::make_shared<Stall>();
    std::shared_ptr<std::atomic<bool>> fails = std::make_shared<std::atomic<bool>>(false);

    explicit SpinningUp(DvdEngine &engine)
    {
        stall->set(true);
        engine.setDiscProber([stall = stall, fails = fails](const DiscSource &source) {
            stall->pass();
            if (*fails)
                throw AppError(ErrorNumbers::kUnreadableSource, QStringLiteral("No disc."));
            return DvdSource::probe(source);
        });
        engine.setDVDDirectory(folder());
    }
    ~SpinningUp() { stall->set(false); }
};
} // namespace

TEST(DvdEngineStalledDrive, PlayOnADriveSpinningUpReturnsAndPlaysWhenTheDiscIsRead)
{
    Player player(iso());
    SpinningUp drive(*player.engine);
    player.engine->Play();
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kFirstPlay);
    EXPECT_THROW(player.engine->ShowMenu(DvdMenu::kTitle), AppError);
    // Stop ends the wait; Play waits again on the same probe.
    player.engine->Stop();
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);
    player.engine->Play();
    player.engine->Play();
    ASSERT_TRUE(waitFor([&] { return drive.stall->stuck(); }, 5000));
    drive.stall->set(false);
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
}

TEST(DvdEngineStalledDrive, APlayWaitingForTheDriveFailsLateWithTheReasonOrNotAtAllOnceStopped)
{
    Player player(iso());
    SpinningUp drive(*player.engine);
    std::vector<std::pair<int, QString>> failures;
    QObject::connect(player.engine.get(), &DvdControl::PlayFailed,
                     [&](int number, const QString &description) {
                         failures.emplace_back(number, description);
                     });

    // Stopped before the drive answers: nothing starts when it does.
    player.engine->Play();
    player.engine->Stop();
    drive.stall->set(false);
    ASSERT_TRUE(waitFor([&] { return !drive.stall->stuck(); }, 5000));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);

    // The disc cannot be read.
    *drive.fails = true;
    player.engine->setDVDDirectory(iso());
    drive.stall->set(true);
    player.engine->setDVDDirectory(folder());
    player.engine->Play();
    drive.stall->set(false);
    ASSERT_TRUE(waitFor([&] { return !failures.empty(); }, 5000));
    EXPECT_EQ(failures.front(),
              std::make_pair(int(ErrorNumbers::kUnreadableSource), QStringLiteral("No disc.")));
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);

    // The drive never answers.
    player.engine->setDVDDirectory(iso());
    drive.stall->set(true);
    player.engine->setDVDDirectory(folder());
    player.engine->setProbePatienceForPlay(std::chrono::milliseconds(200));
    player.engine->Play();
    ASSERT_TRUE(waitFor([&] { return failures.size() == 2; }, 5000));
    EXPECT_TRUE(failures.back().second.contains("does not answer"));
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);
}

TEST(DvdEngineStalledDrive, ProbesOfAHungDriveHoldNoMoreThreadsThanTheirCap)
{
    auto stall = std::make_shared<Stall>();
    stall->set(true);
    const DiscProber prober = [stall](const DiscSource &source) {
        stall->pass();
        return DvdSource::probe(source);
    };
    const DiscSource source = DvdSource::resolve(folder());
    auto threads = std::make_shared<ProbeThreads>(2);
    {
        const DiscProbe first(source, prober, threads);
        const DiscProbe second(source, prober, threads);
        const DiscProbe third(source, prober, threads);
        EXPECT_TRUE(third.answered());
        EXPECT_THROW(third.result(std::chrono::milliseconds(0)), AppError);
        EXPECT_EQ(threads->running(), 2);
    }
    // Gone before the drive answered: their threads hold their places until
    // the reads return, then give them back.
    EXPECT_EQ(threads->running(), 2);
    stall->set(false);
    ASSERT_TRUE(waitFor([&] { return threads->running() == 0; }, 5000));
    const DiscProbe again(source, prober, threads);
    EXPECT_NO_THROW(again.result(std::chrono::milliseconds(5000)));
}
