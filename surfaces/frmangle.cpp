#include "surfaces/frmangle.h"

#include "platform/units.h"

#include <QListWidget>

frmAngle::frmAngle() : QWidget(nullptr, Qt::Tool)
{
    setObjectName(QStringLiteral("frmAngle"));
    setWindowTitle(QStringLiteral(".: Select Angle"));
    resize(twips(3135), twips(2655));
    List1 = new QListWidget(this);
    List1->setGeometry(twipsRect(120, 120, 2775, 1590));
}
