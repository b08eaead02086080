#include "testdisc.h"

#include "engine/navigation/navsession.h"

#include <gtest/gtest.h>

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
