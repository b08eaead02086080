#include "core/box.h"
#include "platform/appdirs.h"
#include "settings/databasepath.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/testsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace SettingsKeys;

namespace
{
} // namespace

TEST(SettingsStore, AFreshUserReadsEveryDefault)
{
    resetSettings();
    EXPECT_EQ(SettingsStore::Read(kPlayer, kSaveSection, kAutoBookmark, ""), "");
    EXPECT_EQ(SettingsStore::Read(kPlayer, kSaveSection, kPlayAtStart, "0"), "0");
    EXPECT_EQ(SettingsStore::Read(kPlayer, kSaveSection, kFullScreen, 0), "0");
    EXPECT_EQ(SettingsStore::Read(kPlayer, kColorsSection, kBackColor, 0), "0");
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kAddNew, 0), "0");
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kShowInfo, 0), "0");
    EXPECT_FALSE(QFile::exists(SettingsStore::fileName(kPlayer))) << "reading writes nothing";
}

TEST(SettingsStore, ValuesRoundTripAsExactText)
{
    resetSettings();
    SettingsStore::Write(kPlayer, kSaveSection, kFullScreen, "yes");
    SettingsStore::Write(kPlayer, kColorsSection, kBackColor, "-16777216");
    SettingsStore::Write(kPlayer, kColorsSection, kSchemeName, " Night, blue ");
    SettingsStore::Write(kDatabase, kDatabaseSection, kDatabasePath, "/home/u/My DVDs/");
    EXPECT_EQ(SettingsStore::Read(kPlayer, kSaveSection, kFullScreen, "0"), "yes");
    EXPECT_EQ(SettingsStore::Read(kPlayer, kColorsSection, kBackColor, "0"), "-16777216");
    EXPECT_EQ(SettingsStore::Read(kPlayer, kColorsSection, kSchemeName, "0"), " Night, blue ");
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kDatabasePath, "0"),
              "/home/u/My DVDs/");
    // The two applications are separate stores.
    EXPECT_EQ(SettingsStore::Read(kDatabase, kSaveSection, kFullScreen, "0"), "0");
}

TEST(SettingsStore, AnUnwritableStoreFailsWithAnError)
{
    resetSettings();
    const QString file = SettingsStore::fileName(kPlayer);
    QDir().mkpath(file); // a folder where the file should be
    EXPECT_THROW(SettingsStore::Write(kPlayer, kColorsSection, kBackColor, "1"), std::exception);
    QDir(file).removeRecursively();
    qDeleteAll(BOX::openWindows());
}

TEST(SettingsStore, ASettingsFileThatIsNoPlainFileIsNeverOpened)
{
    resetSettings();
    const QString file = SettingsStore::fileName(kDatabase);
    QDir().mkpath(QFileInfo(file).path());
    ASSERT_EQ(mkfifo(file.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kAddNew, "0"), "0");
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kShowInfo, "0"), "0");
    EXPECT_THROW(SettingsStore::Write(kDatabase, kDatabaseSection, kAddNew, "1"), std::exception);
    EXPECT_TRUE(QFileInfo(file).exists() && !QFileInfo(file).isFile()) << "left as it is";
    const QList<BOX *> boxes = BOX::openWindows();
    ASSERT_EQ(boxes.size(), 1) << "said once";
    EXPECT_TRUE(boxes[0]->msg->toPlainText().contains(file));
    for (BOX *box : boxes)
        delete box;
    QFile::remove(file);
}

TEST(DatabasePath, FirstRunWritesAndCreatesTheProgramFolder)
{
    resetSettings();
    const QString expected = AppDirs::programDirectory() + "/DVDdb/";
    QDir(expected).removeRecursively();
    EXPECT_EQ(DatabasePath::initialise(DatabasePath::CreateFolder::Yes), expected);
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kDatabasePath, "0"), expected);
    EXPECT_TRUE(QDir(expected).exists());
    // A later start takes the stored folder unchanged, even when it is missing.
    SettingsStore::Write(kDatabase, kDatabaseSection, kDatabasePath, "/nowhere/db/");
    EXPECT_EQ(DatabasePath::initialise(DatabasePath::CreateFolder::Yes), "/nowhere/db/");
    EXPECT_FALSE(QDir("/nowhere/db/").exists());
}

TEST(DatabasePath, SettingsWindowFirstRunDoesNotCreateTheFolder)
{
    resetSettings();
    const QString expected = DatabasePath::defaultDirectory();
    QDir(expected).removeRecursively();
    EXPECT_EQ(DatabasePath::initialise(DatabasePath::CreateFolder::No), expected);
    EXPECT_FALSE(QDir(expected).exists());
}

TEST(DatabasePath, TrailingSeparatorIsAddedOnlyWhenMissing)
{
    EXPECT_EQ(DatabasePath::withTrailingSeparator("/data/dvd"), "/data/dvd/");
    EXPECT_EQ(DatabasePath::withTrailingSeparator("/data/dvd/"), "/data/dvd/");
}
