#pragma once

#include "engine/drive/driveregion.h"
#include "engine/drive/drivesource.h"

#include <functional>
#include <memory>

class QWidget;

// The window that shows a drive's region state and changes it: the
// program's own, installed in the control at start. It runs modal on the
// drive and the state just read; applyVmMask receives 1 << (region - 1)
// whenever the player's region is to follow the chosen one.
using RegionChooser =
    std::function<void(QWidget *parent, std::unique_ptr<DriveRegion> drive,
                       const RegionState &state, std::function<void(int regionMask)> applyVmMask)>;

// Opens the drive behind `source` (a device node, a folder on a mounted
// disc, or empty for the first drive), reads its region and hands both to
// the chooser. Throws AppError before choosing anything when the source is an
// image or a folder on a disk, there is no drive or no disc, the user may not
// use the device, the drive reports no region, or no chooser is installed.
void changeDriveRegion(QWidget *parent, const QString &source,
                       std::function<void(int regionMask)> applyVmMask, const DriveAccess &access,
                       const RegionChooser &chooser);
