#pragma once

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

// Every test starts from the defaults: no player and no database settings.
inline void resetSettings()
{
    for (const char *application : {SettingsKeys::kPlayer, SettingsKeys::kDatabase})
        QFile::remove(SettingsStore::fileName(application));
}

// Under an X server with VIDORA_SCREENSHOTS set to a folder, saves the whole
// screen there as name, once the windows have painted.
inline void saveScreenshot(const QString &name)
{
    const QString folder = qEnvironmentVariable("VIDORA_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QGuiApplication::primaryScreen()->grabWindow(0).save(folder + '/' + name);
}
