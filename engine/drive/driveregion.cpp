#include "engine/drive/driveregion.h"

#include <QStringList>

namespace
{

constexpr int kRegions = 8;

} // namespace

RegionState RegionState::decode(const dvd_lu_send_rpcstate &reply)
{
    RegionState state;
    state.setting = static_cast<Setting>(reply.type & 3);
    state.regionMask = reply.region_mask;
    state.userChangesLeft = reply.ucca;
    state.vendorResetsLeft = reply.vra;
    state.enforced = reply.rpc_scheme != 0;
    return state;
}

QList<int> RegionState::regions() const
{
    QList<int> playable;
    for (int region = 1; region <= kRegions; ++region) {
        if (!(regionMask & (1u << (region - 1))))
            playable << region;
    }
    return playable;
}

std::optional<int> RegionState::region() const
{
    const QList<int> playable = regions();
    if (playable.size() != 1)
        return std::nullopt;
    return playable.front();
}

QString RegionState::regionsText() const
{
    const QList<int> playable = regions();
    if (!enforced || playable.size() == kRegions)
        return QStringLiteral("every region");
    if (playable.isEmpty())
        return QStringLiteral("no region");
    if (playable.size() == 1)
        return QStringLiteral("region %1").arg(playable.front());
    QStringList numbers;
    for (int region : playable)
        numbers << QString::number(region);
    return QStringLiteral("regions ") + numbers.join(QStringLiteral(", "));
}

QString RegionState::settingText() const
{
    switch (setting) {
    case Setting::None:
        return QStringLiteral("no region set yet");
    case Setting::Set:
        return QStringLiteral("region set");
    case Setting::Restricted:
        return QStringLiteral("region set, further changes restricted");
    case Setting::Permanent:
        return QStringLiteral("region set for good");
    }
    return {};
}

DriveRegion::DriveRegion(std::unique_ptr<DriveIoctl> drive) : drive_(std::move(drive)) {}

RegionState DriveRegion::read()
{
    const int status = drive_->driveStatus();
    if (status == CDS_NO_DISC || status == CDS_TRAY_OPEN)
        throw noDiscInDrive(device());
    dvd_authinfo info{};
    info.type = DVD_LU_SEND_RPC_STATE;
    if (const int error = drive_->dvdAuth(info))
        throw driveAuthError(device(), error,
                             QStringLiteral("The drive %1 does not report a DVD region (%2)."));
    return RegionState::decode(info.lrpcs);
}

RegionState DriveRegion::change(int region)
{
    const RegionState before = read();
    if (planChange(before, region) != RegionChange::Counted)
        return before;
    dvd_authinfo info{};
    info.type = DVD_HOST_SEND_RPC_STATE;
    info.hrpcs.pdrc = regionCode(region);
    if (const int error = drive_->dvdAuth(info))
        throw driveAuthError(device(), error,
                             QStringLiteral("The drive %1 refused the region change (%2)."));
    const RegionState after = read();
    if (after.region() != region)
        throw AppError(ErrorNumbers::kRegionNotReported,
                       QStringLiteral("The drive %1 did not take region %2: it reports %3.")
                           .arg(device())
                           .arg(region)
                           .arg(after.regionsText()));
    return after;
}

RegionChange DriveRegion::planChange(const RegionState &state, int region)
{
    if (region < 1 || region > kRegions)
        throw AppError(
            ErrorNumbers::kInvalidArgument,
            QStringLiteral("There is no DVD region %1: regions are 1 to 8.").arg(region));
    if (!state.enforced)
        return RegionChange::PlayerOnly;
    if (state.region() == region)
        return RegionChange::AlreadySet;
    if (state.userChangesLeft <= 0 || state.setting == RegionState::Setting::Permanent)
        throw AppError(ErrorNumbers::kNoRegionChangesLeft,
                       QStringLiteral("The drive allows no more region changes: it stays at %1.")
                           .arg(state.regionsText()));
    return RegionChange::Counted;
}

uint8_t DriveRegion::regionCode(int region)
{
    return static_cast<uint8_t>(0xff & ~(1u << (region - 1)));
}

RegionState readDriveRegion(const QString &source, const DriveAccess &access)
{
    return DriveRegion(access.openFor(source)).read();
}
