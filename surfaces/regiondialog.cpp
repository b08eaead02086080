#include "surfaces/regiondialog.h"
#include "platform/dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

const char *const kRegionAreas[] = {
    "U.S., Canada",
    "Europe, Japan, Middle East, South Africa",
    "Southeast Asia, South Korea, Taiwan, Hong Kong",
    "Latin America, Australia, New Zealand",
    "Russia, Eastern Europe, India, Africa",
    "China",
    "Reserved",
    "Aircraft, cruise ships and other venues",
};

QString changesLeftText(int left)
{
    if (left <= 0)
        return QStringLiteral("no change will be left");
    if (left == 1)
        return QStringLiteral("1 change will be left");
    return QStringLiteral("%1 changes will be left").arg(left);
}

} // namespace

RegionDialog::RegionDialog(std::unique_ptr<DriveRegion> drive, const RegionState &state,
                           std::function<void(int)> applyVmMask, QWidget *parent)
    : QDialog(parent), drive_(std::move(drive)), applyVmMask_(std::move(applyVmMask))
{
    setWindowTitle(QStringLiteral("Change Region"));
    buildLayout();
    lblDevice->setText(drive_->device());
    showState(state);
    if (const auto region = state.region())
        cboRegion->setCurrentIndex(*region - 1);
    connect(btnChange, &QPushButton::clicked, this, &RegionDialog::btnChange_Click);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void RegionDialog::buildLayout()
{
    lblDevice = new QLabel(this);
    lblRegion = new QLabel(this);
    lblSetting = new QLabel(this);
    lblChanges = new QLabel(this);
    lblControl = new QLabel(this);
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    cboRegion = new QComboBox(this);
    for (int region = 1; region <= 8; ++region)
        cboRegion->addItem(QStringLiteral("%1 - %2").arg(region).arg(kRegionAreas[region - 1]),
                           region);
    btnChange = new QPushButton(QStringLiteral("Change"), this);
    btnClose = new QPushButton(QStringLiteral("Close"), this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Drive:"), lblDevice);
    form->addRow(QStringLiteral("Plays discs of:"), lblRegion);
    form->addRow(QStringLiteral("Setting:"), lblSetting);
    form->addRow(QStringLiteral("Changes left:"), lblChanges);
    form->addRow(QStringLiteral("Region control:"), lblControl);
    form->addRow(QStringLiteral("New region:"), cboRegion);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnChange);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
}

void RegionDialog::showState(const RegionState &state)
{
    lblRegion->setText(state.regionsText());
    lblSetting->setText(state.settingText());
    lblChanges->setText(QStringLiteral("%1 by the user, %2 by the vendor")
                            .arg(state.userChangesLeft)
                            .arg(state.vendorResetsLeft));
    lblControl->setText(state.enforced
                            ? QStringLiteral("RPC-II: the drive plays only discs of its region")
                            : QStringLiteral("RPC-I: the drive plays discs of every region"));
}

void RegionDialog::btnChange_Click()
{
    const int region = cboRegion->currentData().toInt();
    if (const auto error = trapFirstError([&] { changeTo(region); }))
        lblStatus->setText(error->description());
}

void RegionDialog::changeTo(int region)
{
    const RegionState state = drive_->read();
    showState(state);
    switch (DriveRegion::planChange(state, region)) {
    case RegionChange::AlreadySet:
        applyRegion(region);
        lblStatus->setText(
            QStringLiteral("The drive is already set to region %1: nothing was counted.")
                .arg(region));
        return;
    case RegionChange::PlayerOnly:
        applyRegion(region);
        lblStatus->setText(
            QStringLiteral("The drive plays every region; the player now uses region %1.")
                .arg(region));
        return;
    case RegionChange::Counted:
        break;
    }
    if (!Dialogs::current().askYesNo(this, windowTitle(), confirmation(state, region))) {
        lblStatus->setText(QStringLiteral("The region was not changed."));
        return;
    }
    const RegionState after = drive_->change(region);
    showState(after);
    applyRegion(region);
    lblStatus->setText(
        QStringLiteral("The drive is now set to region %1; %2 by the user.")
            .arg(region)
            .arg(after.userChangesLeft == 1
                     ? QStringLiteral("1 change is left")
                     : QStringLiteral("%1 changes are left").arg(after.userChangesLeft)));
}

void RegionDialog::applyRegion(int region)
{
    if (applyVmMask_)
        applyVmMask_(1 << (region - 1));
}

QString RegionDialog::confirmation(const RegionState &state, int region) const
{
    const int leftAfter = state.userChangesLeft - 1;
    QString text = QStringLiteral("Set the drive %1 to region %2?\n\nThe drive counts every "
                                  "region change, and the count cannot be undone: after this "
                                  "change %3.")
                       .arg(drive_->device())
                       .arg(region)
                       .arg(changesLeftText(leftAfter));
    if (leftAfter <= 0)
        text += QStringLiteral(" The drive will then stay at region %1 for good.").arg(region);
    return text;
}

void showRegionDialog(QWidget *parent, std::unique_ptr<DriveRegion> drive, const RegionState &state,
                      std::function<void(int regionMask)> applyVmMask)
{
    RegionDialog dialog(std::move(drive), state, std::move(applyVmMask), parent);
    dialog.exec();
}
