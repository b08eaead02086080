#include "engine/control/regionchange.h"
#include "engine/fakedrive.h"
#include "support/qtprinters.h"
#include "support/scripteddialogs.h"
#include "surfaces/regiondialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{

struct RegionDialogTest : ::testing::Test {
    std::shared_ptr<FakeDriveModel> model = std::make_shared<FakeDriveModel>();
    ScriptedDialogs *dialogs = ScriptedDialogs::install();
    QList<int> masks; // every mask handed to the player

    std::unique_ptr<RegionDialog> openDialog()
    {
        auto drive = std::make_unique<DriveRegion>(std::make_unique<FakeDrive>(model));
        const RegionState state = drive->read();
        return std::make_unique<RegionDialog>(std::move(drive), state,
                                              [this](int mask) { masks << mask; });
    }
    void choose(RegionDialog &dialog, int region)
    {
        dialog.cboRegion->setCurrentIndex(dialog.cboRegion->findData(region));
        dialog.btnChange_Click();
    }
};

} // namespace

TEST_F(RegionDialogTest, ShowsTheDrivesState)
{
    model->type = 2;
    model->userChanges = 3;
    model->vendorResets = 4;
    auto dialog = openDialog();
    EXPECT_EQ(dialog->lblDevice->text(), "/dev/sr0");
    EXPECT_EQ(dialog->lblRegion->text(), "region 2");
    EXPECT_EQ(dialog->lblSetting->text(), "region set, further changes restricted");
    EXPECT_EQ(dialog->lblChanges->text(), "3 by the user, 4 by the vendor");
    EXPECT_TRUE(dialog->lblControl->text().startsWith("RPC-II"));
    EXPECT_EQ(dialog->cboRegion->currentData().toInt(), 2);
    EXPECT_EQ(dialog->cboRegion->count(), 8);

    model->scheme = 0;
    EXPECT_TRUE(openDialog()->lblControl->text().startsWith("RPC-I:"));
}

TEST_F(RegionDialogTest, NoToTheConfirmationChangesNothing)
{
    auto dialog = openDialog();
    choose(*dialog, 1);
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_TRUE(dialogs->questions[0].contains("region 1"));
    EXPECT_TRUE(dialogs->questions[0].contains("counts every region change"));
    EXPECT_TRUE(dialogs->questions[0].contains("4 changes will be left"));
    EXPECT_TRUE(model->changes.empty());
    EXPECT_TRUE(masks.isEmpty());
    EXPECT_EQ(dialog->lblStatus->text(), "The region was not changed.");
}

TEST_F(RegionDialogTest, YesChangesTheDriveOnceThenThePlayer)
{
    dialogs->yesNoAnswers = {true};
    auto dialog = openDialog();
    choose(*dialog, 3);
    ASSERT_EQ(model->changes.size(), 1u);
    EXPECT_EQ(model->changes[0], 0xfb);
    EXPECT_EQ(masks, QList<int>{4});
    EXPECT_EQ(dialog->lblRegion->text(), "region 3");
    EXPECT_EQ(dialog->lblChanges->text(), "4 by the user, 4 by the vendor");
    EXPECT_EQ(dialog->lblStatus->text(),
              "The drive is now set to region 3; 4 changes are left by the user.");
}

TEST_F(RegionDialogTest, TheLastChangeSaysTheRegionStaysForGood)
{
    model->userChanges = 1;
    dialogs->yesNoAnswers = {true};
    auto dialog = openDialog();
    choose(*dialog, 8);
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_TRUE(dialogs->questions[0].contains("no change will be left"));
    EXPECT_TRUE(dialogs->questions[0].contains("stay at region 8 for good"));
    EXPECT_EQ(model->changes, std::vector<uint8_t>{0x7f});
    EXPECT_EQ(masks, QList<int>{0x80});
    EXPECT_EQ(dialog->lblSetting->text(), "region set for good");
}

TEST_F(RegionDialogTest, RefusalsAskNothingAndShowTheReason)
{
    model->userChanges = 0;
    auto dialog = openDialog();
    choose(*dialog, 1);
    EXPECT_TRUE(dialog->lblStatus->text().startsWith("The drive allows no more region changes"));

    model->userChanges = 2;
    model->readError = EACCES;
    choose(*dialog, 1);
    EXPECT_TRUE(dialog->lblStatus->text().contains("\"cdrom\" group"));

    EXPECT_TRUE(dialogs->questions.isEmpty());

    model->readError = 0;
    model->changeError = EIO;
    dialogs->yesNoAnswers = {true};
    choose(*dialog, 1);
    EXPECT_TRUE(dialog->lblStatus->text().contains("refused the region change"));
    EXPECT_EQ(model->changes.size(), 1u);
    EXPECT_TRUE(masks.isEmpty());
}

