#include "settings/settingsstore.h"

#include "core/errors.h"

#include <QSettings>

namespace SettingsStore
{

namespace
{

constexpr const char *kOrganization = "KORVANE";

QString path(const QString &section, const QString &key)
{
    return section + '/' + key;
}

} // namespace

QString fileName(const QString &application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, kOrganization, application)
        .fileName();
}

QString Read(const QString &application, const QString &section, const QString &key,
             const QString &defaultValue)
{
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
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kOrganization, application);
    settings.setValue(path(section, key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("The setting %1 could not be saved in %2.")
                           .arg(key, settings.fileName()));
}

} // namespace SettingsStore
