#include "engine/drive/driveregion.h"
#include "engine/fakedrive.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace
{

struct DriveRegionTest : ::testing::Test {
    std::shared_ptr<FakeDriveModel> model = std::make_shared<FakeDriveModel>();
    DriveRegion drive{std::make_unique<FakeDrive>(model)};

    AppError errorOf(const std::function<void()> &action)
    {
        const auto error = trapFirstError(action);
        EXPECT_TRUE(error.has_value());
        return error.value_or(AppError(0, {}));
    }
};

RegionState stateWithMask(uint8_t mask, bool enforced = true)
{
    RegionState state;
    state.regionMask = mask;
    state.enforced = enforced;
    state.userChangesLeft = 5;
    return state;
}

} // namespace

TEST(RegionState, DecodesEverySettingWithItsCounters)
{
    const RegionState::Setting settings[] = {RegionState::Setting::None, RegionState::Setting::Set,
                                             RegionState::Setting::Restricted,
                                             RegionState::Setting::Permanent};
    for (int type = 0; type < 4; ++type) {
        dvd_lu_send_rpcstate reply{};
        reply.type = type;
        reply.vra = 3;
        reply.ucca = 7 - type;
        reply.region_mask = 0xfb;
        reply.rpc_scheme = type == 2 ? 0 : 1;
        const RegionState state = RegionState::decode(reply);
        EXPECT_EQ(state.setting, settings[type]);
        EXPECT_EQ(state.vendorResetsLeft, 3);
        EXPECT_EQ(state.userChangesLeft, 7 - type);
        EXPECT_EQ(state.regionMask, 0xfb);
        EXPECT_EQ(state.enforced, type != 2);
    }
}

TEST(RegionState, ClearMaskBitsAreThePlayableRegions)
{
    EXPECT_EQ(stateWithMask(0xfd).regions(), QList<int>{2});
    EXPECT_EQ(stateWithMask(0xfd).region(), 2);
    EXPECT_EQ(stateWithMask(0x7f).region(), 8);
    EXPECT_EQ(stateWithMask(0xfc).regions(), (QList<int>{1, 2}));
    EXPECT_FALSE(stateWithMask(0xfc).region().has_value());
    EXPECT_TRUE(stateWithMask(0xff).regions().isEmpty());
    EXPECT_EQ(stateWithMask(0x00).regions().size(), 8);

    EXPECT_EQ(stateWithMask(0xfe).regionsText(), "region 1");
    EXPECT_EQ(stateWithMask(0xf5).regionsText(), "regions 2, 4");
    EXPECT_EQ(stateWithMask(0xff).regionsText(), "no region");
    EXPECT_EQ(stateWithMask(0x00).regionsText(), "every region");
    EXPECT_EQ(stateWithMask(0xfd, false).regionsText(), "every region");
}

TEST_F(DriveRegionTest, ReadsTheStateTheDriveReports)
{
    model->type = 2;
    model->userChanges = 1;
    model->vendorResets = 4;
    model->mask = 0xfb;
    const RegionState state = drive.read();
    EXPECT_EQ(state.setting, RegionState::Setting::Restricted);
    EXPECT_EQ(state.region(), 3);
    EXPECT_EQ(state.userChangesLeft, 1);
    EXPECT_EQ(state.vendorResetsLeft, 4);
    EXPECT_TRUE(state.enforced);
    EXPECT_EQ(model->reads, 1);
    EXPECT_TRUE(model->changes.empty());
    EXPECT_EQ(model->otherRequests, 0);
}

TEST_F(DriveRegionTest, ReadingRefusesWithReadableReasons)
{
    model->status = CDS_NO_DISC;
    AppError error = errorOf([&] { drive.read(); });
    EXPECT_EQ(error.number(), ErrorNumbers::kNoDisc);
    EXPECT_TRUE(error.description().contains("/dev/sr0"));
    model->status = CDS_TRAY_OPEN;
    EXPECT_EQ(errorOf([&] { drive.read(); }).number(), ErrorNumbers::kNoDisc);

    model->status = CDS_DISC_OK;
    model->readError = EACCES;
    error = errorOf([&] { drive.read(); });
    EXPECT_EQ(error.number(), ErrorNumbers::kNotPermitted);
    EXPECT_TRUE(error.description().contains("\"cdrom\" group"));

    model->readError = ENOMEDIUM;
    EXPECT_EQ(errorOf([&] { drive.read(); }).number(), ErrorNumbers::kNoDisc);

    model->readError = EIO;
    error = errorOf([&] { drive.read(); });
    EXPECT_EQ(error.number(), ErrorNumbers::kRegionNotReported);
    EXPECT_TRUE(error.description().contains("does not report a DVD region"));
}

TEST_F(DriveRegionTest, DriveStatusWithoutAnswerStillReads)
{
    model->status = -ENOTTY;
    EXPECT_EQ(drive.read().region(), 2);
}

TEST_F(DriveRegionTest, ChangeSendsOneRequestWithTheRegionCode)
{
    const RegionState after = drive.change(5);
    ASSERT_EQ(model->changes.size(), 1u);
    EXPECT_EQ(model->changes[0], 0xef);
    EXPECT_EQ(after.region(), 5);
    EXPECT_EQ(after.userChangesLeft, 4);
}

TEST_F(DriveRegionTest, ChangeRefusesWithoutAskingTheDrive)
{
    AppError error = errorOf([&] { drive.change(0); });
    EXPECT_EQ(error.number(), ErrorNumbers::kInvalidArgument);
    EXPECT_TRUE(error.description().contains("1 to 8"));
    EXPECT_EQ(errorOf([&] { drive.change(9); }).number(), ErrorNumbers::kInvalidArgument);

    model->userChanges = 0;
    error = errorOf([&] { drive.change(3); });
    EXPECT_EQ(error.number(), ErrorNumbers::kNoRegionChangesLeft);
    EXPECT_TRUE(error.description().contains("region 2"));

    model->userChanges = 2;
    model->type = 3;
    EXPECT_EQ(errorOf([&] { drive.change(3); }).number(), ErrorNumbers::kNoRegionChangesLeft);

    model->readError = EPERM;
    EXPECT_EQ(errorOf([&] { drive.change(3); }).number(), ErrorNumbers::kNotPermitted);
    EXPECT_TRUE(model->changes.empty());
}

TEST_F(DriveRegionTest, ChangeIsSkippedWhenNothingWouldChangeOnTheDrive)
{
    EXPECT_EQ(drive.change(2).region(), 2);
    model->scheme = 0;
    drive.change(4);
    EXPECT_TRUE(model->changes.empty());
    EXPECT_EQ(model->userChanges, 5);
}

TEST_F(DriveRegionTest, ARefusedOrIgnoredChangeIsAnError)
{
    model->changeError = EIO;
    AppError error = errorOf([&] { drive.change(1); });
    EXPECT_EQ(error.number(), ErrorNumbers::kRegionNotReported);
    EXPECT_TRUE(error.description().contains("refused"));

    model->changeError = 0;
    model->takesChange = false;
    error = errorOf([&] { drive.change(1); });
    EXPECT_EQ(error.number(), ErrorNumbers::kRegionNotReported);
    EXPECT_TRUE(error.description().contains("did not take region 1"));
    EXPECT_EQ(model->changes.size(), 2u);
}
