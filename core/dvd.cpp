#include "core/dvd.h"

#include "core/bookmarks.h"
#include "core/clickarea.h"
#include "core/dvdnotify.h"
#include "base/errors.h"
#include "core/forms.h"
#include "core/frmabout.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerkeys.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/keystate.h"
#include "platform/units.h"
#include "settings/frmsettings.h"
#include "surfaces/frmangle.h"
#include "surfaces/frmlanguage.h"
#include "surfaces/frmnav.h"
#include "surfaces/frmnmain.h"
#include "surfaces/frmsubp.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <initializer_list>

namespace
{

constexpr int kPollInterval = 500; // ms
constexpr int kZoomX = 360;
constexpr int kZoomY = 270;

struct PolledKey {
    int key;
    bool keypad;
};

// True when any of the keys is down or was pressed since it was last asked
// about; every key is asked, so none keeps a stale press for the next tick.
bool anyDown(std::initializer_list<PolledKey> keys)
{
    bool down = false;
    for (const PolledKey &polled : keys)
        down = KeyState::instance().isDown(polled.key, polled.keypad) || down;
    return down;
}

// The main keyboard's plus key types '=' unshifted on many layouts, and the
// minus key '_' shifted; the keypad's plus and minus are not polled. Enter
// and the arrows count on the keypad too.
bool plusDown()
{
    return anyDown({{Qt::Key_Plus, false}, {Qt::Key_Equal, false}});
}
bool minusDown()
{
    return anyDown({{Qt::Key_Minus, false}, {Qt::Key_Underscore, false}});
}
bool enterDown()
{
    return anyDown({{Qt::Key_Return, false}, {Qt::Key_Enter, true}, {Qt::Key_Enter, false}});
}
bool arrowDown(int key)
{
    return anyDown({{key, false}, {key, true}});
}

bool inMenuDomain()
{
    const int domain = dvdControl()->CurrentDomain();
    return domain == DvdDomain::kVideoManagerMenu || domain == DvdDomain::kVideoTitleSetMenu;
}

// Opens a stream dialog unless the disc has exactly one of what it offers.
template <typename Dialog>
void openStreamDialog(int (DvdControl::*count)() const, const QString &onlyOne)
{
    IgnoreErrors steps;
    steps.step([&] {
        if ((dvdControl()->*count)() == 1)
            ShowMessage(onlyOne);
        else
            form<Dialog>()->show();
    });
}

} // namespace

DVD::DVD() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("DVD"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("DVD panel"));
    resize(640, 480);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    attachControl();
    imgBack = new ClickArea(this);
    lblZoom = new QLabel(
        QStringLiteral("ZOOM MODE - Press \"-\" to return to normal mode and to zoom out"), this);
    lblZoom->setStyleSheet(QStringLiteral("color: #FFD040; background: rgba(0, 0, 0, 160);"));
    lblZoom->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblZoom->adjustSize();
    lblZoom->move(8, 8);
    lblZoom->hide();
    buildMenu();
    connectMenu();

    tmrZoom = new QTimer(this);
    tmrZoom->setInterval(kPollInterval);
    connect(tmrZoom, &QTimer::timeout, this, &DVD::tmrZoom_Timer);
    connect(imgBack, &ClickArea::rightPressed, this, &DVD::imgBack_RightPress);
    connect(imgBack, &ClickArea::clicked, this, &DVD::imgBack_Click);
    connect(imgBack, &ClickArea::doubleClicked, this, &DVD::imgBack_DblClick);
    tmrZoom->start();
    PlayerKeys::install(this);
    OpenDisc::acceptDrops(this);
}

DVD::~DVD()
{
    // The picture belongs to the control, which outlives this window; the
    // disc stops with the window that shows it.
    if (DVDw) {
        DVDw->hide();
        DVDw->setParent(nullptr);
    }
    if (control_) {
        IgnoreErrors steps;
        steps.step([this] { control_->Stop(); });
    }
}

