#include "surfaces/frmsubp.h"

#include "platform/units.h"

#include <QListWidget>

frmSubp::frmSubp() : QWidget(nullptr, Qt::Tool)
{
    setObjectName(QStringLiteral("frmSubp"));
    setWindowTitle(QStringLiteral(".: Select Subtitles"));
    resize(twips(3135), twips(2655));
    List1 = new QListWidget(this);
    List1->setGeometry(twipsRect(120, 120, 2775, 1590));
}
