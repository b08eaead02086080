#include "platform/desktop.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace Desktop
{

namespace
{

constexpr const char *kOnTopProperty = "vidoraStayOnTop";

// An address has a scheme of two or more letters ("C:" would be a drive).
// Web addresses are taken as typed, spaces and other letters included: the
// browser encodes them; a strict parse would turn them into a file path.
QUrl urlFor(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(target).hasMatch()) {
        const QUrl url(target, QUrl::TolerantMode);
        if (url.isValid())
            return url;
    }
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

// Where the window manager cannot move the window itself, follow the mouse
// until the button comes up.
class ManualMove : public QObject
{
public:
    explicit ManualMove(QWidget *window)
        : QObject(window), window_(window), offset_(QCursor::pos() - window->pos())
    {
        window_->grabMouse();
        window_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove) {
            window_->move(QCursor::pos() - offset_);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            window_->releaseMouse();
            window_->removeEventFilter(this);
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget *window_;
    QPoint offset_;
};

} // namespace

bool openDocument(const QString &target)
{
    if (target.isEmpty())
        return false;
    return QDesktopServices::openUrl(urlFor(target));
}

void beep()
{
    QApplication::beep();
}

void setStayOnTop(QWidget *window, bool onTop)
{
    if (!window)
        return;
    window = window->window();
    window->setProperty(kOnTopProperty, onTop);
    window->winId(); // makes sure the native window exists
    if (QWindow *handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (!window->isVisible()) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
    }
}

bool isStayOnTop(const QWidget *window)
{
    return window && window->window()->property(kOnTopProperty).toBool();
}

void startWindowDrag(QWidget *window)
{
    if (!window)
        return;
    window = window->window();
    QWindow *handle = window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    new ManualMove(window);
}

bool runBatchFile(const QString &path)
{
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty())
        return false;
    return QProcess::startDetached(
        wine, {QStringLiteral("cmd"), QStringLiteral("/c"), QDir::toNativeSeparators(path)});
}

} // namespace Desktop
