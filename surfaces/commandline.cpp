#include "surfaces/commandline.h"

#include <QCoreApplication>
#include <QFileInfo>

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
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISBLK(info.st_mode);
}

// A mounted disc or a copy of one, named without its trailing "/".
bool holdsVideoTs(const QString &path)
{
    const QFileInfo folder(path);
    if (!folder.isDir())
        return false;
    return folder.fileName().compare(QStringLiteral("VIDEO_TS"), Qt::CaseInsensitive) == 0 ||
           QFileInfo(path + QStringLiteral("/VIDEO_TS")).isDir() ||
           QFileInfo(path + QStringLiteral("/video_ts")).isDir();
}

QString absoluteFolder(const QString &folder)
{
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    return absolute.endsWith(u'/') ? absolute : absolute + u'/';
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
    return FromArguments(QCoreApplication::arguments());
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
        return {Action::Play, QFileInfo(path).absoluteFilePath()};
    if (isDeviceNode(path))
        return {Action::Play, path};
    return {};
}

} // namespace CommandLine
