#include "engine/present/pictureslot.h"
#include "testdisc.h"

#include <gtest/gtest.h>

using TestDisc::Player;
using TestDisc::waitFor;

TEST(PictureSlot, CountsPicturesPublishedButNotClears)
{
    PictureSlot slot;
    int heard = 0;
    slot.setListener([&] { ++heard; });
    EXPECT_EQ(slot.published(), 0u);
    QImage image(720, 576, QImage::Format_RGB32);
    slot.publish({image, false});
    slot.publish({image, true});
    slot.clear();
    EXPECT_EQ(slot.published(), 2u);
    EXPECT_EQ(heard, 3);
    EXPECT_FALSE(slot.latest().valid());
}

// The count tells a title that moves from a picture painted again: it runs at
// the disc's frame rate while a title plays, and stands still after Stop.
TEST(DvdEnginePicturesShown, FollowsTheTitleAtItsFrameRateAndStopsWithIt)
{
    Player player;
    EXPECT_EQ(player.engine->picturesShown(), 0u);
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1, 1));
    const uint64_t before = player.engine->picturesShown();
    const double from = player.seconds();
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= from + 1.0; }));
    const double elapsed = player.seconds() - from;
    const double pictures = double(player.engine->picturesShown() - before);
    EXPECT_NEAR(pictures / elapsed, 25.0, 5.0);

    player.engine->Stop();
    const uint64_t stopped = player.engine->picturesShown();
    waitFor([] { return false; }, 200);
    EXPECT_EQ(player.engine->picturesShown(), stopped);
}
