#include "engine/drive/drivesource.h"

#include "base/localpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include <sys/stat.h>

namespace
{

AppError noDrive(const QString &text)
{
    return AppError(ErrorNumbers::kNoDrive, text);
}

bool isOctalEscape(const QByteArray &field, qsizetype at)
{
    if (field[at] != '\\' || at + 3 >= field.size())
        return false;
    for (qsizetype i = at + 1; i <= at + 3; ++i) {
        if (field[i] < '0' || field[i] > '7')
            return false;
    }
    return true;
}

// Undoes the \ooo escapes the kernel writes for blanks and backslashes.
QString unescapeMountField(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (isOctalEscape(field, i)) {
            out += char(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return QFile::decodeName(out);
}

bool isBlockDevice(const QString &path)
{
    struct stat info = {};
    return ::stat(LocalPath::toBytes(path).constData(), &info) == 0 && S_ISBLK(info.st_mode);
}

bool isInside(const QString &path, const QString &mountPoint)
{
    if (mountPoint == QLatin1String("/"))
        return true;
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

// The mount holding the path: the one with the longest matching mount point,
// the last of equals since a later mount hides an earlier one.
std::optional<MountEntry> mountHolding(const QString &path, const QList<MountEntry> &mounts)
{
    std::optional<MountEntry> best;
    for (const MountEntry &entry : mounts) {
        if (isInside(path, entry.mountPoint) &&
            (!best || entry.mountPoint.size() >= best->mountPoint.size()))
            best = entry;
    }
    return best;
}

bool isOpticalFileSystem(const QString &type)
{
    return type == QLatin1String("iso9660") || type == QLatin1String("udf");
}

QString driveForFolder(const QString &folder, const QList<MountEntry> &mounts)
{
    const QString path = QFileInfo(folder).canonicalFilePath();
    const auto mount = mountHolding(path, mounts);
    const bool onDevice = mount && mount->device.startsWith(QLatin1String("/dev/"));
    if (onDevice && mount->device.startsWith(QLatin1String("/dev/loop")))
        throw noDrive(QStringLiteral("%1 is on a mounted disc image, not in a drive: an image "
                                     "has no region to change.")
                          .arg(folder));
    if (!onDevice || !isOpticalFileSystem(mount->type))
        throw noDrive(QStringLiteral("%1 is a folder on a disk, not a disc in a DVD drive: it "
                                     "has no region to change.")
                          .arg(folder));
    return mount->device;
}

QString firstDrive(const QString &deviceDirectory)
{
    QStringList candidates{QStringLiteral("dvd")};
    const QDir dir(deviceDirectory);
    const QStringList drives =
        dir.entryList({QStringLiteral("sr*")}, QDir::System | QDir::Files, QDir::Name);
    candidates += drives;
    for (const QString &name : candidates) {
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    throw noDrive(QStringLiteral("No DVD drive was found."));
}

} // namespace

QList<MountEntry> readMounts(const QString &mountsFile)
{
    QList<MountEntry> mounts;
    QFile file(mountsFile);
    if (!file.open(QIODevice::ReadOnly))
        return mounts;
    // The kernel's table is a few kilobytes; the cap keeps a hostile file small.
    const QByteArray content = file.read(4 * 1024 * 1024);
    for (const QByteArray &line : content.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        mounts.append({unescapeMountField(fields[0]), unescapeMountField(fields[1]),
                       QString::fromLatin1(fields[2])});
    }
    return mounts;
}

QString DriveAccess::deviceFor(const QString &source) const
{
    if (source.isEmpty())
        return firstDrive(deviceDirectory);
    const QFileInfo info(source);
    if (!info.exists())
        throw noDrive(QStringLiteral("There is no drive at %1: it does not exist.").arg(source));
    if (isBlockDevice(source))
        return source;
    if (info.isDir())
        return driveForFolder(source, readMounts(mountsFile));
    if (info.isFile())
        throw noDrive(QStringLiteral("%1 is a disc image, not a drive: an image has no region "
                                     "to change.")
                          .arg(source));
    throw noDrive(QStringLiteral("%1 is not a CD or DVD drive.").arg(source));
}
