#include "base/plainfile.h"

#include "base/localpath.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PlainFile
{

namespace
{

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString kindReason(Kind kind)
{
    return kind == Kind::Link ? QStringLiteral("it is a symbolic link")
                              : QStringLiteral("it is not a plain file");
}

// The folder part of the path's bytes, with its "/"; "./" for a bare name.
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray("./") : path.left(slash + 1);
}

bool writeAll(int descriptor, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(descriptor, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// A new file of a name nobody else holds, hidden beside the target so that
// no listing of the folder's records or pictures sees it.
int createBeside(const QByteArray &target, QByteArray &temporary)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = folderOf(target) + ".vidora-" +
                    QByteArray::number(QRandomGenerator::global()->generate64(), 16) + ".tmp";
        const int descriptor = ::open(temporary.constData(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

Kind kindOf(const QString &path)
{
    struct stat status {
    };
    if (::lstat(LocalPath::toBytes(path).constData(), &status) != 0)
        return Kind::Missing;
    if (S_ISLNK(status.st_mode))
        return Kind::Link;
    return S_ISREG(status.st_mode) ? Kind::Plain : Kind::Other;
}

std::optional<QString> refusal(const QString &path)
{
    const Kind kind = kindOf(path);
    if (kind == Kind::Missing || kind == Kind::Plain)
        return std::nullopt;
    return kindReason(kind);
}

std::optional<QString> replace(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return QStringLiteral("no file name");
    if (const auto refused = refusal(path))
        return refused;
    const QByteArray target = LocalPath::toBytes(path);
    QByteArray temporary;
    const int descriptor = createBeside(target, temporary);
    if (descriptor < 0)
        return systemReason(errno);
    struct stat old {
    };
    if (::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(descriptor, old.st_mode & 07777);
    bool written = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    int error = errno;
    if (::close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    // rename() replaces whatever name stands there, a link included, and
    // never writes through it.
    if (written && ::rename(temporary.constData(), target.constData()) == 0)
        return std::nullopt;
    if (written)
        error = errno;
    ::unlink(temporary.constData());
    return systemReason(error);
}

std::optional<QString> openForReading(QFile &file, const QString &path)
{
    const int descriptor = ::open(LocalPath::toBytes(path).constData(),
                                  O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (descriptor < 0)
        return errno == ELOOP ? kindReason(Kind::Link) : systemReason(errno);
    struct stat status {
    };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return kindReason(Kind::Other);
    }
    if (file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return std::nullopt;
    ::close(descriptor);
    return file.errorString();
}

} // namespace PlainFile
