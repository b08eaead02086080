#include "core/forms.h"
#include "core/version.h"
#include "surfaces/frmnmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vidora"));
    QApplication::setApplicationVersion(Version::fullVersion());
    form<frmNMain>()->show();
    return QApplication::exec();
}
