#pragma once

#include "dvddb/filelist.h"

#include <QPointer>
#include <QWidget>

#include <span>

class ClickArea;
class DvdControl;
class QAction;
class QLabel;
class QMenu;
class QTimer;

// The video window: hosts the DVD control's picture, switches between a
// framed window and full screen, zooms and navigates DVD menus from the
// keyboard, and offers every player function in its context menu. It also
// receives the control's notifications.
class DVD : public QWidget
{
    Q_OBJECT
public:
    DVD();
    ~DVD() override;

    void Form_Load();

    // Switches between full screen and a framed window.
    void ToggleFULLnWINDOW();
    // Tells the user why an operation is refused in the current domain; shows
    // nothing when the domain cannot be read.
    void CallDomain();
    // One poll of the keyboard (see PlayerKeys::Poll); tmrZoom runs it twice
    // a second.
    void tmrZoom_Timer();

    QPointer<QWidget> DVDw;                  // the control's picture, owned by the control
    ClickArea *imgBack = nullptr;            // catches clicks on the picture, except in zoom mode
    QLabel *lblZoom = nullptr;               // shown only in zoom mode
    QTimer *tmrZoom = nullptr;               // polls the keyboard
    FileList File1{QStringLiteral("*.dvd")}; // the database records, for the notifications

    QMenu *mMenu = nullptr; // the context menu
    QAction *mOpen = nullptr;
    QAction *mPlay = nullptr;
    QAction *mStop = nullptr;
    QAction *mPause = nullptr;
    QAction *mNextChapter = nullptr;
    QAction *mPrevChapter = nullptr;
    QMenu *mExtras = nullptr;
    QAction *mZoomMode = nullptr;
    QAction *mSave = nullptr;
    QAction *mLoad = nullptr;
    QAction *mDelete = nullptr;
    QAction *mActivate = nullptr;
    QMenu *mMenus = nullptr;
    QAction *mRoot = nullptr;
    QAction *mTitle = nullptr;
    QAction *mAudio = nullptr;
    QAction *mAngle = nullptr;
    QAction *mChapter = nullptr;
    QAction *mSubpicture = nullptr;
    QAction *mResume = nullptr;
    QAction *mNavigation = nullptr;
    QAction *mAngles = nullptr;
    QAction *mSubtitles = nullptr;
    QAction *mSoundStreams = nullptr;
    QAction *mSettings = nullptr;
    QAction *mFullScreen = nullptr;
    QAction *mHide = nullptr;
    QAction *mShowMain = nullptr;
    QAction *mAbout = nullptr;

    static QString zoomHelp();

    // Pauses the playing title; nothing in any other domain.
    void mPause_Click();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void attachControl();
    struct MenuEntry;
    void buildMenu();
    void addMenuEntries(QMenu *menu, std::span<const MenuEntry> entries);

    void Form_Activate();
    void Form_Resize();
    void zoomIn();
    void zoomOut();
    void imgBack_RightPress(const QPoint &globalPosition);
    void imgBack_Click();
    void imgBack_DblClick();
    void DVDw_DVDNotify(int eventCode, int param1, int param2);
    void DVDw_PlayFailed(int number, const QString &description);

    void mOpen_Click();
    void mZoomMode_Click();
    void mNavigation_Click();
    void mAngles_Click();
    void mSubtitles_Click();
    void mSoundStreams_Click();
    void mSettings_Click();
    void mHide_Click();
    void mShowMain_Click();
    void mAbout_Click();

    QPointer<DvdControl> control_; // the control whose picture DVDw is
};
