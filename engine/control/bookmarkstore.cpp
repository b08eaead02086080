#include "engine/control/bookmarkstore.h"
#include "base/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace
{

constexpr qint64 kLargestFile = 1024 * 1024;
constexpr double kLongestTitle = 100.0 * 3600.0;
const QString kDiscsKey = QStringLiteral("discs");

// What the bookmark file holds; `damage` says why it could not be used.
struct FileContents {
    QJsonObject discs;
    QString damage;
};

AppError fileError(const QString &text, const QString &path, const QString &reason)
{
    return AppError(ErrorNumbers::kFileError, text.arg(QDir::toNativeSeparators(path), reason));
}

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

// A JSON number that is a whole int, or nothing.
std::optional<int> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::abs(number) > 1e9)
        return std::nullopt;
    return static_cast<int>(number);
}

QJsonObject toJson(const BookmarkStore::Record &record)
{
    return QJsonObject{
        {QStringLiteral("title"), record.title},
        {QStringLiteral("chapter"), record.chapter},
        {QStringLiteral("seconds"), record.seconds},
        {QStringLiteral("angle"), record.angle},
        {QStringLiteral("audioStream"), record.audioStream},
        {QStringLiteral("subpictureStream"), record.subpictureStream},
        {QStringLiteral("subpictureOn"), record.subpictureOn},
    };
}

std::optional<BookmarkStore::Record> fromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    const auto title = wholeNumber(object.value(QStringLiteral("title")));
    const auto chapter = wholeNumber(object.value(QStringLiteral("chapter")));
    const auto angle = wholeNumber(object.value(QStringLiteral("angle")));
    const auto audio = wholeNumber(object.value(QStringLiteral("audioStream")));
    const auto subpicture = wholeNumber(object.value(QStringLiteral("subpictureStream")));
    const QJsonValue seconds = object.value(QStringLiteral("seconds"));
    const QJsonValue on = object.value(QStringLiteral("subpictureOn"));
    if (!title || !chapter || !angle || !audio || !subpicture || !seconds.isDouble() ||
        !on.isBool())
        return std::nullopt;
    const BookmarkStore::Record record{*title, *chapter,    seconds.toDouble(), *angle,
                                       *audio, *subpicture, on.toBool()};
    if (!BookmarkStore::isValid(record))
        return std::nullopt;
    return record;
}

QString checkedKey(const QString &discId)
{
    if (!BookmarkStore::isDiscId(discId))
        throw AppError(ErrorNumbers::kInvalidArgument,
                       QStringLiteral("\"%1\" is not a disc identifier.").arg(discId.left(40)));
    return discId.toLower();
}

FileContents parse(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return {{}, error.errorString()};
    const QJsonValue discs = document.object().value(kDiscsKey);
    if (!document.isObject() || !discs.isObject())
        return {{}, QStringLiteral("no list of discs")};
    return {discs.toObject(), {}};
}

// Throws when the file exists and is not read: it cannot be, or it is no
// plain file (a FIFO would block the reader for good) or far larger than any
// bookmark file, and then it is no file of ours to set aside or replace. A
// file that is read but unusable comes back with its damage described.
FileContents readFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (!info.isFile())
        throw fileError(QStringLiteral("The bookmark file %1 cannot be used: %2."), path,
                        QStringLiteral("it is not a plain file"));
    if (info.size() > kLargestFile)
        throw fileError(QStringLiteral("The bookmark file %1 cannot be used: %2."), path,
                        QStringLiteral("it is larger than 1 MiB"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("Cannot read the bookmark file %1: %2."), path,
                        file.errorString());
    return parse(file.read(kLargestFile + 1));
}

// A damaged file is kept beside the new one, so that saving a bookmark never
// throws away what someone may still recover by hand; a copy set aside
// earlier is kept as well. When it cannot be moved it is not replaced either.
void setAsideDamaged(const QString &path)
{
    QString aside = path + QStringLiteral(".damaged");
    for (int copy = 2; QFile::exists(aside); ++copy)
        aside = path + QStringLiteral(".damaged-%1").arg(copy);
    QFile damaged(path);
    if (!damaged.rename(aside))
        throw fileError(QStringLiteral("Cannot set the damaged bookmark file %1 aside: %2."), path,
                        damaged.errorString());
}

} // namespace

BookmarkStore::BookmarkStore(QString filePath) : filePath_(std::move(filePath)) {}

void BookmarkStore::save(const QString &discId, const Record &record)
{
    const QString key = checkedKey(discId);
    if (!isValid(record))
        throw AppError(ErrorNumbers::kInvalidArgument,
                       QStringLiteral("The position to bookmark is not a valid place on a DVD."));
    FileContents contents = readFile(filePath_);
    if (!contents.damage.isEmpty())
        setAsideDamaged(filePath_);
    contents.discs.insert(key, toJson(record));
    writeDiscs(contents.discs);
}

std::optional<BookmarkStore::Record> BookmarkStore::load(const QString &discId) const
{
    const QString key = checkedKey(discId);
    const FileContents contents = readFile(filePath_);
    if (!contents.damage.isEmpty())
        throw fileError(QStringLiteral("The bookmark file %1 is damaged (%2)."), filePath_,
                        contents.damage);
    if (!contents.discs.contains(key))
        return std::nullopt;
    return fromJson(contents.discs.value(key));
}

bool BookmarkStore::remove(const QString &discId)
{
    const QString key = checkedKey(discId);
    FileContents contents = readFile(filePath_);
    if (!contents.damage.isEmpty() || !contents.discs.contains(key))
        return false;
    contents.discs.remove(key);
    writeDiscs(contents.discs);
    return true;
}

bool BookmarkStore::isDiscId(const QString &text)
{
    if (text.size() != 32)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

bool BookmarkStore::isValid(const Record &record)
{
    const bool audioOk = inRange(record.audioStream, 0, 7) || record.audioStream == 15;
    const bool subpictureOk =
        inRange(record.subpictureStream, 0, 31) || inRange(record.subpictureStream, 62, 63);
    return inRange(record.title, 1, 99) && inRange(record.chapter, 1, 999) &&
           std::isfinite(record.seconds) && record.seconds >= 0 && record.seconds < kLongestTitle &&
           inRange(record.angle, 1, 9) && audioOk && subpictureOk;
}

void BookmarkStore::writeDiscs(const QJsonObject &discs) const
{
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    const QByteArray bytes = QJsonDocument(QJsonObject{{kDiscsKey, discs}}).toJson();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw fileError(QStringLiteral("Cannot write the bookmark file %1: %2."), filePath_,
                        file.errorString());
}
