#include "engine/source/dvdsource.h"

#include "base/localpath.h"
#include "base/logging.h"
#include "engine/common/dvderrors.h"
#include "engine/demux/psdemuxer.h"
#include "engine/source/librarylog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dvdread/dvd_reader.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

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
    return ::stat(LocalPath::toBytes(path).constData(), &status) == 0 && S_ISBLK(status.st_mode);
}

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
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
    for (const QString &entry : LocalPath::entries(folder)) {
        const QString path = folder + u'/' + entry;
        if (entry.compare(QStringLiteral("VIDEO_TS"), Qt::CaseInsensitive) == 0 &&
            LocalPath::isDirectory(path))
            return path;
    }
    return {};
}

DiscSource folderSource(const QString &folder, const QString &requested)
{
    const QString absolute = LocalPath::absolute(folder);
    if (fileNameOf(absolute).compare(QStringLiteral("VIDEO_TS"), Qt::CaseInsensitive) == 0)
        return {parentOf(absolute), absolute, SourceKind::Folder};
    const QString videoTs = videoTsIn(absolute);
    if (videoTs.isEmpty())
        throw DvdErrors::notADiscFolder(requested);
    return {absolute, videoTs, SourceKind::Folder};
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
        DVDOpen2(&log, LibraryLog::readerCallbacks(), LocalPath::toBytes(path).constData()));
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
    } catch (const AppError &error) {
        qCDebug(logEngine) << device << "holds no playable DVD-Video:" << error.description();
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

// libdvdread opens a folder's IFO, BUP and VOB files as they come; a FIFO
// among them would block it for good, so each must be a plain file first.
void refuseSpecialFiles(const DiscSource &source)
{
    static const QStringList kDiscFiles{QStringLiteral(".IFO"), QStringLiteral(".BUP"),
                                        QStringLiteral(".VOB")};
    for (const QString &name : LocalPath::entries(source.directory)) {
        const bool discFile =
            std::any_of(kDiscFiles.begin(), kDiscFiles.end(), [&](const QString &end) {
                return name.endsWith(end, Qt::CaseInsensitive);
            });
        if (discFile && !LocalPath::isPlainFile(source.directory + u'/' + name))
            throw DvdErrors::unreadableSource(
                source.path, QStringLiteral("its %1 is not a plain file").arg(name));
    }
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
    if (requested.isEmpty()) {
        const QStringList drives = candidateDrives();
        for (const QString &drive : drives) {
            if (holdsDvdVideo(drive))
                return deviceSource(drive);
        }
        throw DvdErrors::noDisc(drives.join(QStringLiteral(", ")));
    }
    // The path as given, byte for byte: blanks at its ends are part of it.
    const QString path = withoutTrailingSlash(requested);
    if (!LocalPath::exists(path))
        throw DvdErrors::sourceMissing(requested);
    if (LocalPath::isDirectory(path))
        return folderSource(path, requested);
    if (isBlockDevice(path))
        return deviceSource(path);
    // Reading a FIFO or a character device would wait for a writer forever.
    if (!LocalPath::isPlainFile(path))
        throw DvdErrors::unreadableSource(
            requested, QStringLiteral("it is neither a disc image, a folder nor a drive"));
    if (::access(LocalPath::toBytes(path).constData(), R_OK) != 0)
        throw DvdErrors::unreadableSource(requested, QStringLiteral("permission denied"));
    const QString absolute = LocalPath::absolute(path);
    return {absolute, absolute, SourceKind::Image};
}

ProbedDisc probe(const DiscSource &source)
{
    if (source.kind == SourceKind::Folder)
        refuseSpecialFiles(source);
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
