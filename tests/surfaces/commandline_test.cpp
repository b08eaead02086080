#include "support/qtprinters.h"
#include "surfaces/commandline.h"

#include <QDir>

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
