#include "base/errors.h"
#include "dvddb/collectionexport.h"
#include "dvddb/discalias.h"
#include "dvddb/recordstore.h"
#include "dvddb/titleguess.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class CollectionTest : public ::testing::Test
{
protected:
    QString dir() const { return folder.path() + '/'; }

    void record(const QString &id, const QStringList &fields, const QString &picture = "0")
    {
        RecordStore::writeRecord(dir(), id, fields, picture);
    }

    QByteArray bytesOf(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(CollectionTest, CsvIsQuotedSortedByTitleAndHeadedByItsFields)
{
    record("b2", {"zulu", "Dir, with comma", "", "1999", "He said \"hi\""});
    record("a1", {"Alpha 10", "", "", "", "", "", "en", "de"}, "cover.jpg");
    record("c3", {"alpha 9"});
    const QString target = dir() + "out.csv";
    ASSERT_EQ(CollectionExport::exportCollection(dir(), target), 0);
    EXPECT_EQ(QString::fromUtf8(bytesOf(target)),
              "Title,Director,Company,Year,Actors,Comments,Subtitles,Audio streams,Disc ID,"
              "Picture file\r\n"
              "alpha 9,,,,,,,,c3,\r\n"
              "Alpha 10,,,,,,en,de,a1,cover.jpg\r\n"
              "zulu,\"Dir, with comma\",,1999,\"He said \"\"hi\"\"\",,,,b2,\r\n");
}

TEST_F(CollectionTest, WebPageStandsAloneAndNamesRecordsThatCannotBeRead)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    RecordStore::savePicture(dir(), picture, "film.bmp", "a1");
    record("a1", {"<Film & Co>", "Someone"}, "film.bmp");
    const QString target = dir() + "collection.HTML";
    ASSERT_EQ(CollectionExport::exportCollection(dir(), target), 0);
    const QByteArray page = bytesOf(target);
    EXPECT_TRUE(page.contains("<h2>&lt;Film &amp; Co&gt;</h2>"));
    EXPECT_TRUE(page.contains("<img src=\"data:image/jpeg;base64,"));
    EXPECT_FALSE(page.contains("could not be read"));

    CollectionExport::Collection collection = CollectionExport::readCollection(dir());
    collection.unreadable << "broken.dvd: Cannot read it";
    const QByteArray withBroken = CollectionExport::toHtml(collection, dir());
    const qsizetype unreadable = withBroken.indexOf("Records that could not be read");
    ASSERT_GT(unreadable, withBroken.indexOf("&lt;Film"));
    EXPECT_GT(withBroken.indexOf("broken.dvd: Cannot read it", unreadable), unreadable);
}

TEST_F(CollectionTest, ExportRefusesALinkOrFolderInPlaceOfItsFile)
{
    record("a1", {"Film"});
    const QString elsewhere = dir() + "elsewhere.txt";
    QFile::link(elsewhere, dir() + "out.csv");
    EXPECT_THROW(CollectionExport::exportCollection(dir(), dir() + "out.csv"), AppError);
    EXPECT_FALSE(QFile::exists(elsewhere));
    EXPECT_EQ(CollectionExport::withExtension("films"), "films.csv");
    EXPECT_EQ(CollectionExport::withExtension("films.html"), "films.html");
}

TEST_F(CollectionTest, AnAliasLendsARecordToAnotherDiscUntilTheRecordGoes)
{
    record("boxset1", {"The Box Set"});
    EXPECT_EQ(DiscAlias::recordIdentifierFor(dir(), "boxset2"), "boxset2");
    DiscAlias::link(dir(), "boxset2", "boxset1");
    EXPECT_EQ(DiscAlias::recordIdentifierFor(dir(), "boxset2"), "boxset1");
    EXPECT_EQ(QDir(folder.path()).entryList({"*.dvd"}, QDir::Files).size(), 1);
    // A disc with a record of its own keeps it; linking it is refused.
    record("own", {"Own"});
    EXPECT_THROW(DiscAlias::link(dir(), "own", "boxset1"), AppError);
    EXPECT_THROW(DiscAlias::link(dir(), "x", "../boxset1"), AppError);

    QFile::remove(dir() + "boxset1.dvd"); // dangling: ignored
    EXPECT_EQ(DiscAlias::recordIdentifierFor(dir(), "boxset2"), "boxset2");
    record("boxset1", {"The Box Set"});
    DiscAlias::removeLinksTo(dir(), "boxset1");
    EXPECT_FALSE(QFile::exists(dir() + "boxset2.alias"));
}

TEST(TitleGuess, VolumeNamesReadAsTitlesUnlessTheySayNothing)
{
    EXPECT_EQ(titleFromVolumeName("STAR_WARS_EP1_D1"), "Star Wars Ep1 D1");
    EXPECT_EQ(titleFromVolumeName("  the.matrix "), "The Matrix");
    for (const char *empty : {"DVD_VIDEO", "DISC1", "", "DVDVIDEO", "VIDEO_TS", "DVD 2"})
        EXPECT_EQ(titleFromVolumeName(empty), "") << empty;
}
