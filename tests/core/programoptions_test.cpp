#include "programrun.h"

#include <gtest/gtest.h>

TEST(ProgramOptions, HelpAndVersionNeedNoDisplay)
{
    const ProgramRun help = runProgram({QStringLiteral("--help")}, withoutDisplay());
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("usage: vidora")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--dvd-info"));

    const ProgramRun version = runProgram({QStringLiteral("--version")}, withoutDisplay());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vidora 2.3.0\n");
}

TEST(ProgramOptions, AnUnknownOptionGetsTheUsageAndStatusTwo)
{
    QProcessEnvironment environment = withoutDisplay();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("--fullscreen")}, QStringList{QStringLiteral("-x")},
          QStringList{QStringLiteral("/media/dvd/"), QStringLiteral("--verbose")}}) {
        const ProgramRun run = runProgram(arguments, environment);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("unknown option")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage: vidora"));
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(ProgramOptions, WithoutADisplayTheProgramSaysSoAndEndsWithStatusOne)
{
    const ProgramRun unset = runProgram({}, withoutDisplay());
    EXPECT_EQ(unset.status, 1);
    EXPECT_TRUE(unset.err.contains("no display")) << unset.err.toStdString();

    QProcessEnvironment unreachable = withoutDisplay();
    unreachable.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4711"));
    const ProgramRun run = runProgram({QStringLiteral("/media/dvd/")}, unreachable);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("cannot open the display \":4711\"")) << run.err.toStdString();
}
