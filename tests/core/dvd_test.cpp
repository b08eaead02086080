#include "coretest.h"

#include "core/clickarea.h"
#include "core/dvd.h"
#include "core/frmabout.h"
#include "core/playerstate.h"
#include "settings/frmsettings.h"
#include "surfaces/frmangle.h"
#include "surfaces/frmlanguage.h"
#include "surfaces/frmnav.h"
#include "surfaces/frmnmain.h"
#include "surfaces/frmsubp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QWindow>

class DvdTest : public VideoWindowTest
{
protected:
    // A key press as the window system delivers it to one of our windows.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(window->windowHandle(), &event);
    }
    void release(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(window->windowHandle(), &event);
    }
    void tap(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        press(key, modifiers);
        release(key, modifiers);
    }

    void mouse(QEvent::Type type, Qt::MouseButton button)
    {
        const QPointF at(20, 20);
        QMouseEvent event(type, at, window->imgBack->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(window->imgBack, &event);
    }
    void click()
    {
        mouse(QEvent::MouseButtonPress, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton);
    }
    void doubleClick()
    {
        click();
        mouse(QEvent::MouseButtonDblClick, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton);
    }

    static QStringList captions(const QMenu *menu)
    {
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts << (action->isSeparator() ? "---" : action->text());
        return texts;
    }
};

TEST_F(DvdTest, TheContextMenuOffersEveryPlayerFunction)
{
    EXPECT_EQ(captions(window->mMenu), QStringList({"Open...",
                                                    "---",
                                                    "Play",
                                                    "Stop",
                                                    "Pause",
                                                    "Next Chapter",
                                                    "Preview Chapter",
                                                    "---",
                                                    "Extras",
                                                    "---",
                                                    "Menus",
                                                    "Navigation...",
                                                    "Angles...",
                                                    "Subtitles...",
                                                    "Sound Streams...",
                                                    "---",
                                                    "Settings...",
                                                    "---",
                                                    "Make DVD panel Full Screen\\Window",
                                                    "---",
                                                    "Hide DVD panel",
                                                    "Show Main Panel...",
                                                    "---",
                                                    "About KORVANE Vidora 2..."}));
    EXPECT_EQ(captions(window->mExtras),
              QStringList({"Zoom Mode", "---", "&Save Bookmark", "L&oad Bookmark",
                           "&Delete bookmark", "---", "Activate"}));
    EXPECT_EQ(captions(window->mMenus), QStringList({"Root", "Title", "Audio", "Angle", "Chapter",
                                                     "Subpicture", "---", "Resume"}));
}

TEST_F(DvdTest, TheMenuItemsReachTheirCommands)
{
    control->domain = DvdDomain::kVideoManagerMenu;
    window->mChapter->trigger();
    window->mActivate->trigger();
    window->mPause->trigger();
    control->domain = DvdDomain::kTitle;
    window->mPause->trigger();
    window->mNextChapter->trigger();
    EXPECT_EQ(control->calls,
              QStringList({"ShowMenu(7)", "ActivateButton", "Pause", "PlayNextChapter"}));

    window->mZoomMode->trigger();
    EXPECT_EQ(messages(),
              QStringList{"Use the '+' button on your keyboard to enter the Zoom Mode and to zoom "
                          "in. Press the '-' button to return to normal mode and to zoom out. "
                          "While you are in Zoom Mode hold the left button of your mouse to move "
                          "around. You cannot access the player's menu while you are in Zoom "
                          "Mode."});

    window->mShowMain->trigger();
    EXPECT_TRUE(form<frmNMain>()->isVisible());
    window->mAbout->trigger();
    EXPECT_TRUE(form<frmAbout>()->isVisible());
    window->mHide->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(isLoaded<DVD>());
}

TEST_F(DvdTest, TheKeysActInTheirOrderOneActionPerTick)
{
    control->domain = DvdDomain::kVideoTitleSetMenu;
    tap(Qt::Key_Down);
    tap(Qt::Key_Left);
    tap(Qt::Key_Return);
    tap(Qt::Key_Plus);
    const QStringList expected = {"Zoom(360,270,2)", "ActivateButton", "SelectLeftButton",
                                  "SelectLowerButton"};
    for (qsizetype tick = 0; tick < expected.size(); ++tick) {
        window->tmrZoom_Timer();
        EXPECT_EQ(control->calls, expected.mid(0, tick + 1)) << "after tick " << tick + 1;
    }
    window->tmrZoom_Timer();
    EXPECT_EQ(control->calls.size(), expected.size());
}

TEST_F(DvdTest, AHeldKeyRepeatsEveryTick)
{
    control->domain = DvdDomain::kVideoManagerMenu;
    press(Qt::Key_Up);
    window->tmrZoom_Timer();
    window->tmrZoom_Timer();
    release(Qt::Key_Up);
    window->tmrZoom_Timer();
    EXPECT_EQ(control->calls, QStringList({"SelectUpperButton", "SelectUpperButton"}));
}

