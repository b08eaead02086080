#include "surfaces/commandline.h"

#include "base/localpath.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

namespace CommandLine
{

namespace
{

constexpr QChar kQuote = u'"';

bool isIsoImage(const QString &path)
{
    return path.endsWith(QStringLiteral(".iso"), Qt::CaseInsensitive);
}

// A drive: a block device, or any name below /dev (a drive whose device node
// is missing is reported by the DVD control when it tries to open it).
bool isDeviceNode(const QString &path)
{
    if (path.startsWith(QStringLiteral("/dev/")))
        return true;
    struct stat info {
    };
    return ::stat(LocalPath::toBytes(path).constData(), &info) == 0 && S_ISBLK(info.st_mode);
}

// A mounted disc or a copy of one, named without its trailing "/".
bool holdsVideoTs(const QString &path)
{
    if (!LocalPath::isDirectory(path))
        return false;
    const QString name = path.section(u'/', -1);
    return name.compare(QStringLiteral("VIDEO_TS"), Qt::CaseInsensitive) == 0 ||
           LocalPath::isDirectory(path + QStringLiteral("/VIDEO_TS")) ||
           LocalPath::isDirectory(path + QStringLiteral("/video_ts"));
}

QString absoluteFolder(const QString &folder)
{
    const QString absolute = LocalPath::absolute(folder);
    return absolute.endsWith(u'/') ? absolute : absolute + u'/';
}

// The kernel's copy of this run's arguments: Qt's own list has already
// turned bytes that are no valid UTF-8 into replacement characters. Both
// hold the same arguments, as every option is refused before Qt starts.
QStringList programArguments()
{
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return QCoreApplication::arguments();
    QStringList arguments;
    QList<QByteArray> fields = file.readAll().split('\0');
    if (!fields.isEmpty() && fields.constLast().isEmpty())
        fields.removeLast();
    for (const QByteArray &field : fields)
        arguments << LocalPath::fromBytes(field);
    return arguments;
}

} // namespace

QString FromArguments(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return QString();
    return kQuote + arguments.at(1) + kQuote;
}

QString Current()
{
    return FromArguments(programArguments());
}

Request Classify(const QString &commandLine)
{
    if (commandLine.size() < 3 || !commandLine.startsWith(kQuote) || !commandLine.endsWith(kQuote))
        return {};
    const QString path = commandLine.mid(1, commandLine.size() - 2);
    if (commandLine.endsWith(QStringLiteral("cfx\"")))
        return {Action::LoadScheme, path};
    if (commandLine.endsWith(QStringLiteral("/\"")) || holdsVideoTs(path))
        return {Action::Play, absoluteFolder(path)};
    if (isIsoImage(path))
        return {Action::Play, LocalPath::absolute(path)};
    if (isDeviceNode(path))
        return {Action::Play, path};
    return {};
}

} // namespace CommandLine
