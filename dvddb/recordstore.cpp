#include "dvddb/recordstore.h"

#include "base/logging.h"
#include "base/plainfile.h"
#include "dvddb/filelist.h"
#include "dvddb/recordfile.h"
#include "platform/windows1252.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace RecordStore
{

namespace
{

constexpr int kExtensionLength = 4;
// "cover-2.jpg" up to this number is tried before a save gives up.
constexpr int kMostNumberedNames = 9999;

AppError fileError(const QString &text)
{
    return AppError(ErrorNumbers::kFileError, text);
}

// One field is one line: a line break typed or pasted into it would shift
// every later line of the record.
QByteArray recordLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Windows1252::encode(line) + "\r\n";
}

// The file is replaced whole, never through a link standing in its place.
void replaceFile(const QString &target, const QByteArray &bytes)
{
    if (const auto failure = PlainFile::replace(target, bytes))
        throw fileError(QStringLiteral("Cannot write \"%1\": %2").arg(target, *failure));
}

bool removeIfPresent(const QString &path, std::optional<AppError> &lastError)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    QFile file(path);
    if (file.remove())
        return true;
    lastError = fileError(QStringLiteral("Cannot delete \"%1\": %2").arg(path, file.errorString()));
    return false;
}

// True when a record of the folder other than the one at path names picture.
bool pictureSharedWithAnother(const QString &folder, const QString &path, const QString &picture)
{
    FileList records(QStringLiteral("*.dvd"));
    records.Path = folder;
    try {
        records.Refresh();
    } catch (const AppError &error) {
        qCDebug(logDatabase) << "keeping the picture" << picture
                             << "as the folder cannot be listed:" << error.description();
        return true; // unsure: keep the picture
    }
    const QString own = QFileInfo(path).fileName();
    for (const QString &name : records.names()) {
        if (name == own)
            continue;
        try {
            if (RecordFile::readRecord(folder + name).value(kFieldCount) == picture)
                return true;
        } catch (const AppError &error) {
            qCDebug(logDatabase) << "record skipped while looking for pictures:"
                                 << error.description();
        }
    }
    return false;
}

bool isSafeName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

bool isRecordName(const QString &name)
{
    return name.endsWith(QLatin1String(".dvd"), Qt::CaseInsensitive);
}

// "cover.jpg" numbered 2 is "cover-2.jpg"; a name without an extension takes
// the number at its end.
QString numberedName(const QString &name, int number)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > 0 ? dot : name.size();
    return name.left(at) + QStringLiteral("-%1").arg(number) + name.mid(at);
}

// Pictures are stored as bitmaps under the name of the file they came from,
// so the content decides the format, never the extension. A large photo is
// decoded straight to the size it is kept at where its format allows.
QImage readPicture(QImageReader &reader, const QString &path)
{
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && std::max(size.width(), size.height()) > kLongestPictureSide)
        reader.setScaledSize(
            size.scaled(kLongestPictureSide, kLongestPictureSide, Qt::KeepAspectRatio));
    const QImage picture = reader.read();
    if (picture.isNull())
        throw fileError(
            QStringLiteral("Cannot load the picture \"%1\": %2").arg(path, reader.errorString()));
    return boundedPicture(picture);
}

// A picture of the database folder: a plain file there, never through a link.
QImage readFolderPicture(const QString &path)
{
    QFile file;
    if (const auto failure = PlainFile::openForReading(file, path))
        throw fileError(QStringLiteral("Cannot load the picture \"%1\": %2").arg(path, *failure));
    QImageReader reader(&file);
    return readPicture(reader, path);
}

bool isPictureFile(const QString &path)
{
    QFile file;
    if (PlainFile::openForReading(file, path))
        return false;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    return reader.canRead();
}

// Delete takes a picture with its record only when it is a picture file that
// no other record names: never a record, nor anything but a picture.
bool isPictureOfItsOwn(const QString &folder, const QString &path, const QString &picture)
{
    return picture != kNoPicture && isSafeName(picture) && !isRecordName(picture) &&
           isPictureFile(folder + picture) && !pictureSharedWithAnother(folder, path, picture);
}

// What a name in the folder means for a picture about to be stored under it.
enum class NameUse {
    Free,        // nothing there, or a picture of this record only: written
    SamePicture, // it already holds this picture: kept as it is
    Taken,       // another record's picture, or no picture at all: left alone
};

NameUse useOf(const QString &path, const QImage &stored, const QString &ownRecord)
{
    const PlainFile::Kind kind = PlainFile::kindOf(path);
    if (kind == PlainFile::Kind::Missing)
        return NameUse::Free;
    if (const auto refused = PlainFile::refusal(path))
        throw fileError(QStringLiteral("Cannot write \"%1\": %2").arg(path, *refused));
    QImage existing;
    try {
        existing = readFolderPicture(path);
    } catch (const AppError &) {
        return NameUse::Taken;
    }
    const QImage::Format common = QImage::Format_ARGB32;
    if (existing.convertToFormat(common) == stored.convertToFormat(common))
        return NameUse::SamePicture;
    const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    return pictureSharedWithAnother(folder, ownRecord, QFileInfo(path).fileName()) ? NameUse::Taken
                                                                                   : NameUse::Free;
}

} // namespace

