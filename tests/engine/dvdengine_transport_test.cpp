#include "testdisc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using TestDisc::errorNumber;
using TestDisc::Player;
using TestDisc::waitFor;

namespace
{

// The moment the newest picture reached the screen.
std::optional<std::chrono::steady_clock::time_point> lastShown(const Player &player)
{
    const std::vector<TestDisc::Recorder::Picture> shown = player.recorder.pictures();
    if (shown.empty())
        return std::nullopt;
    return shown.back().at;
}

// Waits until pictures have reached the screen over `milliseconds` from
// now (or the wait gives up at five times that).
void waitForPicturesOver(const Player &player, int milliseconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    waitFor([&] { return lastShown(player) >= until; }, 5 * milliseconds);
}

// How fast the pictures shown move through the title, in title seconds per
// second, over about `milliseconds` once the change has settled: from the
// title times of the pictures and the moments each reached the screen, so
// that a late look at the screen on a busy machine does not count.
double measuredRate(Player &player, int milliseconds)
{
    waitForPicturesOver(player, 400);
    const size_t from = player.recorder.pictures().size();
    waitForPicturesOver(player, milliseconds);
    const std::vector<TestDisc::Recorder::Picture> shown = player.recorder.pictures();
    if (shown.size() < from + 2)
        return 0;
    const auto &first = shown[from];
    const auto &last = shown.back();
    const double seconds = std::chrono::duration<double>(last.at - first.at).count();
    return double(last.titleTime90k - first.titleTime90k) / 90000.0 / seconds;
}

std::vector<int> chapterStarts(const Player &player, size_t from)
{
    std::vector<int> chapters;
    for (size_t i = from; i < player.notifications.size(); ++i) {
        if (player.notifications[i][0] == DvdEvent::kChapterStart)
            chapters.push_back(player.notifications[i][2]);
    }
    return chapters;
}

void startInChapterThree(Player &player)
{
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    player.engine->PlayNextChapter();
    player.engine->PlayNextChapter();
    ASSERT_TRUE(player.waitForTitle(1, 3));
}

quint32 readBigEndian(const QByteArray &data, qsizetype at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | quint8(data.at(at + i));
    return value;
}

// Sets user operation bits in the prohibition mask of every title program
// chain of a title set's IFO data (bit n of the big-endian mask: operation n).
void prohibitInTitles(QByteArray &ifo, quint32 operations)
{
    const qsizetype table = qsizetype(readBigEndian(ifo, 0xCC)) * 2048;
    const int chains = (quint8(ifo.at(table)) << 8) | quint8(ifo.at(table + 1));
    for (int i = 0; i < chains; ++i) {
        const qsizetype chain = table + qsizetype(readBigEndian(ifo, table + 8 + i * 8 + 4));
        for (int byte = 0; byte < 4; ++byte)
            ifo[chain + 8 + byte] =
                char(quint8(ifo.at(chain + 8 + byte)) | quint8(operations >> (24 - 8 * byte)));
    }
}

// A copy of the test disc whose titles prohibit scanning and pausing.
QString discProhibitingScans(const QTemporaryDir &dir)
{
    const QDir source(TestDisc::folder() + QStringLiteral("/VIDEO_TS"));
    const QString target = dir.filePath(QStringLiteral("uops/VIDEO_TS"));
    QDir().mkpath(target);
    for (const QString &name : source.entryList(QDir::Files)) {
        QFile in(source.filePath(name));
        if (!in.open(QIODevice::ReadOnly))
            return {};
        QByteArray data = in.readAll();
        if (name == QStringLiteral("VTS_01_0.IFO") || name == QStringLiteral("VTS_01_0.BUP"))
            prohibitInTitles(data, 1u << 8 | 1u << 9 | 1u << 19);
        QFile out(target + QLatin1Char('/') + name);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return {};
    }
    return dir.filePath(QStringLiteral("uops"));
}

} // namespace

TEST(DvdEngineTransport, PauseHoldsPictureAndSoundUntilPlay)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 1.0; }));

    player.engine->Pause();
    EXPECT_TRUE(player.engine->isPaused());
    QTest::qWait(300);
    const double held = player.seconds();
    const size_t pictures = player.recorder.pictures().size();
    QTest::qWait(1000);
    EXPECT_DOUBLE_EQ(player.seconds(), held);
    EXPECT_EQ(player.recorder.pictures().size(), pictures);
    EXPECT_NO_THROW(player.engine->Pause());

    player.engine->Play();
    EXPECT_FALSE(player.engine->isPaused());
    ASSERT_TRUE(waitFor([&] { return player.seconds() > held; }, 2000));
    EXPECT_LT(player.seconds(), held + 0.5) << "playback did not go on where it stood";
    EXPECT_NEAR(measuredRate(player, 1000), 1.0, 0.25);
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kTitle);
}

