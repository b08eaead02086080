#include "base/errors.h"
#include "engine/control/bookmarkstore.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{

const QString kDiscA = QStringLiteral("0123456789abcdef0123456789abcdef");
const QString kDiscB = QStringLiteral("fedcba9876543210fedcba9876543210");

struct BookmarkStoreTest : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath("bookmarks.json");
    BookmarkStore store{file};

    static BookmarkStore::Record at33Seconds() { return {1, 3, 33.25, 2, 1, 1, true}; }
    QByteArray fileContent() const
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    void writeFile(const QByteArray &content) const
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    AppError errorOf(const std::function<void()> &action) const
    {
        const auto error = trapFirstError(action);
        EXPECT_TRUE(error.has_value());
        return error.value_or(AppError(0, {}));
    }
};

} // namespace

TEST_F(BookmarkStoreTest, ARecordSurvivesANewInstance)
{
    store.save(kDiscA, at33Seconds());
    const auto loaded = BookmarkStore(file).load(kDiscA);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, at33Seconds());
    EXPECT_EQ(BookmarkStore(file).load(kDiscA.toUpper()), at33Seconds());
}

TEST_F(BookmarkStoreTest, EachDiscKeepsItsOwnBookmark)
{
    EXPECT_FALSE(store.load(kDiscA).has_value());
    store.save(kDiscA, at33Seconds());
    BookmarkStore::Record other{2, 1, 0.0, 1, 15, 62, false};
    store.save(kDiscB, other);
    other.seconds = 612.5;
    store.save(kDiscB, other);
    EXPECT_EQ(store.load(kDiscA), at33Seconds());
    EXPECT_EQ(store.load(kDiscB), other);
}

TEST_F(BookmarkStoreTest, RemoveDeletesOnlyThatDisc)
{
    EXPECT_FALSE(store.remove(kDiscA));
    EXPECT_FALSE(QFile::exists(file));
    store.save(kDiscA, at33Seconds());
    store.save(kDiscB, at33Seconds());
    EXPECT_TRUE(BookmarkStore(file).remove(kDiscA));
    EXPECT_FALSE(store.load(kDiscA).has_value());
    EXPECT_TRUE(store.load(kDiscB).has_value());
    EXPECT_FALSE(store.remove(kDiscA));
}

TEST_F(BookmarkStoreTest, HostileDiscIdsAreRefusedAndTouchNothing)
{
    store.save(kDiscB, at33Seconds());
    const QByteArray before = fileContent();
    const QString hostile[] = {"../../../../etc/passwd",
                               kDiscA.left(31),
                               kDiscA + "0",
                               "0123456789abcdef0123456789abcdeg",
                               "0123456789abcdef0123456789abcde/",
                               QString(32, QChar(0x0663)), // Arabic-Indic digit three
                               QString(32, QChar(0xff21)), // fullwidth A
                               ""};
    for (const QString &id : hostile) {
        EXPECT_EQ(errorOf([&] { store.save(id, at33Seconds()); }).number(),
                  ErrorNumbers::kInvalidArgument)
            << id.toStdString();
        EXPECT_EQ(errorOf([&] { store.load(id); }).number(), ErrorNumbers::kInvalidArgument);
        EXPECT_EQ(errorOf([&] { store.remove(id); }).number(), ErrorNumbers::kInvalidArgument);
    }
    EXPECT_EQ(fileContent(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"bookmarks.json"});
}

TEST_F(BookmarkStoreTest, PositionsNoDiscCanHaveAreRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const BookmarkStore::Record bad[] = {
        {0, 1, 1.0, 1, 0, 0, false},  {1, 0, 1.0, 1, 0, 0, false},  {1, 1, -1.0, 1, 0, 0, false},
        {1, 1, nan, 1, 0, 0, false},  {1, 1, 1.0, 0, 0, 0, false},  {1, 1, 1.0, 1, 8, 0, false},
        {1, 1, 1.0, 1, 0, 32, false}, {1, 1, 1.0, 1, -1, 0, false},
    };
    for (const auto &record : bad)
        EXPECT_EQ(errorOf([&] { store.save(kDiscA, record); }).number(),
                  ErrorNumbers::kInvalidArgument);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(BookmarkStoreTest, ADamagedFileIsReportedAndSetAsideOnTheNextSave)
{
    writeFile("{\"discs\": {\"0123456789abcdef");
    const AppError error = errorOf([&] { store.load(kDiscA); });
    EXPECT_EQ(error.number(), ErrorNumbers::kFileError);
    EXPECT_TRUE(error.description().contains("damaged"));
    EXPECT_FALSE(store.remove(kDiscA));

    store.save(kDiscB, at33Seconds());
    EXPECT_EQ(store.load(kDiscB), at33Seconds());
    QFile aside(file + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), "{\"discs\": {\"0123456789abcdef");

    writeFile("[1, 2, 3]");
    EXPECT_EQ(errorOf([&] { store.load(kDiscA); }).number(), ErrorNumbers::kFileError);
}

TEST_F(BookmarkStoreTest, AnEntryEditedByHandCountsAsNoBookmarkForThatDiscOnly)
{
    writeFile(R"({"discs": {
        "0123456789abcdef0123456789abcdef": {"title": "one", "chapter": 1, "seconds": 3,
            "angle": 1, "audioStream": 0, "subpictureStream": 0, "subpictureOn": false},
        "fedcba9876543210fedcba9876543210": {"title": 2, "chapter": 4, "seconds": 90.5,
            "angle": 1, "audioStream": 1, "subpictureStream": 0, "subpictureOn": true},
        "00000000000000000000000000000000": {"title": 1.5, "chapter": 1, "seconds": 3,
            "angle": 1, "audioStream": 0, "subpictureStream": 0, "subpictureOn": false},
        "11111111111111111111111111111111": [1, 2],
        "22222222222222222222222222222222": {"title": 1, "chapter": 1, "seconds": 3,
            "angle": 1, "audioStream": 0, "subpictureStream": 0, "subpictureOn": 1},
        "../escape": {"title": 1}
    }})");
    EXPECT_FALSE(store.load(kDiscA).has_value());
    EXPECT_FALSE(store.load(QString(32, '0')).has_value());
    EXPECT_FALSE(store.load(QString(32, '1')).has_value());
    EXPECT_FALSE(store.load(QString(32, '2')).has_value());
    const BookmarkStore::Record expected{2, 4, 90.5, 1, 1, 0, true};
    EXPECT_EQ(store.load(kDiscB), expected);

    store.save(kDiscA, at33Seconds());
    EXPECT_EQ(store.load(kDiscA), at33Seconds());
    EXPECT_EQ(store.load(kDiscB), expected);
}

TEST_F(BookmarkStoreTest, AFileThatCannotBeWrittenGivesAReadableError)
{
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    BookmarkStore unwritable(dir.filePath("not-a-folder/bookmarks.json"));
    const AppError error = errorOf([&] { unwritable.save(kDiscA, at33Seconds()); });
    EXPECT_EQ(error.number(), ErrorNumbers::kFileError);
    EXPECT_TRUE(error.description().startsWith("Cannot write the bookmark file"));
}
