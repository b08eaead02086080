#include "core/startup.h"

#include "core/forms.h"
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