void DVD::attachControl()
{
    IgnoreErrors steps;
    steps.step([this] {
        DvdControl *control = dvdControl();
        control_ = control;
        DVDw = control->view();
        DVDw->setParent(this);
        DVDw->show();
        connect(control, &DvdControl::DVDNotify, this, &DVD::DVDw_DVDNotify);
        connect(control, &DvdControl::PlayFailed, this, &DVD::DVDw_PlayFailed);
        connect(control, &DvdControl::PlaybackProblem, this, &DVD::DVDw_PlaybackProblem);
    });
}

void DVD::Form_Load()
{
    Form_Resize();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double left = screen.width() / 2.0 - width() / 2.0;
    const double top = screen.height() / 2.0 - height() / 2.0 - twips(400);
    move(screen.left() + qRound(left), screen.top() + std::max(0, qRound(top)));
}

bool DVD::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void DVD::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void DVD::Form_Activate()
{
    if (DVDw)
        DVDw->resize(size());
}

void DVD::Form_Resize()
{
    if (DVDw)
        DVDw->setGeometry(rect());
    imgBack->setGeometry(rect());
    imgBack->raise();
    lblZoom->raise();
}

void DVD::ToggleFULLnWINDOW()
{
    constexpr Qt::WindowStates kNotNormal =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    QPointer<DVD> self(this);
    if (!(windowState() & kNotNormal)) {
        setWindowTitle(QString());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (self)
            setWindowState((windowState() & ~kNotNormal) | Qt::WindowFullScreen);
        return;
    }
    setWindowTitle(QStringLiteral("DVD Panel"));
    QCoreApplication::processEvents();
    if (!self)
        return;
    // The framed window keeps its sizable border throughout: full screen
    // hides it without changing the window's flags.
    setWindowState(windowState() & ~kNotNormal);
    QCoreApplication::processEvents();
}

void DVD::CallDomain()
{
    IgnoreErrors steps;
    steps.step([] { Functions::CallDomain(); });
}

QString DVD::zoomHelp()
{
    return QStringLiteral("Use the '+' button on your keyboard to enter the Zoom Mode and to zoom "
                          "in. Press the '-' ") +
           QStringLiteral("button to return to normal mode and to zoom out. While you are in Zoom "
                          "Mode hold the left button of ") +
           QStringLiteral("your mouse to move around. You cannot access the player's menu while "
                          "you are in Zoom Mode.");
}

// The keyboard, twice a second: the first key found down acts, one action per
// tick, so a held key repeats. Keys count only while one of the program's own
// windows is active.
void DVD::tmrZoom_Timer()
{
    if (!QApplication::activeWindow())
        return;
    IgnoreErrors steps;
    if (plusDown())
        zoomIn();
    else if (minusDown())
        zoomOut();
    else if (enterDown())
        steps.step(&Functions::MenuActivate);
    else if (arrowDown(Qt::Key_Left))
        steps.step(&Functions::MenuLeft);
    else if (arrowDown(Qt::Key_Up))
        steps.step(&Functions::MenuUp);
    else if (arrowDown(Qt::Key_Right))
        steps.step(&Functions::MenuRight);
    else if (arrowDown(Qt::Key_Down))
        steps.step(&Functions::MenuDown);
}

void DVD::zoomIn()
{
    IgnoreErrors steps;
    steps.step([] { dvdControl()->Zoom(kZoomX, kZoomY, 2.0); });
    lblZoom->show();
    imgBack->hide();
}

void DVD::zoomOut()
{
    IgnoreErrors steps;
    steps.step([] { dvdControl()->Zoom(kZoomX, kZoomY, 0.5); });
    lblZoom->hide();
    imgBack->show();
}

void DVD::imgBack_RightPress(const QPoint &globalPosition)
{
    mMenu->popup(globalPosition);
}

// Successive clicks bring this window and the control bar to the front in
// turn; the bar's Tag remembers whose turn it is.
void DVD::imgBack_Click()
{
    frmNMain *bar = form<frmNMain>();
    if (bar->Tag != QLatin1String("1")) {
        bar->Tag = QStringLiteral("1");
        show();
        raise();
        activateWindow();
        return;
    }
    ShowRestored(bar);
    bar->Tag = QStringLiteral("0");
}