TEST(DvdEngineTransport, ScansMoveAtTheirSpeedInBothDirectionsWithoutSound)
{
    Player player;
    startInChapterThree(player);

    for (const int speed : {2, 4, 8}) {
        player.engine->PlayForwards(speed);
        EXPECT_EQ(player.engine->scanSpeed(), speed);
        EXPECT_NEAR(measuredRate(player, speed == 8 ? 1500 : 2000), speed, speed * 0.25)
            << "forward at " << speed;
    }
    const size_t soundBlocks = player.recorder.sound().size();
    for (const int speed : {8, 4, 2}) {
        player.engine->PlayBackwards(speed);
        EXPECT_EQ(player.engine->scanSpeed(), -speed);
        EXPECT_NEAR(measuredRate(player, speed == 8 ? 1500 : 2000), -speed, speed * 0.25)
            << "backward at " << speed;
    }
    EXPECT_EQ(player.recorder.sound().size(), soundBlocks) << "sound was decoded while scanning";

    player.engine->Play();
    EXPECT_EQ(player.engine->scanSpeed(), 0);
    EXPECT_NEAR(measuredRate(player, 1000), 1.0, 0.25);
    EXPECT_TRUE(waitFor([&] { return player.recorder.sound().size() > soundBlocks; }));
}

TEST(DvdEngineTransport, BackwardScanEndsAtTheTitleStartPassingEveryChapter)
{
    Player player;
    startInChapterThree(player);
    const size_t from = player.notifications.size();
    player.engine->PlayBackwards(8);
    ASSERT_TRUE(waitFor([&] { return player.engine->scanSpeed() == 0; }, 5000));
    EXPECT_EQ(player.engine->CurrentChapter(), 1);
    EXPECT_LT(player.seconds(), 1.5);
    EXPECT_NEAR(measuredRate(player, 1000), 1.0, 0.25);
    const std::vector<int> expected{2, 1};
    EXPECT_EQ(chapterStarts(player, from), expected);
}

TEST(DvdEngineTransport, ForwardScanEndsWithTheTitle)
{
    Player player;
    startInChapterThree(player);
    player.engine->PlayForwards(8);
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu, 10000));
    EXPECT_EQ(player.engine->scanSpeed(), 0);
    EXPECT_THROW(player.engine->PlayForwards(2), AppError);
}

TEST(DvdEngineTransport, ScansAndPauseAreRefusedWhereTheyCannotBe)
{
    Player player;
    EXPECT_EQ(errorNumber([&] { player.engine->Pause(); }), ErrorNumbers::kNotPermitted);
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    QString description;
    EXPECT_EQ(errorNumber([&] { player.engine->PlayForwards(2); }, &description),
              ErrorNumbers::kNotPermitted);
    EXPECT_EQ(description,
              QStringLiteral("PlayForwards is not possible now: no title is playing."));
    player.engine->Stop();

    QTemporaryDir dir;
    Player prohibited(discProhibitingScans(dir));
    prohibited.playTitleFromMenu(0);
    ASSERT_TRUE(prohibited.waitForTitle(1));
    EXPECT_EQ(errorNumber([&] { prohibited.engine->PlayForwards(4); }, &description),
              ErrorNumbers::kNotPermitted);
    EXPECT_EQ(description,
              QStringLiteral("The disc does not allow scanning forward at this point."));
    EXPECT_EQ(errorNumber([&] { prohibited.engine->PlayBackwards(2); }, &description),
              ErrorNumbers::kNotPermitted);
    EXPECT_EQ(description,
              QStringLiteral("The disc does not allow scanning backward at this point."));
    EXPECT_EQ(errorNumber([&] { prohibited.engine->Pause(); }), ErrorNumbers::kNotPermitted);
    EXPECT_EQ(prohibited.engine->scanSpeed(), 0);
    EXPECT_FALSE(prohibited.engine->isPaused());

    EXPECT_EQ(errorNumber([&] { prohibited.engine->PlayForwards(3); }),
              ErrorNumbers::kInvalidArgument);
}
