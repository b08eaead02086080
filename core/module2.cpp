#include "core/module2.h"

#include "platform/desktop.h"

#include <QWidget>

void DragWindow(QWidget *window)
{
    Desktop::startWindowDrag(window);
}

QString OpenDocument(const QString &file, const QString &parameters, const QString &directory)
{
    // Parameters and working directory only matter to programs started from a
    // shell; documents and addresses open in their default application.
    Q_UNUSED(parameters);
    Q_UNUSED(directory);
    Desktop::openDocument(file);
    // The desktop reports a missing file like any other refusal, which the
    // callers do not tell apart from success.
    return QString();
}

void ShowRestored(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

bool ContainsText(const QString &needle, const QString &haystack)
{
    return haystack.toLower().contains(needle.toLower());
}
