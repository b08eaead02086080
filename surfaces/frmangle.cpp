#include "surfaces/frmangle.h"

#include "engine/control/dvdcontrolinstance.h"
#include "platform/units.h"
#include "widgets/skinbutton.h"

frmAngle::frmAngle()
    : StreamDialog(QStringLiteral(".: Select Angle"), QSize(153, 153),
                   twipsRect(120, 120, 2055, 1590), twipsRect(600, 1800, 1095, 375))
{
    setObjectName(QStringLiteral("frmAngle"));
    skinButton5->setShowFocusRect(true);
}

int frmAngle::entryCount() const
{
    return dvdControl()->AnglesAvailable();
}

// Angles count from 1; the blank before the number is the place of a sign.
StreamDialog::Entry frmAngle::entryAt(int index) const
{
    const int angle = index + 1;
    return {QStringLiteral(" %1").arg(angle), angle};
}

void frmAngle::select(int number)
{
    dvdControl()->setCurrentAngle(number);
}
