#include "settings/settingsstore.h"

#include "base/errors.h"
#include "core/module2.h"

#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

namespace SettingsStore
{

namespace
{

constexpr const char *kOrganization = "KORVANE";

QString path(const QString &section, const QString &key)
{
    return section + '/' + key;
}

// Told once per run and file, so the defaults are not explained at every read.
void reportUnusable(const QString &file)
{
    static QSet<QString> reported;
    if (reported.contains(file))
        return;
    reported.insert(file);
    ShowMessage(QStringLiteral("The settings file \"%1\" is not a plain file and could not be "
                               "used. The program runs with its default settings and leaves that "
                               "file as it is.")
                    .arg(file));
}

// A pipe or a device in place of the file would hang the reader, and a write
// would replace it: neither is opened.
bool usable(const QString &application)
{
    const QFileInfo info(fileName(application));
    if (!info.exists() || info.isFile())
        return true;
    reportUnusable(info.filePath());
    return false;
}

} // namespace

// Where QSettings keeps the file, worked out without opening it.
QString fileName(const QString &application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
           kOrganization + '/' + application + QStringLiteral(".ini");
}

QString Read(const QString &application, const QString &section, const QString &key,
             const QString &defaultValue)
{
    if (!usable(application))
        return defaultValue;
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, kOrganization,
                             application);
    const QVariant value = settings.value(path(section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

QString Read(const QString &application, const QString &section, const QString &key,
             int defaultValue)
{
    return Read(application, section, key, QString::number(defaultValue));
}

void Write(const QString &application, const QString &section, const QString &key,
           const QString &value)
{
    if (!usable(application))
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("The setting %1 could not be saved: %2 is not a file.")
                           .arg(key, fileName(application)));
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kOrganization, application);
    settings.setValue(path(section, key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("The setting %1 could not be saved in %2.")
                           .arg(key, settings.fileName()));
}

} // namespace SettingsStore
