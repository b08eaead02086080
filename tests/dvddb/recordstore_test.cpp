#include "base/errors.h"
#include "dvddb/recordfile.h"
#include "dvddb/recordstore.h"
#include "support/qtprinters.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <functional>

#include <gtest/gtest.h>

namespace
{

class RecordStoreTest : public ::testing::Test
{
protected:
    QString dir() const { return folder.path() + '/'; }

    QByteArray bytesOf(const QString &name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void put(const QString &name, const QByteArray &bytes)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void writeWithPicture(const QString &id, const QString &picture)
    {
        RecordStore::writeRecord(dir(), id, {id}, picture);
    }

    QStringList entries() const
    {
        return QDir(folder.path())
            .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir folder;
};

QImage filled(Qt::GlobalColor color, QSize size = {8, 8})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QImage red()
{
    return filled(Qt::red);
}

QRgb cornerOf(const QImage &picture)
{
    return picture.pixel(0, 0);
}

} // namespace

TEST_F(RecordStoreTest, ARecordIsNineCrLfLinesInWindows1252NamedByItsIdentifier)
{
    RecordStore::writeRecord(dir(), "ABC",
                             {QString::fromUtf8("Café €"), "Dir", "Co", "1999", "Cast",
                              "two\r\nlines", "English, ", "French, English, "},
                             RecordStore::kNoPicture);
    EXPECT_EQ(bytesOf("ABC.dvd"),
              QByteArray("Caf\xe9 \x80\r\nDir\r\nCo\r\n1999\r\nCast\r\n"
                         "two  lines\r\nEnglish, \r\nFrench, English, \r\n0\r\n"));
    // Written again, the record is replaced; no temporary file stays.
    RecordStore::writeRecord(dir(), "ABC", {"New"}, "p.bmp");
    EXPECT_EQ(bytesOf("ABC.dvd"), QByteArray("New\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\np.bmp\r\n"));
    EXPECT_EQ(entries(), QStringList{"ABC.dvd"});
    EXPECT_EQ(RecordStore::identifierOf("ABC.DVD"), "ABC");
}

TEST_F(RecordStoreTest, IdentifiersThatLeaveTheFolderAreRefused)
{
    for (const QString id : {"../escape", "a/b", ".", ".."})
        EXPECT_THROW(RecordStore::writeRecord(dir(), id, {"T"}, "0"), AppError) << id.toStdString();
    EXPECT_THROW(RecordStore::savePicture(dir(), red(), "../x.bmp", "A"), AppError);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(QFile::exists(folder.path() + "/../escape.dvd"));
}

TEST_F(RecordStoreTest, AWriteThatFailsIsReportedAndLeavesNothingBehind)
{
    EXPECT_THROW(RecordStore::writeRecord(dir() + "missing/", "ABC", {"T"}, "0"), AppError);
    // A folder where the record should go cannot be replaced.
    ASSERT_TRUE(QDir(folder.path()).mkdir("ABC.dvd"));
    EXPECT_THROW(RecordStore::writeRecord(dir(), "ABC", {"T"}, "0"), AppError);
    EXPECT_EQ(entries(), QStringList{"ABC.dvd"});
}

TEST_F(RecordStoreTest, APictureIsStoredAsABitmapAndReadByItsContent)
{
    EXPECT_EQ(RecordStore::savePicture(dir(), red(), "cover.jpg", "A"), "cover.jpg");
    EXPECT_TRUE(bytesOf("cover.jpg").startsWith("BM"));
    EXPECT_EQ(RecordStore::loadRecordPicture(dir(), "cover.jpg").pixel(0, 0),
              QColor(Qt::red).rgb());
}

TEST_F(RecordStoreTest, APictureLineNamingAnythingButAPlainFileInTheFolderFailsToLoad)
{
    QTemporaryDir outside;
    red().save(outside.filePath("x.bmp"), "BMP");
    const QString escape = "../" + QDir(outside.path()).dirName() + "/x.bmp";
    EXPECT_THROW(RecordStore::loadRecordPicture(dir(), escape), AppError);
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath("pipe.bmp")).constData(), 0600), 0);
    EXPECT_THROW(RecordStore::loadRecordPicture(dir(), "pipe.bmp"), AppError);
    EXPECT_THROW(RecordStore::loadRecordPicture(dir(), ""), AppError);
    put("text.bmp", "not a picture");
    EXPECT_THROW(RecordStore::loadRecordPicture(dir(), "text.bmp"), AppError);
}

TEST_F(RecordStoreTest, DeletingKeepsAPictureThatAnotherRecordNames)
{
    RecordStore::savePicture(dir(), red(), "shared.bmp", "one");
    RecordStore::savePicture(dir(), red(), "own.bmp", "four");
    writeWithPicture("one", "shared.bmp");
    writeWithPicture("two", "Shared.bmp");
    writeWithPicture("three", "shared.bmp");
    writeWithPicture("four", "own.bmp");
    writeWithPicture("five", "0");
    put("0", "a file called 0");

    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "one.dvd"));
    EXPECT_TRUE(QFile::exists(dir() + "shared.bmp"));
    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "three.dvd"));
    EXPECT_FALSE(QFile::exists(dir() + "shared.bmp"));
    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "four.dvd"));
    EXPECT_FALSE(QFile::exists(dir() + "own.bmp"));
    // No picture and a missing record are no failures; "0" names no file.
    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "five.dvd"));
    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "five.dvd"));
    EXPECT_EQ(entries(), QStringList({"0", "two.dvd"}));
}

