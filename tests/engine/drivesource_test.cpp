#include "engine/drive/drivesource.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

// A folder tree and a mounts table that says what is mounted where in it.
struct DriveSourceTest : ::testing::Test {
    QTemporaryDir root;
    DriveAccess access;

    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        access.mountsFile = path("mounts");
        access.deviceDirectory = path("dev");
        QDir(root.path()).mkpath("dev");
    }
    QString path(const QString &name) const
    {
        return QDir(root.path()).canonicalPath() + "/" + name;
    }
    QString makeFolder(const QString &name) const
    {
        QDir().mkpath(path(name));
        return path(name);
    }
    void makeFile(const QString &name, const QByteArray &content = "x") const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void writeMounts(const QByteArray &table) const { makeFile("mounts", table); }
    AppError errorFor(const QString &source) const
    {
        const auto error = trapFirstError([&] { access.deviceFor(source); });
        EXPECT_TRUE(error.has_value()) << source.toStdString();
        return error.value_or(AppError(0, {}));
    }
};

QByteArray escaped(const QString &path)
{
    return path.toUtf8().replace(" ", "\\040");
}

} // namespace

TEST(ReadMounts, SplitsFieldsAndUndoesTheKernelsEscapes)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("mounts"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("/dev/sr0 /media/My\\040Disc udf ro,relatime 0 0\n"
               "garbage\n"
               "/dev/vda / ext4 rw 0 0\n"
               "/dev/sr1 /media/back\\134slash iso9660 ro 0 0\n"
               "/dev/sr2 /media/odd\\9zz iso9660 ro 0 0\n");
    file.close();
    const QList<MountEntry> mounts = readMounts(file.fileName());
    ASSERT_EQ(mounts.size(), 4);
    EXPECT_EQ(mounts[0].device, "/dev/sr0");
    EXPECT_EQ(mounts[0].mountPoint, "/media/My Disc");
    EXPECT_EQ(mounts[0].type, "udf");
    EXPECT_EQ(mounts[1].mountPoint, "/");
    EXPECT_EQ(mounts[2].mountPoint, "/media/back\\slash");
    EXPECT_EQ(mounts[3].mountPoint, "/media/odd\\9zz");
    EXPECT_TRUE(readMounts(dir.filePath("missing")).isEmpty());
}

TEST_F(DriveSourceTest, AFolderOnAMountedDiscIsOnThatDiscsDrive)
{
    const QString disc = makeFolder("media/My Disc");
    makeFolder("media/My Disc/VIDEO_TS");
    writeMounts("/dev/vda / ext4 rw 0 0\n/dev/sr1 " + escaped(disc) + " udf ro 0 0\n");
    EXPECT_EQ(access.deviceFor(disc), "/dev/sr1");
    EXPECT_EQ(access.deviceFor(disc + "/VIDEO_TS/"), "/dev/sr1");
}

TEST_F(DriveSourceTest, TheInnermostMountDecides)
{
    const QString outer = makeFolder("media");
    const QString inner = makeFolder("media/cdrom");
    makeFolder("media/cdromextra");
    writeMounts("/dev/sr0 " + escaped(inner) + " iso9660 ro 0 0\n/dev/sdb1 " + escaped(outer) +
                " vfat rw 0 0\n");
    EXPECT_EQ(access.deviceFor(inner), "/dev/sr0");
    EXPECT_EQ(errorFor(path("media/cdromextra")).number(), ErrorNumbers::kNoDrive);
}

TEST_F(DriveSourceTest, ImagesAndFoldersOnDisksHaveNoDrive)
{
    makeFile("movie.iso");
    AppError error = errorFor(path("movie.iso"));
    EXPECT_EQ(error.number(), ErrorNumbers::kNoDrive);
    EXPECT_TRUE(error.description().contains("disc image"));

    const QString copy = makeFolder("copy/VIDEO_TS");
    writeMounts("/dev/vda / ext4 rw 0 0\n");
    error = errorFor(copy);
    EXPECT_EQ(error.number(), ErrorNumbers::kNoDrive);
    EXPECT_TRUE(error.description().contains("folder on a disk"));

    const QString looped = makeFolder("loop");
    writeMounts("/dev/vda / ext4 rw 0 0\n/dev/loop3 " + escaped(looped) + " iso9660 ro 0 0\n");
    EXPECT_TRUE(errorFor(looped).description().contains("disc image"));

    writeMounts("");
    EXPECT_EQ(errorFor(copy).number(), ErrorNumbers::kNoDrive);
}

TEST_F(DriveSourceTest, MissingSourcesAndOtherDevicesAreNoDrive)
{
    EXPECT_TRUE(errorFor(path("nothing/here")).description().contains("does not exist"));
    EXPECT_TRUE(errorFor("/dev/null").description().contains("not a CD or DVD drive"));
}

TEST_F(DriveSourceTest, NoSourceMeansTheFirstDrivePresent)
{
    AppError error = errorFor("");
    EXPECT_EQ(error.description(), "No DVD drive was found.");
    makeFile("dev/sr1");
    makeFile("dev/sr0");
    makeFile("dev/sda");
    EXPECT_EQ(access.deviceFor(""), path("dev/sr0"));
    makeFile("dev/dvd");
    EXPECT_EQ(access.deviceFor(""), path("dev/dvd"));
}

TEST(DeviceIoctl, OpensNothingButABlockDevice)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("image.iso"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const auto notADrive = trapFirstError([&] { DeviceIoctl::open(file.fileName()); });
    ASSERT_TRUE(notADrive);
    EXPECT_EQ(notADrive->number(), ErrorNumbers::kNoDrive);
    EXPECT_TRUE(notADrive->description().contains("not a CD or DVD drive"));

    const auto missing = trapFirstError([&] { DeviceIoctl::open(dir.filePath("sr9")); });
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->description(), "There is no drive at " + dir.filePath("sr9") + ".");
}

TEST(DeviceIoctl, OpenErrorsSayWhatToDo)
{
    const AppError denied = driveOpenError("/dev/sr0", EACCES);
    EXPECT_EQ(denied.number(), ErrorNumbers::kNotPermitted);
    EXPECT_TRUE(denied.description().contains("must be in the \"cdrom\" group"));
    EXPECT_EQ(driveOpenError("/dev/sr0", ENOMEDIUM).number(), ErrorNumbers::kNoDisc);
    EXPECT_EQ(driveOpenError("/dev/sr0", ENXIO).number(), ErrorNumbers::kNoDrive);
    const AppError busy = driveOpenError("/dev/sr0", EBUSY);
    EXPECT_EQ(busy.number(), ErrorNumbers::kNoDrive);
    EXPECT_TRUE(busy.description().startsWith("Cannot open the drive /dev/sr0: "));
}
