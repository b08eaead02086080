#include "base/errors.h"
#include "dvddb/filelist.h"
#include "dvddb/recordfile.h"
#include "platform/windows1252.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class RecordFileTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
};

} // namespace

TEST(Windows1252, DecodesTheHighControlRangeAndLatin1)
{
    EXPECT_EQ(Windows1252::decode("\x80\x85\x99\x9f\xe9\xff\x81"),
              QString::fromUtf8("€…™Ÿéÿ\u0081"));
}

TEST(Windows1252, EncodesBackAndWritesAQuestionMarkForWhatItCannotHold)
{
    EXPECT_EQ(Windows1252::encode(QString::fromUtf8("Café € — ™")),
              QByteArray("Caf\xe9 \x80 \x97 \x99"));
    EXPECT_EQ(Windows1252::encode(QString::fromUtf8("中▶😀x")), QByteArray("???x"));
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte.append(char(byte));
    EXPECT_EQ(Windows1252::encode(Windows1252::decode(everyByte)), everyByte);
}

TEST_F(RecordFileTest, ReadsCrLfAndLfLines)
{
    const QString path = write("mixed.dvd", "first\r\nsecond\nthird\r\n\r\nfifth");
    EXPECT_EQ(RecordFile::readLines(path), QStringList({"first", "second", "third", "", "fifth"}));
    EXPECT_EQ(RecordFile::readLines(path, 2), QStringList({"first", "second"}));
    EXPECT_EQ(RecordFile::readTitle(path), "first");
    EXPECT_EQ(RecordFile::readTitle(write("empty.dvd", "")), "");
}

TEST_F(RecordFileTest, ARecordHasExactlyNineLines)
{
    const QStringList shortRecord = RecordFile::readRecord(write("short.dvd", "a\r\nb\r\nc\r\n"));
    EXPECT_EQ(shortRecord, QStringList({"a", "b", "c", "", "", "", "", "", ""}));
    const QString longPath =
        write("long.dvd", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    EXPECT_EQ(RecordFile::readRecord(longPath).size(), 9);
    EXPECT_EQ(RecordFile::readRecord(longPath).last(), "9");
}

TEST_F(RecordFileTest, AnOverlongLineIsCutAndTheNextLineStillRead)
{
    const QByteArray huge(200 * 1024, 'x');
    const QStringList lines = RecordFile::readLines(write("huge.dvd", huge + "\r\nnext\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_LT(lines[0].size(), huge.size());
    EXPECT_EQ(lines[1], "next");
}

TEST_F(RecordFileTest, AFileThatCannotBeReadIsAnError)
{
    EXPECT_THROW(RecordFile::readLines(folder.filePath("missing.dvd")), AppError);
    EXPECT_THROW(RecordFile::readTitle(folder.path()), AppError);
}

TEST_F(RecordFileTest, TheListingMatchesThePatternInAnyCaseSortedWithoutCase)
{
    write("b.DVD", "");
    write("A.dvd", "");
    write("c.dvd", "");
    write("notes.txt", "");
    QDir(folder.path()).mkdir("folder.dvd");
    FileList list(QStringLiteral("*.dvd"));
    list.Path = folder.path();
    list.Refresh();
    EXPECT_EQ(list.names(), QStringList({"A.dvd", "b.DVD", "c.dvd"}));

    list.Path = folder.filePath("gone");
    EXPECT_THROW(list.Refresh(), AppError);
    EXPECT_EQ(list.names().size(), 3);
}
