#include "surfaces/frmsubp.h"

#include "base/errors.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/units.h"
#include "widgets/skinbutton.h"

frmSubp::frmSubp()
    : StreamDialog(QStringLiteral(".: Select Subtitles"), QSize(153, 161),
                   twipsRect(120, 120, 2055, 1395), twipsRect(600, 1920, 1095, 375))
{
    setObjectName(QStringLiteral("frmSubp"));
    skinButton1 =
        addButton("skinButton1", QStringLiteral("No Subtitles"), twipsRect(120, 1560, 2055, 255));
    connect(skinButton1, &skinButton::Click, this, &frmSubp::skinButton1_Click);
}

int frmSubp::entryCount() const
{
    return dvdControl()->SubpictureStreamsAvailable();
}

StreamDialog::Entry frmSubp::entryAt(int index) const
{
    return {dvdControl()->SubpictureLanguage(index), index};
}

void frmSubp::select(int number)
{
    dvdControl()->setCurrentSubpictureStream(number);
}

// A refusal is not worth a message: there is nothing else to try.
void frmSubp::skinButton1_Click()
{
    IgnoreErrors steps;
    steps.step([] { dvdControl()->setSubpictureOn(false); });
}
