#include "engine/source/dvdsource.h"

#include "engine/common/dvderrors.h"
#include "engine/demux/psdemuxer.h"
#include "engine/source/librarylog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dvdread/dvd_reader.h>

#include <sys/stat.h>

#include <memory>

namespace
{

struct ReaderCloser {
    void operator()(dvd_reader_t *reader) const { DVDClose(reader); }
};
using Reader = std::unique_ptr<dvd_reader_t, ReaderCloser>;

struct FileCloser {
    void operator()(dvd_file_t *file) const { DVDCloseFile(file); }
};

bool isBlockDevice(const QString &path)
{
    struct stat status {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISBLK(status.st_mode);
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The mount point of a device, from /proc/self/mounts; empty when unmounted.
QString mountPointOf(const QString &device)
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return {};
    const QString canonical = QFileInfo(device).canonicalFilePath();
    while (!mounts.atEnd()) {
        const QList<QByteArray> fields = mounts.readLine().split(' ');
        if (fields.size() >= 2 &&
            QFileInfo(QString::fromLocal8Bit(fields[0])).canonicalFilePath() == canonical)
            return QString::fromLocal8Bit(fields[1]).replace(QStringLiteral("\\040"), " ");
    }
    return {};
}

QString videoTsIn(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.compare(QStringLiteral("VIDEO_TS"), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

DiscSource folderSource(const QString &folder, const QString &requested)
{
    const QFileInfo info(folder);
    if (info.fileName().compare(QStringLiteral("VIDEO_TS"), Qt::CaseInsensitive) == 0)
        return {info.absolutePath(), info.absoluteFilePath(), SourceKind::Folder};
    const QString videoTs = videoTsIn(folder);
    if (videoTs.isEmpty())
        throw DvdErrors::notADiscFolder(requested);
    return {info.absoluteFilePath(), QFileInfo(videoTs).absoluteFilePath(), SourceKind::Folder};
}

DiscSource deviceSource(const QString &device)
{
    const QString mountPoint = mountPointOf(device);
    const QString videoTs = mountPoint.isEmpty() ? QString() : videoTsIn(mountPoint);
    return {device, videoTs.isEmpty() ? device : videoTs, SourceKind::Device};
}

Reader openReader(const QString &path, LibraryLog &log)
{
    return Reader(
        DVDOpen2(&log, LibraryLog::readerCallbacks(), QFile::encodeName(path).constData()));
}

bool holdsDvdVideo(const QString &device)
{
    LibraryLog log;
    Reader reader = openReader(device, log);
    if (!reader)
        return false;
    try {
        readDiscInfo(reader.get(), device);
        return true;
    } catch (const AppError &) {
        return false;
    }
}

// The first packs of the first title's video: scrambled sectors there mean
// that libdvdread had no libdvdcss to decrypt them.
bool videoIsScrambled(dvd_reader_t *reader, const DiscInfo &info)
{
    if (info.titles.empty())
        return false;
    std::unique_ptr<dvd_file_t, FileCloser> file(
        DVDOpenFile(reader, info.titles.front().titleSet, DVD_READ_TITLE_VOBS));
    if (!file)
        return false;
    constexpr int kBlocks = 64;
    std::vector<unsigned char> blocks(size_t(kBlocks) * DVD_VIDEO_LB_LEN);
    const ssize_t read = DVDReadBlocks(file.get(), 0, kBlocks, blocks.data());
    for (ssize_t i = 0; i < read; ++i) {
        if (PsDemuxer::isScrambled(blocks.data() + i * DVD_VIDEO_LB_LEN))
            return true;
    }
    return false;
}

} // namespace

namespace DvdSource
{

QStringList candidateDrives()
{
    QStringList drives;
    for (const QString &name : {QStringLiteral("/dev/dvd"), QStringLiteral("/dev/cdrom")}) {
        if (isBlockDevice(name))
            drives << name;
    }
    const QStringList optical =
        QDir(QStringLiteral("/dev")).entryList({QStringLiteral("sr*")}, QDir::System, QDir::Name);
    for (const QString &name : optical) {
        const QString path = QStringLiteral("/dev/") + name;
        if (isBlockDevice(path) && !drives.contains(path))
            drives << path;
    }
    return drives;
}

DiscSource resolve(const QString &requested)
{
    if (requested.trimmed().isEmpty()) {
        const QStringList drives = candidateDrives();
        for (const QString &drive : drives) {
            if (holdsDvdVideo(drive))
                return deviceSource(drive);
        }
        throw DvdErrors::noDisc(drives.join(QStringLiteral(", ")));
    }
    const QString path = withoutTrailingSlash(requested.trimmed());
    const QFileInfo info(path);
    if (!info.exists())
        throw DvdErrors::sourceMissing(requested);
    if (info.isDir())
        return folderSource(path, requested);
    if (isBlockDevice(path))
        return deviceSource(path);
    if (!info.isReadable())
        throw DvdErrors::unreadableSource(requested, QStringLiteral("permission denied"));
    return {info.absoluteFilePath(), info.absoluteFilePath(), SourceKind::Image};
}

ProbedDisc probe(const DiscSource &source)
{
    LibraryLog log;
    Reader reader = openReader(source.path, log);
    if (!reader) {
        if (source.kind == SourceKind::Device)
            throw DvdErrors::noDisc(source.path);
        throw DvdErrors::unreadableSource(source.path, log.lastError());
    }
    ProbedDisc probed{source, readDiscInfo(reader.get(), source.path)};
    if (probed.info.titles.empty())
        throw DvdErrors::unreadableSource(source.path, QStringLiteral("the disc has no titles"));
    if (videoIsScrambled(reader.get(), probed.info))
        throw DvdErrors::encryptedWithoutLibrary(source.path);
    return probed;
}

} // namespace DvdSource
