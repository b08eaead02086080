#include "dvddb/discalias.h"

#include "base/errors.h"
#include "base/plainfile.h"
#include "dvddb/filelist.h"
#include "dvddb/recordstore.h"

#include <QFile>

namespace DiscAlias
{

namespace
{

// An identifier is 32 characters; anything much longer is no alias.
constexpr qint64 kMaxAliasBytes = 256;

bool isPlainFile(const QString &path)
{
    return PlainFile::kindOf(path) == PlainFile::Kind::Plain;
}

bool hasRecord(const QString &directory, const QString &identifier)
{
    return isPlainFile(directory + RecordStore::fileNameFor(identifier));
}

// What an alias file names; empty when it is missing, damaged or not plain.
QString aliasTarget(const QString &path)
{
    QFile file;
    if (PlainFile::openForReading(file, path))
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
    if (PlainFile::refusal(path))
        throw refusal(
            QStringLiteral("\"%1\" is not a plain file: the DVD was not linked.").arg(path));
    if (const std::optional<QString> failed =
            PlainFile::replace(path, recordId.toLatin1() + "\r\n"))
        throw refusal(QStringLiteral("Cannot write \"%1\": %2").arg(path, *failed));
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
