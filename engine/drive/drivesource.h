#pragma once

#include "engine/drive/driveioctl.h"

#include <QString>

#include <functional>
#include <memory>

// Finds the drive behind a playback source and opens it. The defaults are
// the system's; tests point them at files of their own.
struct DriveAccess {
    QString mountsFile = QStringLiteral("/proc/self/mounts");
    QString deviceDirectory = QStringLiteral("/dev");
    std::function<std::unique_ptr<DriveIoctl>(const QString &device)> open = &DeviceIoctl::open;

    // The drive's device node for a source: a device node is the drive; a
    // folder on a mounted disc is on that disc's drive; the empty source
    // means the first drive present. Throws AppError (kNoDrive) for an image
    // file, a folder on a disk, or when there is no drive.
    QString deviceFor(const QString &source) const;
    std::unique_ptr<DriveIoctl> openFor(const QString &source) const
    {
        return open(deviceFor(source));
    }
};

// One line of a mounts table: what is mounted, where, and as what.
struct MountEntry {
    QString device;
    QString mountPoint;
    QString type;
};

// Reads a table in the format of /proc/self/mounts, undoing its octal
// escapes; an unreadable file gives no entries.
QList<MountEntry> readMounts(const QString &mountsFile);
