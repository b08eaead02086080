#pragma once

#include "engine/drive/driveioctl.h"
#include "engine/drive/drivesource.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// What a drive reports about its DVD region (its RPC state).
struct RegionState {
    // How far the region is fixed, as the drive's type code 0..3 says.
    enum class Setting { None, Set, Restricted, Permanent };

    Setting setting = Setting::None;
    uint8_t regionMask = 0xff; // bit r-1 set: discs of region r are refused
    int userChangesLeft = 0;
    int vendorResetsLeft = 0;
    bool enforced = false; // RPC-II; an RPC-I drive plays discs of every region

    static RegionState decode(const dvd_lu_send_rpcstate &reply);
    // The regions whose discs the drive plays, 1..8.
    QList<int> regions() const;
    // The drive's region when exactly one is playable.
    std::optional<int> region() const;
    // "region 2", "regions 1, 2", "no region" or "every region".
    QString regionsText() const;
    QString settingText() const;
};

// What choosing a region for the drive comes to.
enum class RegionChange {
    AlreadySet, // the drive has that region: nothing to count, the player follows
    PlayerOnly, // the drive does not enforce regions: only the player's region changes
    Counted,    // the drive changes and counts it against its changes left
};

// Reads and sets the region of one drive.
class DriveRegion
{
public:
    explicit DriveRegion(std::unique_ptr<DriveIoctl> drive);

    QString device() const { return drive_->device(); }
    // Throws AppError: no disc, no permission, or no region reported.
    RegionState read();
    // Sets the drive to `region` when that is needed and allowed (see
    // planChange), with exactly one change request, and returns the state
    // the drive reports afterwards. Ask the user before calling it.
    RegionState change(int region);

    // Throws AppError when the region is out of 1..8 or the drive has no
    // changes left.
    static RegionChange planChange(const RegionState &state, int region);
    // The drive's argument for a new region: every bit set except the region's.
    static uint8_t regionCode(int region);

private:
    std::unique_ptr<DriveIoctl> drive_;
};

// The region state of the drive behind a playback source, for a player that
// sets its own region from the drive's. Throws AppError as
// DriveAccess::deviceFor and DriveRegion::read do.
RegionState readDriveRegion(const QString &source, const DriveAccess &access = {});
