#include "core/startup.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/playerstate.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/databasepath.h"
#include "settings/frmsettings.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "surfaces/commandline.h"
#include "surfaces/frmnmain.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace
{

// Waits for the first paint; the report is queued behind it, so the
// painted picture has been handed to the window system by then.
class FirstPaintWatch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }
};

} // namespace

void PreferX11Platform()
{
    // Without an X display (a Wayland session without XWayland) Qt's own
    // choice stands.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void Main()
{
    frmNMain *bar = form<frmNMain>();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double top = screen.height() / 4.0 + screen.height() / 2.0;
    const double left = screen.width() / 2.0 - bar->width() / 2.0;
    bar->move(screen.left() + qRound(left), screen.top() + qRound(top));
    ExitWhenShownIfAsked(bar);
    bar->show();
}

void ExitWhenShownIfAsked(QWidget *bar)
{
    if (qEnvironmentVariableIsSet("VIDORA_EXIT_WHEN_SHOWN"))
        bar->installEventFilter(new FirstPaintWatch(bar));
}

namespace Startup
{

namespace
{

// The settings window opens on its colour tab with the scheme file loaded;
// the user confirms it with Apply or Save.
void showSchemeFile(const QString &path)
{
    IgnoreErrors steps;
    steps.step([&] { form<frmSettings>()->OpenSchemeFile(path); });
}

void playIfAskedAtStart()
{
    using namespace SettingsKeys;
    if (SettingsStore::Read(kPlayer, kSaveSection, kPlayAtStart, 0) == QLatin1String("1"))
        Functions::PlayDisc();
}

} // namespace

void setupDatabaseDirectory()
{
    playerState().databaseFolder = DatabasePath::initialise(DatabasePath::CreateFolder::Yes);
}

void runFirstSteps(const QString &commandLine)
{
    IgnoreErrors steps;
    steps.step([] { setupDatabaseDirectory(); });
    steps.step([] { playerState().databaseWindowShown = false; });
    steps.step([&] {
        if (!actOnCommandLine(commandLine))
            playIfAskedAtStart();
    });
}

bool actOnCommandLine(const QString &commandLine)
{
    const CommandLine::Request request = CommandLine::Classify(commandLine);
    switch (request.action) {
    case CommandLine::Action::LoadScheme:
        showSchemeFile(request.path);
        return false;
    case CommandLine::Action::Play: {
        IgnoreErrors steps;
        steps.step([&] { dvdControl()->setDVDDirectory(request.path); });
        Functions::PlayDisc();
        return true;
    }
    case CommandLine::Action::None:
        break;
    }
    return false;
}

void HandOver(const QString &argument)
{
    ShowRestored(form<frmNMain>());
    const QString quote = QStringLiteral("\"");
    actOnCommandLine(argument.isEmpty() ? QString() : quote + argument + quote);
}

} // namespace Startup
