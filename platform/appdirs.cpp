#include "platform/appdirs.h"

#include <QDir>
#include <QStandardPaths>

namespace AppDirs
{

QString programDirectory()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString path = QDir::cleanPath(base + QStringLiteral("/vidora"));
    QDir().mkpath(path);
    return path;
}

} // namespace AppDirs
