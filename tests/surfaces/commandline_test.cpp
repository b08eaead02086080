#include "base/localpath.h"
#include "support/oddname.h"
#include "support/qtprinters.h"
#include "surfaces/commandline.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using CommandLine::Action;
using CommandLine::Classify;

TEST(CommandLine, IsTheFirstArgumentInQuotes)
{
    EXPECT_EQ(CommandLine::FromArguments({"vidora"}), "");
    EXPECT_EQ(CommandLine::FromArguments({"vidora", ""}), "");
    EXPECT_EQ(CommandLine::FromArguments({"vidora", "/media/dvd/", "more"}), "\"/media/dvd/\"");
}

TEST(CommandLine, ASchemeFileEndsInLowerCaseCfx)
{
    const auto scheme = Classify("\"/home/u/Night blue.cfx\"");
    EXPECT_EQ(scheme.action, Action::LoadScheme);
    EXPECT_EQ(scheme.path, "/home/u/Night blue.cfx");
    EXPECT_EQ(Classify("\"/home/u/Night blue.CFX\"").action, Action::None);
    EXPECT_EQ(Classify("\"/home/u/Night blue.Cfx\"").action, Action::None);
    EXPECT_EQ(Classify("/home/u/scheme.cfx").action, Action::None) << "not quoted";
}

TEST(CommandLine, AFolderEndingInTheSeparatorPlays)
{
    const auto folder = Classify("\"/media/dvd/\"");
    EXPECT_EQ(folder.action, Action::Play);
    EXPECT_EQ(folder.path, "/media/dvd/");
    const auto relative = Classify("\"discs/sample/\"");
    EXPECT_EQ(relative.action, Action::Play);
    EXPECT_EQ(relative.path, QDir::currentPath() + "/discs/sample/");
    EXPECT_EQ(Classify("\"/media/dvd\"").action, Action::None) << "no trailing separator";
}

// The desktop hands over a mounted disc's folder without the separator.
TEST(CommandLine, AFolderHoldingVideoTsPlaysWithoutTheSeparator)
{
    QTemporaryDir mount;
    ASSERT_TRUE(QDir(mount.path()).mkdir("VIDEO_TS"));
    const auto disc = Classify('"' + mount.path() + '"');
    EXPECT_EQ(disc.action, Action::Play);
    EXPECT_EQ(disc.path, mount.path() + '/');
    EXPECT_EQ(Classify('"' + mount.path() + "/VIDEO_TS\"").action, Action::Play);
    ASSERT_TRUE(QDir(mount.path()).mkdir("empty"));
    EXPECT_EQ(Classify('"' + mount.path() + "/empty\"").action, Action::None);
}

// Blanks at either end and bytes that are no UTF-8 belong to the name.
TEST(CommandLine, APathKeepsItsBytes)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(QDir(scratch.path()).mkpath("plain/VIDEO_TS"));
    const QByteArray disc = QFile::encodeName(scratch.path()) + "/ Disc\xE9 ";
    const OddName renamed(scratch.filePath("plain"), disc);
    ASSERT_TRUE(renamed.renamed());
    const auto request = Classify('"' + LocalPath::fromBytes(disc) + '"');
    EXPECT_EQ(request.action, Action::Play);
    EXPECT_EQ(LocalPath::toBytes(request.path), disc + '/');
}

TEST(CommandLine, AnIsoImageOrADeviceNodePlays)
{
    const auto iso = Classify("\"backup/Disc.ISO\"");
    EXPECT_EQ(iso.action, Action::Play);
    EXPECT_EQ(iso.path, QDir::currentPath() + "/backup/Disc.ISO");
    const auto drive = Classify("\"/dev/sr0\"");
    EXPECT_EQ(drive.action, Action::Play);
    EXPECT_EQ(drive.path, "/dev/sr0");
}

TEST(CommandLine, AnythingElseAsksForNothing)
{
    EXPECT_EQ(Classify("").action, Action::None);
    EXPECT_EQ(Classify("\"\"").action, Action::None);
    EXPECT_EQ(Classify("\"").action, Action::None);
    EXPECT_EQ(Classify("\"/home/u/notes.txt\"").action, Action::None);
    EXPECT_EQ(Classify("\"/etc/\"\"").action, Action::None) << "a stray quote is not a folder";
}
