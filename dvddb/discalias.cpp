#include "dvddb/discalias.h"

#include "base/errors.h"
#include "dvddb/filelist.h"
#include "dvddb/recordstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace DiscAlias
{

namespace
{

// An identifier is 32 characters; anything much longer is no alias.
constexpr qint64 kMaxAliasBytes = 256;

bool isPlainFile(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile();
}

bool hasRecord(const QString &directory, const QString &identifier)
{
    return isPlainFile(directory + RecordStore::fileNameFor(identifier));
}

// What an alias file names; empty when it is missing, damaged or not plain.
QString aliasTarget(const QString &path)
{
    if (!isPlainFile(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString target = QString::fromLatin1(file.read(kMaxAliasBytes)).trimmed();
    try {
        RecordStore::checkFileName(target, QStringLiteral("unique ID"));
    } catch (const AppError &) {
        return {};
    }
    return target;
}

AppError refusal(const QString &text)
{
    return AppError(ErrorNumbers::kFileError, text);
}

} // namespace

QString fileNameFor(const QString &discId)
{
    return discId + QStringLiteral(".alias");
}

QString recordIdentifierFor(const QString &directory, const QString &discId)
{
    if (discId.isEmpty() || hasRecord(directory, discId))
        return discId;
    try {
        RecordStore::checkFileName(discId, QStringLiteral("unique ID"));
    } catch (const AppError &) {
        return discId;
    }
    const QString target = aliasTarget(directory + fileNameFor(discId));
    return !target.isEmpty() && hasRecord(directory, target) ? target : discId;
}

void link(const QString &directory, const QString &discId, const QString &recordId)
{
    RecordStore::checkFileName(discId, QStringLiteral("unique ID"));
    RecordStore::checkFileName(recordId, QStringLiteral("unique ID"));
    if (hasRecord(directory, discId))
        throw refusal(QStringLiteral("This DVD has a record of its own."));
    if (!hasRecord(directory, recordId))
        throw refusal(QStringLiteral("The selected record no longer exists."));
    const QString path = directory + fileNameFor(discId);
    const QFileInfo existing(path);
    if (existing.isSymLink() || (existing.exists() && !existing.isFile()))
        throw refusal(
            QStringLiteral("\"%1\" is not a plain file: the DVD was not linked.").arg(path));
    QSaveFile file(path);
    const QByteArray bytes = recordId.toLatin1() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw refusal(QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
}

void removeLinksTo(const QString &directory, const QString &recordId)
{
    FileList aliases(QStringLiteral("*.alias"));
    aliases.Path = directory;
    try {
        aliases.Refresh();
    } catch (const AppError &) {
        return;
    }
    for (const QString &name : aliases.names()) {
        const QString path = directory + name;
        if (aliasTarget(path) == recordId)
            QFile::remove(path);
    }
}

} // namespace DiscAlias