QString fileNameFor(const QString &identifier)
{
    return identifier + QStringLiteral(".dvd");
}

QString identifierOf(const QString &fileName)
{
    return fileName.chopped(qMin<qsizetype>(kExtensionLength, fileName.size()));
}

QStringList recordsOfDisc(const QStringList &names, const QString &discId)
{
    QStringList records;
    if (discId.isEmpty())
        return records;
    for (const QString &name : names) {
        if (name.size() >= kExtensionLength && identifierOf(name) == discId)
            records << name;
    }
    return records;
}

void checkFileName(const QString &name, const QString &what)
{
    if (!isSafeName(name))
        throw AppError(ErrorNumbers::kInvalidArgument,
                       QStringLiteral("The %1 \"%2\" cannot be used as a file name in the DVD "
                                      "database: it must not contain \"/\" nor be \".\" or \"..\".")
                           .arg(what, name));
}

void writeRecord(const QString &directory, const QString &identifier, const QStringList &fields,
                 const QString &pictureName)
{
    checkFileName(identifier, QStringLiteral("unique ID"));
    QByteArray bytes;
    for (int i = 0; i < kFieldCount; ++i)
        bytes += recordLine(fields.value(i));
    bytes += recordLine(pictureName);
    replaceFile(directory + fileNameFor(identifier), bytes);
}

QImage boundedPicture(const QImage &picture)
{
    if (std::max(picture.width(), picture.height()) <= kLongestPictureSide)
        return picture;
    return picture.scaled(kLongestPictureSide, kLongestPictureSide, Qt::KeepAspectRatio,
                          Qt::SmoothTransformation);
}

QString savePicture(const QString &directory, const QImage &picture, const QString &name,
                    const QString &identifier)
{
    checkFileName(name, QStringLiteral("picture"));
    if (isRecordName(name))
        throw AppError(ErrorNumbers::kInvalidArgument,
                       QStringLiteral("The picture \"%1\" cannot be stored in the DVD database: "
                                      "its name would be taken for a record.")
                           .arg(name));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !boundedPicture(picture).save(&buffer, "BMP"))
        throw fileError(QStringLiteral("Cannot save the picture \"%1\".").arg(directory + name));
    const QImage stored = QImage::fromData(bytes, "BMP");
    const QString ownRecord = directory + fileNameFor(identifier);
    for (int number = 1; number <= kMostNumberedNames; ++number) {
        const QString candidate = number == 1 ? name : numberedName(name, number);
        switch (useOf(directory + candidate, stored, ownRecord)) {
        case NameUse::SamePicture:
            return candidate;
        case NameUse::Free:
            replaceFile(directory + candidate, bytes);
            return candidate;
        case NameUse::Taken:
            break;
        }
    }
    throw fileError(
        QStringLiteral("Cannot save the picture \"%1\": no free name is left beside it.")
            .arg(directory + name));
}

QImage loadPicture(const QString &path)
{
    // A pipe or a device would hold the program up or never end.
    const QFileInfo info(path);
    if (!info.isFile())
        throw fileError(QStringLiteral("Cannot load the picture \"%1\": %2")
                            .arg(path, info.exists() ? QStringLiteral("not a file")
                                                     : QStringLiteral("no such file")));
    QImageReader reader(path);
    return readPicture(reader, path);
}

QImage loadRecordPicture(const QString &directory, const QString &name)
{
    checkFileName(name, QStringLiteral("picture"));
    return readFolderPicture(directory + name);
}

std::optional<AppError> deleteRecord(const QString &path)
{
    std::optional<AppError> lastError;
    QString picture;
    try {
        picture = RecordFile::readRecord(path).value(kFieldCount);
    } catch (const AppError &error) {
        if (PlainFile::kindOf(path) != PlainFile::Kind::Missing)
            lastError = error;
    }
    const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    if (isPictureOfItsOwn(folder, path, picture))
        removeIfPresent(folder + picture, lastError);
    removeIfPresent(path, lastError);
    return lastError;
}

void importRecord(const QString &directory, const QString &source)
{
    const QFileInfo info(source);
    if (!info.isFile())
        throw fileError(QStringLiteral("Cannot import \"%1\": it is not a file.").arg(source));
    if (info.size() > kMaxImportBytes)
        throw fileError(
            QStringLiteral("Cannot import \"%1\": it is too large to be a DVD database record.")
                .arg(source));
    const QString name = info.fileName();
    checkFileName(name, QStringLiteral("record"));
    const QString target = directory + name;
    if (QFileInfo(target).canonicalFilePath() == info.canonicalFilePath())
        return; // already in the database
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("Cannot import \"%1\": %2").arg(source, file.errorString()));
    const QByteArray bytes = file.read(kMaxImportBytes + 1);
    if (bytes.size() > kMaxImportBytes)
        throw fileError(
            QStringLiteral("Cannot import \"%1\": it is too large to be a DVD database record.")
                .arg(source));
    replaceFile(target, bytes);
}

} // namespace RecordStore
