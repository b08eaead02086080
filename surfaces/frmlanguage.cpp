#include "surfaces/frmlanguage.h"

#include "platform/units.h"

#include <QListWidget>

frmLanguage::frmLanguage() : QWidget(nullptr, Qt::Tool)
{
    setObjectName(QStringLiteral("frmLanguage"));
    setWindowTitle(QStringLiteral(".: Select Audio Stream"));
    resize(twips(3135), twips(2655));
    List1 = new QListWidget(this);
    List1->setGeometry(twipsRect(120, 120, 2775, 1590));
}
