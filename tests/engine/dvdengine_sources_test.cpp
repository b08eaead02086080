#include "testdisc.h"

#include "engine/source/dvdsource.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using TestDisc::Player;
using TestDisc::waitFor;

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// A copy of the test disc's folder with every IFO and BUP file zeroed.
QString zeroedInfoFiles(const QTemporaryDir &dir)
{
    const QString videoTs = dir.filePath(QStringLiteral("zeroed/VIDEO_TS"));
    QDir().mkpath(videoTs);
    const QDir source(TestDisc::folder() + QStringLiteral("/VIDEO_TS"));
    for (const QString &name : source.entryList(QDir::Files)) {
        QByteArray data = readAll(source.filePath(name));
        if (!name.endsWith(QStringLiteral(".VOB")))
            data.fill('\0');
        writeAll(videoTs + QLatin1Char('/') + name, data);
    }
    return dir.filePath(QStringLiteral("zeroed"));
}

QString randomImage(const QTemporaryDir &dir)
{
    std::mt19937 random(42);
    QByteArray data(2 * 1024 * 1024, Qt::Uninitialized);
    for (char &byte : data)
        byte = char(random());
    const QString path = dir.filePath(QStringLiteral("random.iso"));
    writeAll(path, data);
    return path;
}

QString truncatedImage(const QTemporaryDir &dir, qsizetype size, const QString &name)
{
    const QString path = dir.filePath(name);
    writeAll(path, readAll(TestDisc::iso()).left(size));
    return path;
}

// The image cut in the middle of title 1's second chapter (4 s to 8 s), so
// that its first chapters play and its last cannot be read.
QString imageCutInTitleOne(const QTemporaryDir &dir)
{
    const QByteArray image = readAll(TestDisc::iso());
    const QByteArray video = readAll(TestDisc::folder() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB"));
    const qsizetype start = image.indexOf(video.left(16 * 2048));
    const double seconds = TestDisc::title(1).value(QStringLiteral("duration_seconds")).toDouble();
    return truncatedImage(dir, start + qsizetype(double(video.size()) * 6.0 / seconds),
                          QStringLiteral("cut.iso"));
}

// The error of choosing and playing a source: the choice itself may already
// be refused.
int playError(const QString &source)
{
    Player player;
    try {
        player.engine->setDVDDirectory(source);
        player.engine->Play();
    } catch (const AppError &error) {
        EXPECT_FALSE(error.description().isEmpty());
        EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);
        return error.number();
    }
    return 0;
}

bool reportedError(const Player &player, int number)
{
    for (const auto &notification : player.notifications) {
        if (notification[0] == DvdEvent::kError && notification[2] == number)
            return true;
    }
    return false;
}

} // namespace

TEST(DvdEngineSources, FolderIsoAndVideoTsFolderGiveTheSameDiscId)
{
    const QString fromFolder = DvdSource::probe(DvdSource::resolve(TestDisc::folder())).info.discId;
    const QString fromVideoTs =
        DvdSource::probe(DvdSource::resolve(TestDisc::folder() + QStringLiteral("/VIDEO_TS/")))
            .info.discId;
    EXPECT_EQ(fromFolder.size(), 32);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(fromFolder).hasMatch());
    EXPECT_EQ(fromVideoTs, fromFolder);

    Player player(TestDisc::iso());
    player.engine->Play();
    EXPECT_EQ(player.engine->DiscUniqueId(), fromFolder);
    EXPECT_EQ(player.engine->DVDDirectory(), QFileInfo(TestDisc::iso()).absoluteFilePath());
    EXPECT_EQ(player.engine->CurrentDiscSide(), 1);
    EXPECT_EQ(player.engine->FramesPerSecond(), 25);
    EXPECT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
}

TEST(DvdEngineSources, DirectoryNamesTheVideoTsFolderOfAFolderSource)
{
    Player player(TestDisc::folder() + QLatin1Char('/'));
    EXPECT_EQ(player.engine->DVDDirectory(),
              QFileInfo(TestDisc::folder() + QStringLiteral("/VIDEO_TS")).absoluteFilePath());
    EXPECT_THROW(player.engine->setDVDDirectory(QStringLiteral("/no/such/disc")), AppError);
}

TEST(DvdEngineSources, BrokenImagesAreRefusedWithAReason)
{
    QTemporaryDir dir;
    EXPECT_EQ(playError(truncatedImage(dir, 64 * 1024, QStringLiteral("short.iso"))),
              ErrorNumbers::kUnreadableSource);
    EXPECT_EQ(playError(zeroedInfoFiles(dir)), ErrorNumbers::kUnreadableSource);
    EXPECT_EQ(playError(randomImage(dir)), ErrorNumbers::kUnreadableSource);
    QDir().mkpath(dir.filePath(QStringLiteral("empty")));
    EXPECT_EQ(playError(dir.filePath(QStringLiteral("empty"))), ErrorNumbers::kUnreadableSource);
}

// A chapter past the cut cannot be read at all: playback goes on as the disc
// says after the title (its menu), and the user is told.
TEST(DvdEngineSources, ImageCutShortLeavesTheTitleAndSaysSoWhenPlaybackReachesTheCut)
{
    QTemporaryDir dir;
    Player player(imageCutInTitleOne(dir));
    QSignalSpy told(player.engine.get(), &DvdControl::PlaybackProblem);
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1, 1));
    player.engine->PlayNextChapter();
    ASSERT_TRUE(player.waitForTitle(1, 2));
    player.engine->PlayNextChapter();
    EXPECT_TRUE(waitFor(
        [&] { return player.engine->CurrentDomain() == DvdDomain::kVideoManagerMenu; }, 40000));
    EXPECT_TRUE(waitFor([&] { return told.count() > 0; }));
    EXPECT_EQ(told.count(), 1);
}

TEST(DvdEngineSources, DiscWhoseCommandsLoopForeverIsCutOff)
{
    Player player(QFileInfo(TestDisc::folder()).dir().filePath(QStringLiteral("loop")));
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kStop, 20000));
    EXPECT_TRUE(waitFor([&] { return reportedError(player, ErrorNumbers::kUnreadableSource); }));
    EXPECT_TRUE(player.engine->lastPlaybackError().contains(QStringLiteral("endless loop")));
    // The control stays usable: another disc plays.
    player.engine->setDVDDirectory(TestDisc::folder());
    player.engine->Play();
    EXPECT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
}

TEST(DvdEngineSources, NoSourceAndNoDriveMeansNoDisc)
{
    if (!DvdSource::candidateDrives().isEmpty())
        GTEST_SKIP() << "this machine has a drive";
    EXPECT_EQ(playError(QString()), ErrorNumbers::kNoDisc);
}

// The settings window keeps "None" where the control has no answer.
TEST(DvdEngineSources, BeforeAnyDiscTheCountsAndTheDirectoryHaveNoAnswer)
{
    Player player{QString()};
    EXPECT_EQ(TestDisc::errorNumber([&] { player.engine->AudioStreamsAvailable(); }),
              ErrorNumbers::kNoDisc);
    EXPECT_EQ(TestDisc::errorNumber([&] { player.engine->SubpictureStreamsAvailable(); }),
              ErrorNumbers::kNoDisc);
    EXPECT_EQ(TestDisc::errorNumber([&] { player.engine->AnglesAvailable(); }),
              ErrorNumbers::kNoDisc);
    EXPECT_EQ(TestDisc::errorNumber([&] { player.engine->DVDDirectory(); }), ErrorNumbers::kNoDisc);
}
