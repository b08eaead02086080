#include "engine/control/dvdcontrolinstance.h"
#include "support/qtprinters.h"
#include "support/scripteddvdcontrol.h"

#include <gtest/gtest.h>

TEST(TimeCode, PacksHoursInTheLowestByte)
{
    const TimeCode code{1, 2, 3, 4};
    EXPECT_EQ(code.pack(), 0x04030201);
    const TimeCode back = TimeCode::unpack(code.pack());
    EXPECT_EQ(back.hours, 1);
    EXPECT_EQ(back.minutes, 2);
    EXPECT_EQ(back.seconds, 3);
    EXPECT_EQ(back.frames, 4);
    const TimeCode fromSeconds = TimeCode::fromSeconds(3723.5, 25);
    EXPECT_EQ(fromSeconds.hours, 1);
    EXPECT_EQ(fromSeconds.minutes, 2);
    EXPECT_EQ(fromSeconds.seconds, 3);
    EXPECT_EQ(fromSeconds.frames, 12);
}

TEST(ScriptedDvdControl, RecordsCallsAndFailsOnRequest)
{
    auto *control = ScriptedDvdControl::install();
    EXPECT_EQ(dvdControl(), control);
    control->ShowMenu(3);
    control->failOn("Play", ErrorNumbers::kDecoderMissing, "No decoder");
    EXPECT_THROW(control->Play(), AppError);
    EXPECT_EQ(control->calls, QStringList({"ShowMenu(3)", "Play"}));
    releaseDvdControl();
}