void DVD::imgBack_DblClick()
{
    ToggleFULLnWINDOW();
}

void DVD::DVDw_DVDNotify(int eventCode, int param1, int param2)
{
    Q_UNUSED(eventCode);
    Q_UNUSED(param2);
    DvdNotify::handle(*this, param1);
}

// A Play the control finished after the play command had returned is
// reported as that command reports its own.
void DVD::DVDw_PlayFailed(int number, const QString &description)
{
    Functions::ReportPlayFailure(number, description);
}

// Playback went on without part of the disc: the user hears of it once.
void DVD::DVDw_PlaybackProblem(int number, const QString &description)
{
    Q_UNUSED(number);
    ShowMessage(description);
}

void DVD::buildMenu()
{
    mMenu = new QMenu(QStringLiteral("Menu"), this);
    mOpen = mMenu->addAction(QStringLiteral("Open..."));
    // Ctrl+O itself is the window's own shortcut; the menu only names it.
    mOpen->setShortcut(QKeySequence::Open);
    mOpen->setShortcutContext(Qt::WidgetShortcut);
    mMenu->addSeparator();
    mPlay = mMenu->addAction(QStringLiteral("Play"));
    mStop = mMenu->addAction(QStringLiteral("Stop"));
    mPause = mMenu->addAction(QStringLiteral("Pause"));
    mNextChapter = mMenu->addAction(QStringLiteral("Next Chapter"));
    mPrevChapter = mMenu->addAction(QStringLiteral("Preview Chapter"));
    mMenu->addSeparator();
    buildExtrasMenu();
    mMenu->addSeparator();
    buildMenusMenu();
    mNavigation = mMenu->addAction(QStringLiteral("Navigation..."));
    mAngles = mMenu->addAction(QStringLiteral("Angles..."));
    mSubtitles = mMenu->addAction(QStringLiteral("Subtitles..."));
    mSoundStreams = mMenu->addAction(QStringLiteral("Sound Streams..."));
    mMenu->addSeparator();
    mSettings = mMenu->addAction(QStringLiteral("Settings..."));
    mMenu->addSeparator();
    mFullScreen = mMenu->addAction(QStringLiteral("Make DVD panel Full Screen\\Window"));
    mMenu->addSeparator();
    mHide = mMenu->addAction(QStringLiteral("Hide DVD panel"));
    mShowMain = mMenu->addAction(QStringLiteral("Show Main Panel..."));
    mMenu->addSeparator();
    mAbout = mMenu->addAction(QStringLiteral("About KORVANE Vidora 2..."));
}

void DVD::buildExtrasMenu()
{
    mExtras = mMenu->addMenu(QStringLiteral("Extras"));
    mZoomMode = mExtras->addAction(QStringLiteral("Zoom Mode"));
    mExtras->addSeparator();
    mSave = mExtras->addAction(QStringLiteral("&Save Bookmark"));
    mLoad = mExtras->addAction(QStringLiteral("L&oad Bookmark"));
    mDelete = mExtras->addAction(QStringLiteral("&Delete bookmark"));
    mExtras->addSeparator();
    mActivate = mExtras->addAction(QStringLiteral("Activate"));
}

void DVD::buildMenusMenu()
{
    mMenus = mMenu->addMenu(QStringLiteral("Menus"));
    mRoot = mMenus->addAction(QStringLiteral("Root"));
    mTitle = mMenus->addAction(QStringLiteral("Title"));
    mAudio = mMenus->addAction(QStringLiteral("Audio"));
    mAngle = mMenus->addAction(QStringLiteral("Angle"));
    mChapter = mMenus->addAction(QStringLiteral("Chapter"));
    mSubpicture = mMenus->addAction(QStringLiteral("Subpicture"));
    mMenus->addSeparator();
    mResume = mMenus->addAction(QStringLiteral("Resume"));
}

