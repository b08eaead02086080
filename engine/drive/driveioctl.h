#pragma once

#include "base/errors.h"

#include <QString>

#include <linux/cdrom.h>

#include <memory>

// The few ioctls of an optical drive that reading and setting its DVD region
// need. The region counter of a drive can never be turned back, so everything
// above this interface is tested against a double, never a real drive.
class DriveIoctl
{
public:
    virtual ~DriveIoctl() = default;

    virtual QString device() const = 0;
    // CDROM_DRIVE_STATUS: one of the CDS_* values, or a negative errno.
    virtual int driveStatus() = 0;
    // DVD_AUTH with info.type chosen by the caller: 0, or the errno.
    virtual int dvdAuth(dvd_authinfo &info) = 0;
};

// A real drive, opened read-only and non-blocking so that an empty tray or a
// spinning-up disc does not stall the open.
class DeviceIoctl : public DriveIoctl
{
public:
    // Throws AppError when the path is no optical drive or cannot be opened.
    static std::unique_ptr<DriveIoctl> open(const QString &device);
    ~DeviceIoctl() override;
    DeviceIoctl(const DeviceIoctl &) = delete;
    DeviceIoctl &operator=(const DeviceIoctl &) = delete;

    QString device() const override { return device_; }
    int driveStatus() override;
    int dvdAuth(dvd_authinfo &info) override;

private:
    DeviceIoctl(QString device, int fd);

    QString device_;
    int fd_;
};

// The readable error for an open of the drive that failed with errno.
AppError driveOpenError(const QString &device, int error);
// The error for a drive that refused a DVD_AUTH request with errno: no
// permission and no disc have their own; anything else is described by
// `refusal`, with %1 the device and %2 the system's text.
AppError driveAuthError(const QString &device, int error, const QString &refusal);
AppError noDiscInDrive(const QString &device);
