#include "engine/control/regionchange.h"

#include "engine/common/dvderrors.h"

void changeDriveRegion(QWidget *parent, const QString &source,
                       std::function<void(int regionMask)> applyVmMask, const DriveAccess &access,
                       const RegionChooser &chooser)
{
    auto drive = std::make_unique<DriveRegion>(access.openFor(source));
    const RegionState state = drive->read();
    if (!chooser)
        throw DvdErrors::notPermitted(QStringLiteral("ChangeRegion"),
                                      QStringLiteral("this program has no region window."));
    chooser(parent, std::move(drive), state, std::move(applyVmMask));
}