// Two records whose pictures came from files both named "cover.jpg" shared
// one file, the second overwriting the first's picture.
TEST_F(RecordStoreTest, APictureNeverReplacesAnotherRecordsPictureOrAnyOtherFile)
{
    EXPECT_EQ(RecordStore::savePicture(dir(), red(), "cover.jpg", "A"), "cover.jpg");
    writeWithPicture("A", "cover.jpg");
    EXPECT_EQ(RecordStore::savePicture(dir(), filled(Qt::blue), "cover.jpg", "B"), "cover-2.jpg");
    writeWithPicture("B", "cover-2.jpg");
    EXPECT_EQ(cornerOf(RecordStore::loadRecordPicture(dir(), "cover.jpg")), QColor(Qt::red).rgb());
    // The same picture chosen again keeps its name, whoever chose it first.
    EXPECT_EQ(RecordStore::savePicture(dir(), filled(Qt::blue), "cover.jpg", "B"), "cover-2.jpg");
    EXPECT_EQ(RecordStore::savePicture(dir(), red(), "cover.jpg", "C"), "cover.jpg");
    // A record's own picture gives way to its new one.
    EXPECT_EQ(RecordStore::savePicture(dir(), filled(Qt::green), "cover.jpg", "A"), "cover.jpg");

    put("notes", "not a picture");
    EXPECT_EQ(RecordStore::savePicture(dir(), red(), "notes", "A"), "notes-2");
    EXPECT_EQ(bytesOf("notes"), QByteArray("not a picture"));
    EXPECT_THROW(RecordStore::savePicture(dir(), red(), "B.dvd", "A"), AppError);
}

// A photo from a camera was written as a 36 MB bitmap.
TEST_F(RecordStoreTest, APictureIsKeptAtMostAThousandPixelsOnItsLongerSide)
{
    const QImage photo = filled(Qt::darkGreen, {4000, 3000});
    EXPECT_EQ(RecordStore::savePicture(dir(), photo, "photo.jpg", "A"), "photo.jpg");
    EXPECT_LT(bytesOf("photo.jpg").size(), 3 * 1024 * 1024);
    QTemporaryDir elsewhere;
    ASSERT_TRUE(photo.save(elsewhere.filePath("photo.jpg"), "JPEG"));
    EXPECT_EQ(RecordStore::loadPicture(elsewhere.filePath("photo.jpg")).size(), QSize(1000, 750));
    EXPECT_EQ(RecordStore::loadRecordPicture(dir(), "photo.jpg").size(), QSize(1000, 750));
}

// Links planted in the folder had records and pictures written to, and
// shown from, files outside it.
TEST_F(RecordStoreTest, LinksInTheFolderAreRefusedAndNeverFollowed)
{
    QTemporaryDir outside;
    const QString target = outside.filePath("precious");
    QFile precious(target);
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.write("secret\r\n");
    precious.close();
    ASSERT_TRUE(QFile::link(target, folder.filePath("LINK.dvd")));
    ASSERT_TRUE(QFile::link(target, folder.filePath("cover.jpg")));

    const auto refusal = [](const std::function<void()> &action) {
        const auto error = trapFirstError(action);
        return error ? error->description() : QString();
    };
    EXPECT_TRUE(refusal([&] {
                    RecordStore::writeRecord(dir(), "LINK", {"T"}, "0");
                }).contains("symbolic link"));
    EXPECT_TRUE(
        refusal([&] { RecordFile::readRecord(dir() + "LINK.dvd"); }).contains("symbolic link"));
    EXPECT_TRUE(refusal([&] {
                    RecordStore::savePicture(dir(), red(), "cover.jpg", "A");
                }).contains("symbolic link"));
    EXPECT_THROW(RecordStore::loadRecordPicture(dir(), "cover.jpg"), AppError);
    QTemporaryDir elsewhere;
    QFile source(elsewhere.filePath("LINK.dvd"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("Imported\r\n");
    source.close();
    EXPECT_THROW(RecordStore::importRecord(dir(), source.fileName()), AppError);
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), QByteArray("secret\r\n"));
}

// A picture line naming another record made Delete remove that record too.
TEST_F(RecordStoreTest, DeleteRemovesOnlyAPictureFileOfTheRecordsOwn)
{
    writeWithPicture("D", "0");
    writeWithPicture("A", "D.dvd");
    put("notes.txt", "the user's notes");
    writeWithPicture("B", "notes.txt");
    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "A.dvd"));
    EXPECT_FALSE(RecordStore::deleteRecord(dir() + "B.dvd"));
    EXPECT_EQ(entries(), QStringList({"D.dvd", "notes.txt"}));
}

TEST_F(RecordStoreTest, ImportReplacesARecordAndRefusesWhatIsNoRecordFile)
{
    QTemporaryDir elsewhere;
    QFile source(elsewhere.filePath("ABC.dvd"));
    ASSERT_TRUE(writeTestFile(source.fileName(), "Imported\r\n"));
    writeWithPicture("ABC", "0");
    RecordStore::importRecord(dir(), source.fileName());
    EXPECT_EQ(bytesOf("ABC.dvd"), QByteArray("Imported\r\n"));
    // Onto itself: nothing to do.
    RecordStore::importRecord(dir(), dir() + "ABC.dvd");
    EXPECT_EQ(bytesOf("ABC.dvd"), QByteArray("Imported\r\n"));

    const QString pipe = elsewhere.filePath("pipe.dvd");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_THROW(RecordStore::importRecord(dir(), pipe), AppError);
    QFile large(elsewhere.filePath("large.dvd"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write(QByteArray(RecordStore::kMaxImportBytes + 1, 'x'));
    large.close();
    EXPECT_THROW(RecordStore::importRecord(dir(), large.fileName()), AppError);
    EXPECT_EQ(entries(), QStringList{"ABC.dvd"});
}
