#include "core/startup.h"

#include "core/forms.h"
#include "surfaces/frmnmain.h"

#include <QGuiApplication>
#include <QScreen>

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
    bar->show();
}
