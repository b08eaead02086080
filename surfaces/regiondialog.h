#pragma once

#include "engine/drive/driveregion.h"

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

// Shows the region dialog, modal, for a drive already opened and read: the
// control's region chooser (see changeDriveRegion).
void showRegionDialog(QWidget *parent, std::unique_ptr<DriveRegion> drive, const RegionState &state,
                      std::function<void(int regionMask)> applyVmMask);