void DVD::connectMenu()
{
    connect(mOpen, &QAction::triggered, this, &DVD::mOpen_Click);
    connect(mPlay, &QAction::triggered, this, &Functions::PlayDisc);
    connect(mStop, &QAction::triggered, this, &Functions::StopDisc);
    connect(mPause, &QAction::triggered, this, &DVD::mPause_Click);
    connect(mNextChapter, &QAction::triggered, this, &Functions::NextChapter);
    connect(mPrevChapter, &QAction::triggered, this, &Functions::PreviousChapter);
    connect(mZoomMode, &QAction::triggered, this, &DVD::mZoomMode_Click);
    connect(mSave, &QAction::triggered, this, &Bookmarks::Save);
    connect(mLoad, &QAction::triggered, this, &Bookmarks::Load);
    connect(mDelete, &QAction::triggered, this, &Bookmarks::Delete);
    connect(mActivate, &QAction::triggered, this, &Functions::MenuActivate);
    connect(mRoot, &QAction::triggered, this, &Functions::ShowRootMenu);
    connect(mTitle, &QAction::triggered, this, &Functions::ShowTitleMenu);
    connect(mAudio, &QAction::triggered, this, &Functions::ShowAudioMenu);
    connect(mAngle, &QAction::triggered, this, &Functions::ShowAngleMenu);
    connect(mChapter, &QAction::triggered, this, &Functions::ShowChapterMenu);
    connect(mSubpicture, &QAction::triggered, this, &Functions::ShowSubpictureMenu);
    connect(mResume, &QAction::triggered, this, &Functions::ResumeFromMenu);
    connect(mNavigation, &QAction::triggered, this, &DVD::mNavigation_Click);
    connect(mAngles, &QAction::triggered, this, &DVD::mAngles_Click);
    connect(mSubtitles, &QAction::triggered, this, &DVD::mSubtitles_Click);
    connect(mSoundStreams, &QAction::triggered, this, &DVD::mSoundStreams_Click);
    connect(mSettings, &QAction::triggered, this, &DVD::mSettings_Click);
    connect(mFullScreen, &QAction::triggered, this, &DVD::ToggleFULLnWINDOW);
    connect(mHide, &QAction::triggered, this, &DVD::mHide_Click);
    connect(mShowMain, &QAction::triggered, this, &DVD::mShowMain_Click);
    connect(mAbout, &QAction::triggered, this, &DVD::mAbout_Click);
}

void DVD::mOpen_Click()
{
    OpenDisc::choose(this);
}

void DVD::mPause_Click()
{
    IgnoreErrors steps;
    steps.step([this] {
        if (dvdControl()->CurrentDomain() != DvdDomain::kTitle)
            return;
        dvdControl()->Pause();
        Paused = true;
    });
}

void DVD::mZoomMode_Click()
{
    ShowMessage(zoomHelp());
}

void DVD::mNavigation_Click()
{
    IgnoreErrors steps;
    steps.step([] {
        if (inMenuDomain())
            form<frmNav>()->show();
    });
}

void DVD::mAngles_Click()
{
    openStreamDialog<frmAngle>(&DvdControl::AnglesAvailable,
                               QStringLiteral("There aren't multiple angles available."));
}

void DVD::mSubtitles_Click()
{
    openStreamDialog<frmSubp>(&DvdControl::SubpictureStreamsAvailable,
                              QStringLiteral("There aren't multiple subtitles available."));
}

void DVD::mSoundStreams_Click()
{
    openStreamDialog<frmLanguage>(&DvdControl::AudioStreamsAvailable,
                                  QStringLiteral("There aren't multiple audio streams available."));
}

void DVD::mSettings_Click()
{
    if (isLoaded<frmSettings>() && form<frmSettings>()->isVisible())
        unload<frmSettings>();
    else
        form<frmSettings>()->show();
}

void DVD::mHide_Click()
{
    hide();
}

void DVD::mShowMain_Click()
{
    ShowRestored(form<frmNMain>());
}

void DVD::mAbout_Click()
{
    form<frmAbout>()->show();
}
