#include "engine/navigation/readermode.h"

#include <gtest/gtest.h>

using State = ReaderMode::State;
using Action = ReaderMode::Action;
using std::chrono::seconds;

namespace
{
const ReaderMode::Clock::time_point kStart{seconds(1000)};
} // namespace

TEST(ReaderMode, AWaitHoldsUntilTheScreenHasDrainedThenIsSkipped)
{
    ReaderMode mode;
    EXPECT_EQ(mode.metWait(), Action::None);
    EXPECT_EQ(mode.state(), State::DrainForWait);
    EXPECT_TRUE(mode.holding());
    EXPECT_EQ(mode.drained(kStart), Action::SkipWait);
    EXPECT_EQ(mode.state(), State::Reading);
    EXPECT_FALSE(mode.holding());
}

TEST(ReaderMode, ATimedStillShowsAfterTheDrainAndEndsOnTimeWithPausesLeftOut)
{
    ReaderMode mode;
    EXPECT_TRUE(mode.metStill(5));
    EXPECT_EQ(mode.state(), State::DrainForStill);
    EXPECT_EQ(mode.drained(kStart), Action::ShowStill);
    EXPECT_EQ(mode.state(), State::Still);
    EXPECT_EQ(mode.stillEnds(), kStart + seconds(5));

    EXPECT_EQ(mode.tick(kStart + seconds(2), true), Action::None); // paused at 2 s
    EXPECT_FALSE(mode.stillEnds()) << "no deadline while paused";
    EXPECT_EQ(mode.tick(kStart + seconds(6), false), Action::None); // 4 s of pause
    EXPECT_EQ(mode.stillEnds(), kStart + seconds(9));
    EXPECT_EQ(mode.tick(kStart + seconds(9), false), Action::SkipStill);
    EXPECT_EQ(mode.state(), State::Reading);
}

TEST(ReaderMode, AnEndlessStillNeverEndsByItself)
{
    ReaderMode mode;
    mode.metStill(ReaderMode::kEndlessStill);
    mode.drained(kStart);
    EXPECT_EQ(mode.tick(kStart + seconds(3600), false), Action::None);
    EXPECT_FALSE(mode.stillEnds());
}

TEST(ReaderMode, ACommandInAStillReadsOnAndTheStillMetAgainKeepsItsTime)
{
    ReaderMode mode;
    mode.metStill(10);
    mode.drained(kStart);
    EXPECT_EQ(mode.commandRan(), Action::None);
    EXPECT_EQ(mode.state(), State::StillLeft);
    EXPECT_FALSE(mode.holding()) << "stream changes run now";
    EXPECT_FALSE(mode.metStill(10)) << "no second drain";
    EXPECT_EQ(mode.state(), State::Still);
    EXPECT_EQ(mode.stillEnds(), kStart + seconds(10));

    // Reading on past it (a button took the VM elsewhere) leaves the still.
    mode.commandRan();
    EXPECT_EQ(mode.progressed(), Action::LeaveStill);
    EXPECT_EQ(mode.state(), State::Reading);
    EXPECT_EQ(mode.progressed(), Action::None);
}

TEST(ReaderMode, ACommandWhileDrainingDropsTheHoldWithNothingToLeave)
{
    ReaderMode mode;
    mode.metStill(3);
    EXPECT_EQ(mode.commandRan(), Action::None);
    EXPECT_EQ(mode.state(), State::Reading);
    EXPECT_TRUE(mode.metStill(3)) << "met again it drains afresh";

    mode.drained(kStart);
    mode.commandRan();
    EXPECT_EQ(mode.metWait(), Action::LeaveStill) << "a wait after a still shown ends it";
}

TEST(ReaderMode, SteppingScansLeaveAShownStillAndReturnToReading)
{
    ReaderMode mode;
    EXPECT_EQ(mode.startStepping(), Action::None);
    EXPECT_EQ(mode.state(), State::Stepping);
    EXPECT_EQ(mode.drained(kStart), Action::None) << "a step's drain is the scan's own";
    mode.stopStepping();
    EXPECT_EQ(mode.state(), State::Reading);

    mode.metStill(2);
    mode.drained(kStart);
    EXPECT_EQ(mode.startStepping(), Action::LeaveStill);
    EXPECT_EQ(mode.tick(kStart + seconds(5), false), Action::None);
    mode.stopStepping();
    EXPECT_EQ(mode.state(), State::Reading);
}
