#include "testdisc.h"

#include "engine/control/bookmarkstore.h"
#include "engine/source/dvdsource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

// The real control on a copy of the sample disc whose title 1 has a run of
// unreadable blocks in its middle, as a scratched disc or a bad copy has:
// playback goes on past a short run and stops with a readable error at one
// too long; either way the control stays usable.
using TestDisc::Player;
using TestDisc::waitFor;

namespace
{

constexpr qint64 kBlock = 2048;

enum class Garbage { Noise, Zeros };

struct DamagedDisc {
    QString folder;
    double damageStarts = 0; // seconds into title 1, roughly
    double damageEnds = 0;
};

// Copies the sample disc and overwrites `blocks` blocks of title 1's VOB,
// starting at its middle.
DamagedDisc damagedCopy(const QTemporaryDir &dir, Garbage garbage, qint64 blocks)
{
    const QDir source(TestDisc::folder() + QStringLiteral("/VIDEO_TS"));
    const QString target = dir.filePath(QStringLiteral("damaged/VIDEO_TS"));
    QDir().mkpath(target);
    for (const QString &name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), target + QLatin1Char('/') + name);

    QFile vob(target + QStringLiteral("/VTS_01_1.VOB"));
    if (!vob.open(QIODevice::ReadWrite))
        return {};
    const qint64 totalBlocks = vob.size() / kBlock;
    const qint64 first = totalBlocks / 2;
    QByteArray bytes(blocks * kBlock, '\0');
    if (garbage == Garbage::Noise) {
        std::mt19937 random(8);
        for (char &byte : bytes)
            byte = char(random());
    }
    vob.seek(first * kBlock);
    vob.write(bytes);
    const double seconds = TestDisc::title(1).value(QStringLiteral("duration_seconds")).toDouble();
    return {dir.filePath(QStringLiteral("damaged")), seconds * double(first) / double(totalBlocks),
            seconds * double(first + blocks) / double(totalBlocks)};
}

// A control playing title 1 of the damaged disc from shortly before the
// damage.
struct DamagedPlayback {
    explicit DamagedPlayback(const DamagedDisc &damaged)
        : disc(damaged), player(damaged.folder),
          discId(DvdSource::probe(DvdSource::resolve(damaged.folder)).info.discId)
    {
        BookmarkStore(TestDisc::bookmarkFile())
            .save(discId, {1, 3, disc.damageStarts - 1.5, 1, 0, 0, false});
        player.engine->RestoreBookmark();
    }
    ~DamagedPlayback() { BookmarkStore(TestDisc::bookmarkFile()).remove(discId); }

    bool stopped() const { return player.engine->CurrentDomain() == DvdDomain::kStop; }
    bool past(double seconds) const
    {
        return player.engine->CurrentTitle() == 1 && player.seconds() > seconds;
    }
    // The control goes on working: the menu comes back.
    void expectUsable()
    {
        player.engine->Stop();
        player.engine->Play();
        EXPECT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    }

    DamagedDisc disc;
    Player player;
    QString discId;
};

void expectPlayedPast(const DamagedDisc &disc)
{
    DamagedPlayback playback(disc);
    ASSERT_TRUE(playback.player.waitForTitle(1))
        << playback.player.engine->lastPlaybackError().toStdString();
    const double after = disc.damageEnds + 1.0;
    EXPECT_TRUE(waitFor([&] { return playback.past(after) || playback.stopped(); }, 20000));
    EXPECT_TRUE(playback.past(after))
        << "at " << playback.player.seconds()
        << " s: " << playback.player.engine->lastPlaybackError().toStdString();
    EXPECT_TRUE(playback.player.engine->lastPlaybackError().isEmpty());
    // The sound goes on too.
    const auto lastHeard = [&] {
        const auto sound = playback.player.recorder.sound();
        return sound.empty() ? int64_t(-1) : sound.back().pts;
    };
    const int64_t heard = lastHeard();
    EXPECT_GE(heard, 0);
    EXPECT_TRUE(waitFor([&] { return lastHeard() > heard + 9000; }));
    playback.expectUsable();
}

} // namespace

TEST(DvdEngineRobustness, NoiseInTheMiddleOfATitleIsSteppedOver)
{
    QTemporaryDir dir;
    const DamagedDisc disc = damagedCopy(dir, Garbage::Noise, 120);
    ASSERT_FALSE(disc.folder.isEmpty());
    expectPlayedPast(disc);
}

TEST(DvdEngineRobustness, ZeroedBlocksInTheMiddleOfATitleAreSteppedOver)
{
    QTemporaryDir dir;
    const DamagedDisc disc = damagedCopy(dir, Garbage::Zeros, 120);
    ASSERT_FALSE(disc.folder.isEmpty());
    expectPlayedPast(disc);
}

// Beyond a limit the damage is not searched through to its end: playback
// stops with a readable error that names the source.
TEST(DvdEngineRobustness, DamageToTheEndOfATitleStopsWithAReadableError)
{
    QTemporaryDir dir;
    const DamagedDisc disc = damagedCopy(dir, Garbage::Noise, 3000);
    ASSERT_FALSE(disc.folder.isEmpty());
    DamagedPlayback playback(disc);
    ASSERT_TRUE(waitFor([&] { return playback.stopped(); }, 20000));
    const QString error = playback.player.engine->lastPlaybackError();
    EXPECT_TRUE(error.contains(disc.folder)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("damaged"))) << error.toStdString();
    playback.expectUsable();
}
