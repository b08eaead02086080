#include "core/dvdcontrol/dvdcommandline.h"
#include "core/forms.h"
#include "core/version.h"
#include "surfaces/frmnmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = DvdCommandLine::run(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vidora"));
    QApplication::setApplicationVersion(Version::fullVersion());
    form<frmNMain>()->show();
    return QApplication::exec();
}
