#pragma once

#include <QString>

// The per-user settings: text values addressed by application, section and
// key. Each application is one INI file under the user's configuration folder.
namespace SettingsStore
{

// The stored text, or the default when the key, its section or its
// application does not exist.
QString Read(const QString &application, const QString &section, const QString &key,
             const QString &defaultValue);
QString Read(const QString &application, const QString &section, const QString &key,
             int defaultValue);

// Stores the text, creating what is needed. Throws AppError when the value
// could not be written.
void Write(const QString &application, const QString &section, const QString &key,
           const QString &value);

// The file that holds an application's settings.
QString fileName(const QString &application);

} // namespace SettingsStore
