#include "dvddb/recordstore.h"

#include "dvddb/filelist.h"
#include "dvddb/recordfile.h"
#include "platform/windows1252.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace RecordStore
{

namespace
{

constexpr int kExtensionLength = 4;

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

// The file is replaced whole: QSaveFile writes beside the target (never under a
// name that a listing of "*.dvd" sees), syncs and renames it over the target,
// and removes what it wrote when anything fails.
void replaceFile(const QString &target, const QByteArray &bytes)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw fileError(QStringLiteral("Cannot write \"%1\": %2").arg(target, file.errorString()));
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
    } catch (const AppError &) {
        return true; // unsure: keep the picture
    }
    const QString own = QFileInfo(path).fileName();
    for (const QString &name : records.names()) {
        if (name == own)
            continue;
        try {
            if (RecordFile::readRecord(folder + name).value(kFieldCount) == picture)
                return true;
        } catch (const AppError &) {
        }
    }
    return false;
}

bool isSafeName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
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

void savePicture(const QString &directory, const QImage &picture, const QString &name)
{
    checkFileName(name, QStringLiteral("picture"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "BMP"))
        throw fileError(QStringLiteral("Cannot save the picture \"%1\".").arg(directory + name));
    replaceFile(directory + name, bytes);
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
    // Pictures are stored as bitmaps under the name of the file they came
    // from, so the content decides the format, never the extension.
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        throw fileError(
            QStringLiteral("Cannot load the picture \"%1\": %2").arg(path, reader.errorString()));
    return picture;
}

QImage loadRecordPicture(const QString &directory, const QString &name)
{
    checkFileName(name, QStringLiteral("picture"));
    return loadPicture(directory + name);
}

std::optional<AppError> deleteRecord(const QString &path)
{
    std::optional<AppError> lastError;
    QString picture;
    try {
        picture = RecordFile::readRecord(path).value(kFieldCount);
    } catch (const AppError &error) {
        if (QFileInfo::exists(path))
            lastError = error;
    }
    const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    // "0" is no picture, and a name reaching outside the folder is none of
    // the database's files.
    if (picture != kNoPicture && isSafeName(picture) &&
        !pictureSharedWithAnother(folder, path, picture))
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
