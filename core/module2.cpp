#include "core/module2.h"

#include "base/logging.h"
#include "platform/desktop.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <QWidget>

namespace
{

// A local file named by its path or by a file address, which is not there.
bool isMissingFile(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (!scheme.match(target).hasMatch())
        return !QFileInfo::exists(target);
    const QUrl url(target, QUrl::TolerantMode);
    return url.isLocalFile() && !QFileInfo::exists(url.toLocalFile());
}

} // namespace

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
    if (Desktop::openDocument(file))
        return QString();
    qCInfo(logUi) << "the desktop could not open" << file;
    // A missing file is a refusal of its own, which gives no text.
    if (isMissingFile(file))
        return QString();
    return QStringLiteral("Insufficent system memory or corrupt program file");
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
