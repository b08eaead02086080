#include "base/errors.h"
#include "dvddb/recordfile.h"
#include "platform/windows1252.h"
#include "support/mutator.h"
#include "support/qtprinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

// Record files damaged or replaced by things that are no records: the reader
// returns lines or a readable error, at once.
namespace
{

// A record as earlier versions wrote them: Windows-1252, CR LF.
const QByteArray kRecord = "Le fabuleux destin d'Am\xe9lie Poulain\r\n"
                           "Jean-Pierre Jeunet\r\n"
                           "UGC \x96 Victoires\r\n"
                           "2001\r\n"
                           "Audrey Tautou, Mathieu Kassovitz\r\n"
                           "Prix \x80 12,99 \x93vu\x94\r\n"
                           "Fran\xe7"
                           "ais, English\r\n"
                           "Fran\xe7"
                           "ais 5.1, English 2.0\r\n"
                           "amelie.jpg\r\n";

// What the lines of the bytes are: split at LF, one CR before it dropped,
// no empty line after a last line end.
QStringList expectedLines(QByteArray bytes)
{
    QStringList lines;
    if (bytes.isEmpty())
        return lines;
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines << Windows1252::decode(line);
    }
    return lines;
}

class RecordFileRobustness : public ::testing::Test
{
protected:
    QString write(const QByteArray &bytes)
    {
        QFile file(path_);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path_;
    }

    QTemporaryDir folder_;
    QString path_ = folder_.filePath(QStringLiteral("0123456789abcdef0123456789abcdef.dvd"));
};

} // namespace

TEST_F(RecordFileRobustness, DamagedRecordsReadAsTheirLinesAndAlwaysNineFields)
{
    ASSERT_EQ(RecordFile::readRecord(write(kRecord)).size(), RecordFile::kRecordLines);
    Mutator mutator(1252);
    for (int round = 0; round < 1500; ++round) {
        const std::vector<uint8_t> original(kRecord.begin(), kRecord.end());
        std::vector<uint8_t> bytes = mutator.mutate(original);
        if (mutator.chance(20))
            bytes = mutator.truncate(bytes);
        // Line ends, lone CRs and NULs are what line splitting trips over.
        for (int extra = int(mutator.below(3)); extra > 0; --extra) {
            static constexpr char kTricky[] = {'\r', '\n', '\0'};
            bytes.insert(bytes.begin() + std::ptrdiff_t(mutator.below(bytes.size() + 1)),
                         uint8_t(kTricky[mutator.below(3)]));
        }
        const QByteArray damaged(reinterpret_cast<const char *>(bytes.data()),
                                 qsizetype(bytes.size()));
        write(damaged);
        const QStringList expected = expectedLines(damaged);
        ASSERT_EQ(RecordFile::readLines(path_), expected) << "round " << round;
        EXPECT_EQ(RecordFile::readTitle(path_), expected.value(0));
        QStringList record = expected.mid(0, RecordFile::kRecordLines);
        while (record.size() < RecordFile::kRecordLines)
            record << QString();
        EXPECT_EQ(RecordFile::readRecord(path_), record);
    }
}

TEST_F(RecordFileRobustness, HugeFilesAreReadOnlyInPart)
{
    // Ten times the largest record there could be, with no line end at all.
    const QByteArray huge(10 * 1024 * 1024, 'x');
    write(huge + "\r\nsecond\r\n");
    const QStringList lines = RecordFile::readLines(path_);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_GE(lines[0].size(), 64 * 1024);
    EXPECT_LT(lines[0].size(), 64 * 1024 + 2);

    // Many short lines: the first ones are read, the file's end is not waited for.
    QByteArray manyLines;
    for (int i = 0; i < 400000; ++i)
        manyLines += "line\r\n";
    write(manyLines);
    EXPECT_LT(RecordFile::readLines(path_).size(), 400000);
    EXPECT_EQ(RecordFile::readRecord(path_), QStringList(RecordFile::kRecordLines, "line"));
}

// A pipe would block the reader until someone writes to it, a device like
// /dev/zero would never end: both are refused before they are opened.
TEST_F(RecordFileRobustness, PipesDevicesAndFoldersAreRefusedWithAReadableError)
{
    const QString pipe = folder_.filePath(QStringLiteral("pipe.dvd"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString device = folder_.filePath(QStringLiteral("zero.dvd"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    for (const QString &path : {pipe, device, folder_.path()}) {
        const std::optional<AppError> error = trapFirstError([&] { RecordFile::readRecord(path); });
        ASSERT_TRUE(error) << path.toStdString();
        EXPECT_EQ(error->number(), ErrorNumbers::kFileError);
        EXPECT_TRUE(error->description().contains(path));
        EXPECT_TRUE(error->description().endsWith(path == device ? "it is a symbolic link"
                                                                 : "it is not a plain file"))
            << error->description().toStdString();
    }
}
