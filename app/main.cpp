#include "base/localpath.h"
#include "core/bookmarks.h"
#include "core/forms.h"
#include "core/mprisservice.h"
#include "core/programend.h"
#include "core/programoptions.h"
#include "core/singleinstance.h"
#include "core/startup.h"
#include "core/version.h"
#include "engine/control/dvdcontrolinstance.h"
#include "engine/headless/dvdcommandline.h"
#include "surfaces/frmnmain.h"
#include "surfaces/regiondialog.h"
#include "widgets/windowaccessible.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = DvdCommandLine::run(argc, argv))
        return *status;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << LocalPath::fromBytes(QByteArray(argv[i]));
    if (const std::optional<int> status = ProgramOptions::answer(arguments))
        return *status;
    PreferX11Platform();
    QString problem;
    if (!ProgramOptions::displayAvailable(problem)) {
        std::fprintf(stderr, "vidora: %s\n", problem.toLocal8Bit().constData());
        return ProgramOptions::kNoDisplay;
    }
    std::optional<ProgramOptions::DisplayGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
    QApplication::setApplicationName(QStringLiteral("vidora"));
    QApplication::setApplicationVersion(Version::fullVersion());
    WindowAccessible::install();
    SingleInstance instance;
    if (instance.handOver(arguments.value(0)))
        return 0;
    // The windows and the control end inside the application's lifetime; a
    // signal ends the program as the menu's Close does.
    const ProgramEnd end([] { form<frmNMain>()->AutoBook(); });
    installDvdControl(createRealDvdControl(&showRegionDialog, Bookmarks::FilePath()));
    Main();
    QObject::connect(&instance, &SingleInstance::argumentReceived, form<frmNMain>(),
                     &Startup::HandOver);
    MprisService mpris;
    mpris.registerOnSessionBus();
    return QApplication::exec();
}
