#include "settings/frmsettings.h"

#include "platform/units.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace
{

const char *const kTabCaptions[] = {"DVD info", "Region/Decoders", "Player",
                                    "Colors",   "DVD database",    "Update"};

} // namespace

frmSettings::frmSettings() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral(".: Settings"));
    resize(twips(7200), twips(5400));
    Tab = new QTabWidget(this);
    Tab->setGeometry(rect().adjusted(8, 8, -8, -8));
    for (const char *caption : kTabCaptions)
        Tab->addTab(new QWidget(Tab), QString::fromLatin1(caption));

    QWidget *info = Tab->widget(0);
    auto *label = new QLabel(QStringLiteral("DVD Name: "), info);
    label->setGeometry(twipsRect(240, 240, 2400, 285));
    DVDname = new QLineEdit(QStringLiteral("None"), info);
    DVDname->setGeometry(twipsRect(2640, 240, 3840, 285));
    DVDname->setReadOnly(true);
}

void frmSettings::Form_Load()
{
    Tab->setCurrentIndex(0);
}
