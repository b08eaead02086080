#pragma once

#include "core/box.h"
#include "core/dvd.h"
#include "core/forms.h"
#include "core/playerstate.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/keystate.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/scripteddialogs.h"
#include "support/scripteddvdcontrol.h"
#include "support/testsettings.h"
#include "surfaces/frmmain.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh scripted control and dialogs, empty settings, an empty database
// folder and no windows for every test.
class CoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        control = ScriptedDvdControl::install();
        dialogs = ScriptedDialogs::install();
        resetSettings();
        // The control bar's load takes the database folder from the settings.
        SettingsStore::Write(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection,
                             SettingsKeys::kDatabasePath, database.path() + '/');
        playerState().databaseFolder = database.path() + '/';
        KeyState::instance().clear();
    }

    void TearDown() override
    {
        Forms::unloadAll();
        for (BOX *box : BOX::openWindows())
            delete box;
        KeyState::instance().clear();
        releaseDvdControl();
    }

    // The texts of the open message windows, oldest first.
    static QStringList messages()
    {
        QStringList texts;
        for (BOX *box : BOX::openWindows())
            texts << box->msg->toPlainText();
        return texts;
    }

    static void setPlayerOption(const char *key, const QString &value)
    {
        SettingsStore::Write(SettingsKeys::kPlayer, SettingsKeys::kSaveSection, key, value);
    }

    static void setDatabaseOption(const char *key, const QString &value)
    {
        SettingsStore::Write(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection, key, value);
    }

    ScriptedDvdControl *control = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    QTemporaryDir database;
};

// The video window shown and active, as the user finds it.
class VideoWindowTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        window = form<DVD>();
        window->show();
        window->activateWindow();
        QApplication::processEvents();
    }

    DVD *window = nullptr;
};
