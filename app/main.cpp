#include "core/startup.h"
#include "core/version.h"
#include "engine/control/dvdcontrolinstance.h"
#include "engine/headless/dvdcommandline.h"
#include "surfaces/regiondialog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = DvdCommandLine::run(argc, argv))
        return *status;
    PreferX11Platform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vidora"));
    QApplication::setApplicationVersion(Version::fullVersion());
    installDvdControl(createRealDvdControl(&showRegionDialog));
    Main();
    return QApplication::exec();
}
