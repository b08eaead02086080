#include "base/errors.h"
#include "engine/control/bookmarkstore.h"
#include "support/mutator.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cctype>

#include <sys/stat.h>

// A bookmark file broken in every way a crash, a full disk or a hand edit
// can leave it: reading it never fails other than with a readable error, and
// saving another bookmark never loses what the file held.
namespace
{

const QString kDiscA = QStringLiteral("0123456789abcdef0123456789abcdef");
const QString kDiscB = QStringLiteral("fedcba9876543210fedcba9876543210");
const QString kDiscC = QStringLiteral("00112233445566778899aabbccddeeff");
const QString kNewDisc = QStringLiteral("abababababababababababababababab");

struct BookmarkFileTest : ::testing::Test {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    QString file = dir.filePath(QStringLiteral("bookmarks.json"));
    BookmarkStore store{file};

    static BookmarkStore::Record at(double seconds) { return {1, 2, seconds, 1, 1, 0, true}; }

    // A file as the store writes it, holding three discs.
    QByteArray realFile()
    {
        BookmarkStore real(elsewhere.filePath(QStringLiteral("bookmarks.json")));
        real.save(kDiscA, at(12.5));
        real.save(kDiscB, {3, 7, 3599.96, 2, 15, 62, false});
        real.save(kDiscC, at(0));
        return read(real.filePath());
    }
    static QByteArray read(const QString &path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }
    // The files beside the bookmark file, by name.
    QStringList folder() const
    {
        return QDir(dir.path())
            .entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    void clearFolder() const
    {
        for (const QString &name : folder())
            QFile::remove(dir.filePath(name));
    }
};

// The discs a file holds, as the store itself would see them; nothing when
// it is not a bookmark file.
std::optional<QJsonObject> discsIn(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        !document.object().value(QStringLiteral("discs")).isObject())
        return std::nullopt;
    return document.object().value(QStringLiteral("discs")).toObject();
}

QByteArray broken(const QByteArray &file, Mutator &mutator)
{
    const std::vector<uint8_t> original(file.begin(), file.end());
    const std::vector<uint8_t> bytes =
        mutator.chance(30) ? mutator.truncate(original) : mutator.mutate(original);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// Values changed the way an editor would: a digit of a number or a letter of a
// key or word replaced, which mostly leaves the file readable.
QByteArray editedByHand(QByteArray file, Mutator &mutator)
{
    static const char kReplacements[] = "0123456789-.eE\"tfnx ";
    for (int edits = 1 + int(mutator.below(3)); edits > 0; --edits) {
        qsizetype at = qsizetype(mutator.below(size_t(file.size())));
        while (at < file.size() && !std::isalnum(static_cast<unsigned char>(file[at])))
            ++at;
        if (at < file.size())
            file[at] = kReplacements[mutator.below(sizeof kReplacements - 1)];
    }
    return file;
}

} // namespace

TEST_F(BookmarkFileTest, DamagedFilesAreReportedAndKeptWhenAnotherBookmarkIsSaved)
{
    const QByteArray real = realFile();
    ASSERT_TRUE(discsIn(real));
    Mutator mutator(1999);
    int damagedFiles = 0;
    int usableFiles = 0;
    for (int round = 0; round < 200; ++round) {
        clearFolder();
        const QByteArray damaged =
            round % 3 == 0 ? editedByHand(real, mutator) : broken(real, mutator);
        write(file, damaged);
        const std::optional<QJsonObject> before = discsIn(damaged);

        const std::optional<AppError> loadError = trapFirstError([&] {
            for (const QString &disc : {kDiscA, kDiscB, kDiscC}) {
                if (const auto record = store.load(disc)) {
                    EXPECT_TRUE(BookmarkStore::isValid(*record));
                }
            }
        });
        EXPECT_EQ(loadError.has_value(), !before) << damaged.toStdString();
        if (loadError) {
            EXPECT_EQ(loadError->number(), ErrorNumbers::kFileError);
            EXPECT_TRUE(loadError->description().contains(QStringLiteral("damaged")));
        }

        store.save(kNewDisc, at(42));
        EXPECT_EQ(store.load(kNewDisc), at(42));
        const std::optional<QJsonObject> after = discsIn(read(file));
        ASSERT_TRUE(after);
        if (before) {
            // Every other entry stays as it was, however odd.
            QJsonObject others = *after;
            others.remove(kNewDisc);
            QJsonObject expected = *before;
            expected.remove(kNewDisc);
            EXPECT_EQ(others, expected) << damaged.toStdString();
            EXPECT_EQ(folder(), QStringList{"bookmarks.json"});
            ++usableFiles;
        } else {
            EXPECT_EQ(read(file + QStringLiteral(".damaged")), damaged);
            ++damagedFiles;
        }
    }
    EXPECT_GT(damagedFiles, 30);
    EXPECT_GT(usableFiles, 30);
}

TEST_F(BookmarkFileTest, EveryDamagedFileIsKeptWhenDamageHappensAgain)
{
    const QByteArray real = realFile();
    const QByteArray first = real.left(real.size() / 2);
    const QByteArray second = real.left(real.size() / 3);
    write(file, first);
    store.save(kNewDisc, at(1));
    write(file, second);
    store.save(kNewDisc, at(2));
    write(file, "{\"discs\": 7}");
    store.save(kNewDisc, at(3));

    EXPECT_EQ(folder(), QStringList({"bookmarks.json", "bookmarks.json.damaged",
                                     "bookmarks.json.damaged-2", "bookmarks.json.damaged-3"}));
    EXPECT_EQ(read(file + ".damaged"), first);
    EXPECT_EQ(read(file + ".damaged-2"), second);
    EXPECT_EQ(read(file + ".damaged-3"), "{\"discs\": 7}");
    EXPECT_EQ(store.load(kNewDisc), at(3));
}

TEST_F(BookmarkFileTest, FilesThatAreNotBookmarksAtAllAreSetAside)
{
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray(1, '\0'),
        QByteArray(4096, '\xff'),
        QByteArray("\xef\xbb\xbf{\"discs\": {}}"),
        QByteArray(100000, '['),
        QByteArray(100000, '{'),
    };
    for (const QByteArray &bytes : cases) {
        clearFolder();
        write(file, bytes);
        const std::optional<AppError> error = trapFirstError([&] { store.load(kDiscA); });
        store.save(kNewDisc, at(5));
        EXPECT_EQ(store.load(kNewDisc), at(5));
        if (error) {
            EXPECT_EQ(error->number(), ErrorNumbers::kFileError);
            EXPECT_EQ(read(file + ".damaged"), bytes);
        }
    }
}

// A FIFO would block Close for good, and a huge file is none of ours: both
// are refused, and left as they are.
TEST_F(BookmarkFileTest, FilesThatAreNotPlainOrTooLargeAreNeitherReadNorReplaced)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    const auto fifoError = trapFirstError([&] { store.load(kDiscA); });
    ASSERT_TRUE(fifoError);
    EXPECT_EQ(fifoError->number(), ErrorNumbers::kFileError);
    EXPECT_TRUE(fifoError->description().contains(QStringLiteral("not a plain file")));
    EXPECT_THROW(store.save(kDiscA, at(1)), AppError);
    struct stat status {
    };
    EXPECT_TRUE(::stat(QFile::encodeName(file).constData(), &status) == 0 &&
                S_ISFIFO(status.st_mode));
    EXPECT_EQ(folder(), QStringList{"bookmarks.json"});

    clearFolder();
    const QByteArray large = realFile() + QByteArray(1024 * 1024, ' ');
    write(file, large);
    EXPECT_THROW(store.load(kDiscA), AppError);
    EXPECT_THROW(store.save(kNewDisc, at(1)), AppError);
    EXPECT_EQ(read(file), large);
    EXPECT_EQ(folder(), QStringList{"bookmarks.json"});
}
