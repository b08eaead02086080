#include "surfacetesting.h"

#include "core/frmabout.h"
#include "platform/desktop.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/scripteddialogs.h"
#include "support/scripteddvdcontrol.h"
#include "support/testsettings.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnmain.h"

#include <QFile>
#include <QMenu>

#include <QTimer>

#include <gtest/gtest.h>

using namespace SurfaceTesting;
using namespace SettingsKeys;

namespace
{

QStringList captions(QMenu *menu)
{
    QStringList texts;
    for (QAction *item : menu->actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return texts;
}

QAction *item(QMenu *menu, const char *name)
{
    for (QAction *action : menu->actions())
        if (action->objectName() == QLatin1String(name))
            return action;
    return nullptr;
}

class MenuHost : public ScriptedControlTest
{
protected:
    void SetUp() override
    {
        ScriptedControlTest::SetUp();
        dialogs = ScriptedDialogs::install();
        resetSettings();
    }
    ScriptedDialogs *dialogs = nullptr;
};

} // namespace

TEST_F(MenuHost, NamingItDoesNotLoadItButTheFirstMenuUseDoes)
{
    EXPECT_FALSE(form<frmMain>()->isHostLoaded());
    QMenu *menus = form<frmMain>()->menus();
    EXPECT_TRUE(form<frmMain>()->isHostLoaded());
    EXPECT_FALSE(form<frmMain>()->isVisible()) << "never shown";
    EXPECT_EQ(captions(menus), QStringList({"Root", "Title", "Audio", "Angle", "Chapter",
                                            "Subpicture", "-", "Resume"}));
    EXPECT_EQ(captions(form<frmMain>()->mnuInMenu()),
              QStringList({"On Top", "About", "-", "Minimize", "Close"}));
    EXPECT_EQ(captions(form<frmMain>()->mcd()),
              QStringList({"Open DVD\\CD door", "Close DVD\\CD door"}));
}

TEST_F(MenuHost, ItsFirstUseDoesNotRepeatThePlayAtStartOption)
{
    SettingsStore::Write(kPlayer, kSaveSection, kPlayAtStart, "1");
    form<frmMain>()->menus();
    EXPECT_FALSE(control->calls.contains("Play"));
}

TEST_F(MenuHost, TheDvdMenuItemsRunThePlayerCommands)
{
    control->domain = 4;
    QMenu *menus = form<frmMain>()->menus();
    item(menus, "mRoot")->trigger();
    item(menus, "mTitle")->trigger();
    item(menus, "mAudio")->trigger();
    item(menus, "mAngle")->trigger();
    item(menus, "mChapter")->trigger();
    item(menus, "mSubpicture")->trigger();
    item(menus, "mResume")->trigger();
    EXPECT_EQ(control->calls, QStringList({"ShowMenu(3)", "ShowMenu(2)", "ShowMenu(5)",
                                           "ShowMenu(6)", "ShowMenu(7)", "ShowMenu(4)", "Resume"}));
}

TEST_F(MenuHost, OnTopTwiceReturnsTheBarToNormalStackingWithoutACheckMark)
{
    frmNMain *bar = form<frmNMain>();
    QAction *onTop = item(form<frmMain>()->mnuInMenu(), "mnuOnTop");
    ASSERT_NE(onTop, nullptr);
    EXPECT_FALSE(onTop->isChecked());
    onTop->trigger();
    EXPECT_TRUE(bar->boolOnTop);
    EXPECT_TRUE(onTop->isChecked());
    EXPECT_TRUE(Desktop::isStayOnTop(bar));
    onTop->trigger();
    EXPECT_FALSE(bar->boolOnTop);
    EXPECT_FALSE(onTop->isChecked());
    EXPECT_FALSE(Desktop::isStayOnTop(bar));
}

TEST_F(MenuHost, MinimizeMinimizesTheBar)
{
    frmNMain *bar = form<frmNMain>();
    bar->show();
    item(form<frmMain>()->mnuInMenu(), "mnuMin")->trigger();
    EXPECT_TRUE(bar->windowState() & Qt::WindowMinimized);
}

TEST_F(MenuHost, AboutShowsTheAboutWindow)
{
    item(form<frmMain>()->mnuInMenu(), "mnuAbout")->trigger();
    EXPECT_TRUE(isLoaded<frmAbout>() && form<frmAbout>()->isVisible());
}

// The menu's Close, and the window manager's close of the borderless bar.
TEST_F(MenuHost, CloseEndsTheProgramWithoutAsking)
{
    for (const bool fromWindowManager : {false, true}) {
        form<frmNMain>()->show();
        if (fromWindowManager)
            form<frmNMain>()->close();
        else
            item(form<frmMain>()->mnuInMenu(), "mnuClose")->trigger();
        QApplication::processEvents();
        EXPECT_FALSE(isLoaded<frmNMain>()) << fromWindowManager;
        EXPECT_FALSE(isLoaded<frmMain>()) << fromWindowManager;
        EXPECT_TRUE(dialogs->questions.isEmpty());
        control = ScriptedDvdControl::install(); // the program's end released the control
    }
    // The end asked the application to quit, which stops every event loop
    // (and every modal dialog) started after it, as the next run of the
    // program would not: that run's event loop starts afresh.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

TEST_F(MenuHost, AnsweringNoToTheExitQuestionKeepsItRunning)
{
    frmMain *host = form<frmMain>();
    host->menus();
    EXPECT_FALSE(host->close());
    EXPECT_EQ(dialogs->questions,
              QStringList{"Do you realy want to exit KORVANE Vidora 2? If you click YES all the "
                          "windows of the program will close."});
    EXPECT_TRUE(isLoaded<frmMain>());
    dialogs->yesNoAnswers.push_back(true);
    EXPECT_TRUE(host->close());
}
