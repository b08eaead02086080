#include "surfaces/frmlanguage.h"

#include "engine/control/dvdcontrolinstance.h"
#include "platform/units.h"

frmLanguage::frmLanguage()
    : StreamDialog(QStringLiteral(".: Select Audio Stream"), QSize(201, 153),
                   twipsRect(120, 120, 2775, 1590), twipsRect(960, 1800, 1095, 375))
{
    setObjectName(QStringLiteral("frmLanguage"));
}

int frmLanguage::entryCount() const
{
    return dvdControl()->AudioStreamsAvailable();
}

StreamDialog::Entry frmLanguage::entryAt(int index) const
{
    return {dvdControl()->AudioLanguage(index), index};
}

void frmLanguage::select(int number)
{
    dvdControl()->setCurrentAudioStream(number);
}
