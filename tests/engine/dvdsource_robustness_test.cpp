#include "engine/source/dvdsource.h"
#include "support/mutator.h"
#include "testdisc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The sample disc with damaged IFO files (and their backups, which the
// library falls back on): probing it gives the disc's facts or a readable
// error, and playing it reaches a menu or stops with one.
namespace
{

using Bytes = std::vector<uint8_t>;
using TestDisc::Player;
using TestDisc::waitFor;

const char *const kInfoFiles[] = {"VIDEO_TS", "VTS_01_0", "VTS_02_0"};

Bytes readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
}

void writeFile(const QString &path, const Bytes &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// A copy of the disc whose VOB files link to the sample's; its information
// files are rewritten for every round.
class DamagedInfoFiles
{
public:
    DamagedInfoFiles()
        : folder_(dir_.filePath(QStringLiteral("disc"))), videoTs_(folder_ + "/VIDEO_TS")
    {
        QDir().mkpath(videoTs_);
        const QDir source(TestDisc::folder() + QStringLiteral("/VIDEO_TS"));
        for (const QString &name : source.entryList({QStringLiteral("*.VOB")}, QDir::Files))
            QFile::link(source.filePath(name), videoTs_ + QLatin1Char('/') + name);
        for (const char *name : kInfoFiles)
            originals_.push_back(readFile(source.filePath(QString::fromLatin1(name) + ".IFO")));
    }

    const QString &folder() const { return folder_; }
    bool ready() const
    {
        for (const Bytes &original : originals_) {
            if (original.empty())
                return false;
        }
        return true;
    }

    // One information file damaged, the others as authored.
    void damage(Mutator &mutator)
    {
        const size_t damaged = mutator.below(originals_.size());
        for (size_t i = 0; i < originals_.size(); ++i) {
            Bytes bytes = originals_[i];
            if (i == damaged) {
                // The tables the library reads first sit in the first sectors.
                bytes = mutator.chance(20) ? mutator.truncate(bytes) : mutator.mutate(bytes, 512);
                for (int more = int(mutator.below(6)); more > 0; --more)
                    bytes = mutator.mutate(bytes, 2048);
            }
            write(i, bytes);
        }
    }

    // An information file (0: the video manager's) and its backup, or the
    // file alone with its backup as authored.
    const Bytes &original(size_t index) const { return originals_[index]; }
    void write(size_t index, const Bytes &bytes, bool backupToo = true)
    {
        const QString base = videoTs_ + QLatin1Char('/') + QString::fromLatin1(kInfoFiles[index]);
        writeFile(base + ".IFO", bytes);
        writeFile(base + ".BUP", backupToo ? bytes : originals_[index]);
    }
    // A video file of the disc, replaced by an empty one.
    void emptyVideo(const QString &name)
    {
        const QString path = videoTs_ + QLatin1Char('/') + name;
        QFile::remove(path);
        writeFile(path, {});
    }

private:
    QTemporaryDir dir_;
    QString folder_;
    QString videoTs_;
    std::vector<Bytes> originals_;
};

} // namespace