TEST_F(RegionDialogTest, NothingIsCountedWhenTheDriveNeedsNoChange)
{
    auto dialog = openDialog();
    choose(*dialog, 2);
    model->scheme = 0;
    choose(*dialog, 6);
    EXPECT_TRUE(dialogs->questions.isEmpty());
    EXPECT_TRUE(model->changes.empty());
    EXPECT_EQ(masks, (QList<int>{0x02, 0x20}));
    EXPECT_TRUE(dialog->lblStatus->text().contains("player now uses region 6"));
}

TEST_F(RegionDialogTest, ChangeDriveRegionOpensTheDriveBehindTheSource)
{
    QTemporaryDir root;
    const QString disc = QDir(root.path()).canonicalPath() + "/cdrom";
    QDir().mkpath(disc + "/VIDEO_TS");
    QFile mounts(root.filePath("mounts"));
    ASSERT_TRUE(mounts.open(QIODevice::WriteOnly));
    mounts.write("/dev/sr3 " + disc.toUtf8() + " udf ro 0 0\n");
    mounts.close();

    DriveAccess access;
    access.mountsFile = mounts.fileName();
    QStringList opened;
    access.open = [&](const QString &device) {
        opened << device;
        model->device = device;
        return std::make_unique<FakeDrive>(model);
    };
    dialogs->yesNoAnswers = {true};
    QString shownDevice;
    QObject scope; // ends the timer with the test should no dialog run it
    QTimer::singleShot(0, &scope, [&] {
        auto *dialog = qobject_cast<RegionDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownDevice = dialog->lblDevice->text();
        choose(*dialog, 1);
        dialog->btnClose->click();
    });
    changeDriveRegion(
        nullptr, disc + "/VIDEO_TS", [this](int mask) { masks << mask; }, access,
        &showRegionDialog);
    EXPECT_EQ(opened, QStringList{"/dev/sr3"});
    EXPECT_EQ(shownDevice, "/dev/sr3");
    EXPECT_EQ(model->changes, std::vector<uint8_t>{0xfe});
    EXPECT_EQ(masks, QList<int>{1});
}

TEST_F(RegionDialogTest, ChangeDriveRegionFailsBeforeShowingAnything)
{
    QTemporaryDir root;
    QFile image(root.filePath("disc.iso"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.close();
    DriveAccess access;
    access.mountsFile = root.filePath("no-mounts");
    int opens = 0;
    access.open = [&](const QString &) {
        ++opens;
        return std::make_unique<FakeDrive>(model);
    };
    // Should a dialog open after all, it is closed and counted, not left to hang the test.
    int shown = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *dialog = QApplication::activeModalWidget()) {
            ++shown;
            dialog->close();
        }
    });
    closer.start(0);
    auto attempt = [&](const QString &source) {
        return trapFirstError([&] {
            changeDriveRegion(
                nullptr, source, [this](int mask) { masks << mask; }, access, &showRegionDialog);
        });
    };

    EXPECT_EQ(attempt(image.fileName())->number(), ErrorNumbers::kNoDrive);
    EXPECT_EQ(attempt(root.path())->number(), ErrorNumbers::kNoDrive);
    EXPECT_EQ(opens, 0);

    const QString disc = QDir(root.path()).canonicalPath();
    QFile mounts(root.filePath("mounts"));
    ASSERT_TRUE(mounts.open(QIODevice::WriteOnly));
    mounts.write("/dev/sr0 " + disc.toUtf8() + " iso9660 ro 0 0\n");
    mounts.close();
    access.mountsFile = mounts.fileName();
    access.open = [](const QString &device) -> std::unique_ptr<DriveIoctl> {
        throw driveOpenError(device, EACCES);
    };
    EXPECT_EQ(attempt(disc)->number(), ErrorNumbers::kNotPermitted);
    EXPECT_EQ(attempt("/dev/null")->number(), ErrorNumbers::kNoDrive);

    access.open = [&](const QString &) { return std::make_unique<FakeDrive>(model); };
    model->status = CDS_NO_DISC;
    access.deviceDirectory = root.path();
    QFile drive(root.filePath("sr0"));
    ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
    EXPECT_EQ(attempt("")->number(), ErrorNumbers::kNoDisc);
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(masks.isEmpty());
}
