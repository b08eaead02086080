#pragma once

#include "engine/drive/driveregion.h"
#include "engine/drive/drivesource.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

// Shows a drive's region state and changes its region after the user
// confirms that the drive counts the change.
class RegionDialog : public QDialog
{
    Q_OBJECT
public:
    // applyVmMask receives 1 << (region - 1) whenever the player's region
    // is to follow the chosen one.
    RegionDialog(std::unique_ptr<DriveRegion> drive, const RegionState &state,
                 std::function<void(int regionMask)> applyVmMask, QWidget *parent = nullptr);

    QLabel *lblDevice = nullptr;
    QLabel *lblRegion = nullptr;
    QLabel *lblSetting = nullptr;
    QLabel *lblChanges = nullptr;
    QLabel *lblControl = nullptr;
    QLabel *lblStatus = nullptr;
    QComboBox *cboRegion = nullptr;
    QPushButton *btnChange = nullptr;
    QPushButton *btnClose = nullptr;

    void btnChange_Click();

private:
    void buildLayout();
    void showState(const RegionState &state);
    void changeTo(int region);
    void applyRegion(int region);
    QString confirmation(const RegionState &state, int region) const;

    std::unique_ptr<DriveRegion> drive_;
    std::function<void(int)> applyVmMask_;
};

// Opens the region dialog, modal, for the drive behind `source` (a device
// node, a folder on a mounted disc, or empty for the first drive). Throws
// AppError before showing anything when the source is an image or a folder
// on a disk, there is no drive or no disc, the user may not use the device,
// or the drive reports no region.
void changeDriveRegion(QWidget *parent, const QString &source,
                       std::function<void(int regionMask)> applyVmMask,
                       const DriveAccess &access = {});
