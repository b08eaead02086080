#include "dvddb/frmadddvd.h"

#include "platform/units.h"

#include <QLabel>
#include <QLineEdit>

frmAddDVD::frmAddDVD() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmAddDVD"));
    setWindowTitle(QStringLiteral(".: Add DVD title"));
    resize(twips(6375), twips(6300));
    auto *label = new QLabel(QStringLiteral("DVD Unique ID:"), this);
    label->setGeometry(twipsRect(4200, 2280, 1935, 240));
    DVDid = new QLineEdit(this);
    DVDid->setGeometry(twipsRect(4200, 2520, 1935, 285));
}