TEST(DvdSourceRobustness, DamagedInfoFilesGiveTheDiscsFactsOrAReadableError)
{
    DamagedInfoFiles disc;
    ASSERT_TRUE(disc.ready());
    Mutator mutator(451);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        disc.damage(mutator);
        try {
            const ProbedDisc probed = DvdSource::probe(DvdSource::resolve(disc.folder()));
            ASSERT_LE(probed.info.titles.size(), 99u);
            for (const TitleInfo &title : probed.info.titles) {
                EXPECT_LE(title.audio.size(), 8u);
                EXPECT_LE(title.subpictures.size(), 32u);
                EXPECT_GE(title.duration90k, 0);
            }
        } catch (const AppError &error) {
            EXPECT_TRUE(error.description().contains(disc.folder()))
                << error.description().toStdString();
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

uint32_t be32(const Bytes &bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
           uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// Files that the library cannot survive: it frees the title table twice when
// the file ends right after its start, or a program chain's commands when
// they run past the end.
TEST(DvdSourceRobustness, InfoFilesTheLibraryCannotSurviveAreRefused)
{
    DamagedInfoFiles disc;
    ASSERT_TRUE(disc.ready());
    const Bytes manager = disc.original(0);
    const uint32_t titleTable = be32(manager, 0xC4) * 2048;
    const uint32_t firstPlay = be32(manager, 0x84);
    const size_t commands =
        firstPlay + (manager[firstPlay + 0xE4] << 8 | manager[firstPlay + 0xE5]);
    ASSERT_GT(titleTable, 0u);
    ASSERT_LT(commands + 8, manager.size());

    Bytes cutAtTitles(manager.begin(), manager.begin() + titleTable);
    Bytes titlesTooLong = manager;
    titlesTooLong[titleTable + 4] = 0x7F;
    Bytes commandsTooMany = manager;
    commandsTooMany[commands] = 0xFF; // pre-commands
    for (const Bytes &damaged : {cutAtTitles, titlesTooLong, commandsTooMany}) {
        disc.write(0, damaged);
        const std::optional<AppError> error =
            trapFirstError([&] { DvdSource::probe(DvdSource::resolve(disc.folder())); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), ErrorNumbers::kUnreadableSource);
        EXPECT_TRUE(error->description().contains(
            QStringLiteral("VIDEO_TS.IFO ends in the middle of a table")))
            << error->description().toStdString();
    }

    disc.write(0, manager);
    EXPECT_EQ(DvdSource::probe(DvdSource::resolve(disc.folder())).info.titles.size(), 2u);
}

// The disc may legitimately stand still for ever (a damaged still time), so
// what counts is that the control answers: Stop ends whatever it was doing.
TEST(DvdSourceRobustness, ADiscWithDamagedInfoFilesPlaysOrIsRefusedAndStops)
{
    DamagedInfoFiles disc;
    ASSERT_TRUE(disc.ready());
    Mutator mutator(1);
    int played = 0;
    for (int round = 0; round < 12; ++round) {
        disc.damage(mutator);
        Player player(disc.folder());
        try {
            player.engine->Play();
        } catch (const AppError &error) {
            EXPECT_TRUE(error.description().contains(disc.folder()));
            continue;
        }
        ++played;
        waitFor([&] { return player.engine->CurrentDomain() != DvdDomain::kFirstPlay; }, 1000);
        player.engine->Stop();
        EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop) << "round " << round;
    }
    EXPECT_GT(played, 0);
}

uint16_t be16(const Bytes &bytes, size_t at)
{
    return uint16_t(bytes[at] << 8 | bytes[at + 1]);
}

// One byte each, in a file and its backup unless said: where the first-play
// chain lies, a title's angles, a title chain's cell table (in the file
// only), a chapter's program, a chain's cells. Playback crashed, tripped an
// assertion of the library or went round in circles on each.
TEST(DvdSourceRobustness, InfoFilesThatContradictThemselvesAreRefused)
{
    DamagedInfoFiles disc;
    ASSERT_TRUE(disc.ready());
    for (size_t i = 0; i < 3; ++i)
        disc.write(i, disc.original(i));
    const Bytes manager = disc.original(0);
    const Bytes titleSet = disc.original(1);
    const size_t titles = be32(manager, 0xC4) * 2048;
    const size_t chains = be32(titleSet, 0xCC) * 2048;
    const size_t chain = chains + be32(titleSet, chains + 12);
    const size_t chapters = be32(titleSet, 0xC8) * 2048;
    const size_t secondChapter = chapters + be32(titleSet, chapters + 8) + 4;
    ASSERT_EQ(be16(titleSet, secondChapter), 1); // program chain 1
    ASSERT_GT(titleSet[chain + 3], 1);           // cells

    struct Damage {
        size_t file;
        std::vector<std::pair<size_t, uint8_t>> bytes;
        bool backupToo = true;
    };
    const Damage damages[] = {{0, {{0x84, 0}, {0x85, 0}, {0x86, 0}, {0x87, 5}}},
                              {0, {{titles + 9, 2}}},
                              {1, {{chain + 0xE8, 0}, {chain + 0xE9, 0}}, false},
                              {1, {{secondChapter + 3, 99}}},
                              {1, {{chain + 3, 0}}}};
    for (const Damage &damage : damages) {
        Bytes damaged = disc.original(damage.file);
        for (const auto &[at, value] : damage.bytes)
            damaged[at] = value;
        disc.write(damage.file, damaged, damage.backupToo);
        QString description;
        EXPECT_EQ(TestDisc::errorNumber(
                      [&] { DvdSource::probe(DvdSource::resolve(disc.folder())); }, &description),
                  ErrorNumbers::kUnreadableSource)
            << "at byte " << damage.bytes.front().first << " of file " << damage.file;
        EXPECT_TRUE(description.contains(QStringLiteral("is inconsistent")))
            << description.toStdString();
        disc.write(damage.file, disc.original(damage.file));
    }
    EXPECT_EQ(DvdSource::probe(DvdSource::resolve(disc.folder())).info.titles.size(), 2u);
}

TEST(DvdSourceRobustness, ATitleWhoseVideoIsEmptyIsNotReadable)
{
    DamagedInfoFiles disc;
    ASSERT_TRUE(disc.ready());
    for (size_t i = 0; i < 3; ++i)
        disc.write(i, disc.original(i));
    disc.emptyVideo(QStringLiteral("VTS_02_1.VOB"));
    const DiscInfo info = DvdSource::probe(DvdSource::resolve(disc.folder())).info;
    ASSERT_EQ(info.titles.size(), 2u);
    EXPECT_TRUE(info.titles[0].unreadable.isEmpty()) << info.titles[0].unreadable.toStdString();
    EXPECT_FALSE(info.titles[1].unreadable.isEmpty());
}
