#include "engine/drive/driveioctl.h"

#include "base/localpath.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

AppError notADrive(const QString &device)
{
    return AppError(ErrorNumbers::kNoDrive,
                    QStringLiteral("%1 is not a CD or DVD drive.").arg(device));
}

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

AppError permissionError(const QString &device)
{
    return AppError(ErrorNumbers::kNotPermitted,
                    QStringLiteral("No permission to use the drive %1: the user must be in the "
                                   "\"cdrom\" group (log in again after being added).")
                        .arg(device));
}

} // namespace

std::unique_ptr<DriveIoctl> DeviceIoctl::open(const QString &device)
{
    const QByteArray path = LocalPath::toBytes(device);
    struct stat info = {};
    // Checked before opening: opening an arbitrary character device can have
    // side effects of its own.
    if (::stat(path.constData(), &info) != 0)
        throw driveOpenError(device, errno);
    if (!S_ISBLK(info.st_mode))
        throw notADrive(device);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw driveOpenError(device, errno);
    const int capabilities = ::ioctl(fd, CDROM_GET_CAPABILITY, 0);
    if (capabilities < 0) {
        ::close(fd);
        throw notADrive(device);
    }
    if (!(capabilities & CDC_DVD)) {
        ::close(fd);
        throw AppError(
            ErrorNumbers::kRegionNotReported,
            QStringLiteral("The drive %1 cannot read DVDs, so it has no DVD region.").arg(device));
    }
    return std::unique_ptr<DriveIoctl>(new DeviceIoctl(device, fd));
}

DeviceIoctl::DeviceIoctl(QString device, int fd) : device_(std::move(device)), fd_(fd) {}

DeviceIoctl::~DeviceIoctl()
{
    ::close(fd_);
}

int DeviceIoctl::driveStatus()
{
    const int status = ::ioctl(fd_, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    return status < 0 ? -errno : status;
}

int DeviceIoctl::dvdAuth(dvd_authinfo &info)
{
    return ::ioctl(fd_, DVD_AUTH, &info) < 0 ? errno : 0;
}

AppError driveOpenError(const QString &device, int error)
{
    if (isPermissionError(error))
        return permissionError(device);
    if (error == ENOMEDIUM)
        return noDiscInDrive(device);
    if (error == ENOENT || error == ENXIO || error == ENODEV)
        return AppError(ErrorNumbers::kNoDrive,
                        QStringLiteral("There is no drive at %1.").arg(device));
    return AppError(ErrorNumbers::kNoDrive,
                    QStringLiteral("Cannot open the drive %1: %2.").arg(device, systemText(error)));
}

AppError driveAuthError(const QString &device, int error, const QString &refusal)
{
    if (isPermissionError(error))
        return permissionError(device);
    if (error == ENOMEDIUM)
        return noDiscInDrive(device);
    return AppError(ErrorNumbers::kRegionNotReported, refusal.arg(device, systemText(error)));
}

AppError noDiscInDrive(const QString &device)
{
    return AppError(
        ErrorNumbers::kNoDisc,
        QStringLiteral("There is no disc in the drive %1: insert a DVD first.").arg(device));
}
