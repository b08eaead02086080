#include "testdisc.h"

#include <gtest/gtest.h>

using TestDisc::Player;

TEST(DvdEngineNavigation, StartsInFirstPlayAndReachesTheVideoManagerMenu)
{
    Player player;
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    ASSERT_TRUE(TestDisc::waitFor([&] { return !player.engine->currentPicture().isNull(); }));
    const QImage picture = player.engine->currentPicture();
    EXPECT_EQ(picture.size(), QSize(768, 576));
}