TEST_F(DvdTest, ZoomModeHidesTheClickAreaUntilMinus)
{
    tap(Qt::Key_Plus);
    window->tmrZoom_Timer();
    tap(Qt::Key_Equal); // the unshifted plus key
    window->tmrZoom_Timer();
    EXPECT_TRUE(window->imgBack->isHidden());
    EXPECT_FALSE(window->lblZoom->isHidden());
    tap(Qt::Key_Minus);
    window->tmrZoom_Timer();
    EXPECT_EQ(control->calls,
              QStringList({"Zoom(360,270,2)", "Zoom(360,270,2)", "Zoom(360,270,0.5)"}));
    EXPECT_TRUE(window->lblZoom->isHidden());
    EXPECT_FALSE(window->imgBack->isHidden());
}

TEST_F(DvdTest, KeypadPlusAndMinusAndArrowsDuringATitleDoNothing)
{
    control->domain = DvdDomain::kTitle;
    tap(Qt::Key_Plus, Qt::KeypadModifier);
    tap(Qt::Key_Minus, Qt::KeypadModifier);
    tap(Qt::Key_Right);
    window->tmrZoom_Timer();
    EXPECT_TRUE(control->calls.isEmpty());
    EXPECT_TRUE(window->lblZoom->isHidden());
}

TEST_F(DvdTest, KeysCountOnlyWhileOneOfOurWindowsIsActive)
{
    control->domain = DvdDomain::kVideoManagerMenu;
    press(Qt::Key_Left);
    window->hide(); // no window of ours is active any more
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    window->tmrZoom_Timer();
    // Coming back does not bring back a key pressed before leaving.
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    window->tmrZoom_Timer();
    EXPECT_TRUE(control->calls.isEmpty());
}

TEST_F(DvdTest, DoubleClicksSwitchToFullScreenAndBack)
{
    doubleClick();
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(window->windowTitle(), "");
    doubleClick();
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_EQ(window->windowTitle(), "DVD Panel");
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(DvdTest, ClicksBringThisWindowAndTheControlBarForwardInTurn)
{
    frmNMain *bar = form<frmNMain>();
    bar->show();
    bar->activateWindow();
    QApplication::processEvents();
    click();
    QApplication::processEvents();
    EXPECT_TRUE(playerState().barComesNext);
    EXPECT_EQ(QApplication::activeWindow(), window);
    click();
    QApplication::processEvents();
    EXPECT_FALSE(playerState().barComesNext);
    EXPECT_EQ(QApplication::activeWindow(), bar);
}

TEST_F(DvdTest, ARightClickPopsUpTheMenuExceptInZoomMode)
{
    mouse(QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_TRUE(window->mMenu->isVisible());
    window->mMenu->hide();

    tap(Qt::Key_Plus);
    window->tmrZoom_Timer();
    EXPECT_FALSE(window->imgBack->isVisibleTo(window));
    EXPECT_EQ(window->childAt(20, 20), window->DVDw.data());
}

TEST_F(DvdTest, StreamDialogsOpenOnlyWhenThereIsAChoice)
{
    control->angles = 1;
    control->subpictureStreams = 1;
    control->audioStreams = 1;
    window->mAngles->trigger();
    window->mSubtitles->trigger();
    window->mSoundStreams->trigger();
    EXPECT_EQ(messages(), QStringList({"There aren't multiple angles available.",
                                       "There aren't multiple subtitles available.",
                                       "There aren't multiple audio streams available."}));
    EXPECT_FALSE(isLoaded<frmAngle>() || isLoaded<frmSubp>() || isLoaded<frmLanguage>());

    control->angles = 2;
    control->subpictureStreams = 0;
    control->audioStreams = 2;
    window->mAngles->trigger();
    window->mSubtitles->trigger();
    window->mSoundStreams->trigger();
    EXPECT_TRUE(form<frmAngle>()->isVisible());
    EXPECT_TRUE(form<frmSubp>()->isVisible());
    EXPECT_TRUE(form<frmLanguage>()->isVisible());
    EXPECT_EQ(messages().size(), 3);
}

TEST_F(DvdTest, TheNavigationPadOpensOnlyDuringAMenu)
{
    control->domain = DvdDomain::kTitle;
    window->mNavigation->trigger();
    EXPECT_FALSE(isLoaded<frmNav>());
    control->domain = DvdDomain::kVideoTitleSetMenu;
    window->mNavigation->trigger();
    EXPECT_TRUE(form<frmNav>()->isVisible());
}

TEST_F(DvdTest, SettingsTwiceOpensThenClosesTheSettingsWindow)
{
    window->mSettings->trigger();
    ASSERT_TRUE(isLoaded<frmSettings>());
    EXPECT_TRUE(form<frmSettings>()->isVisible());
    window->mSettings->trigger();
    EXPECT_FALSE(isLoaded<frmSettings>());
}

TEST_F(DvdTest, ThePictureFollowsTheWindowAndOutlivesIt)
{
    window->resize(500, 300);
    EXPECT_EQ(window->DVDw->geometry(), QRect(0, 0, 500, 300));
    EXPECT_EQ(window->imgBack->geometry(), QRect(0, 0, 500, 300));

    QWidget *picture = control->view();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(isLoaded<DVD>());
    EXPECT_EQ(picture->parent(), nullptr);
    EXPECT_EQ(control->calls, QStringList{"Stop"});
    // The next reference loads the window anew with the same picture.
    EXPECT_EQ(form<DVD>()->DVDw.data(), picture);
}
