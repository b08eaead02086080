#include "core/dvd.h"

#include "base/errors.h"
#include "core/bookmarks.h"
#include "core/clickarea.h"
#include "core/dvdnotify.h"
#include "core/continuewatching.h"
#include "core/forms.h"
#include "core/frmabout.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerkeys.h"
#include "core/playerstate.h"
#include "engine/control/dvdcontrolinstance.h"
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

namespace
{

constexpr int kPollInterval = 500; // ms
constexpr int kZoomX = 360;
constexpr int kZoomY = 270;

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
        steps.step([this] { ContinueWatching::leave(control_); });
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

void DVD::tmrZoom_Timer()
{
    switch (PlayerKeys::Poll()) {
    case PlayerKeys::Polled::ZoomIn:
        zoomIn();
        break;
    case PlayerKeys::Polled::ZoomOut:
        zoomOut();
        break;
    case PlayerKeys::Polled::MenuKey:
    case PlayerKeys::Polled::Nothing:
        break;
    }
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
// turn.
void DVD::imgBack_Click()
{
    PlayerState &state = playerState();
    if (!state.barComesNext) {
        state.barComesNext = true;
        show();
        raise();
        activateWindow();
        return;
    }
    ShowRestored(form<frmNMain>());
    state.barComesNext = false;
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

// Every entry of the context menu: its caption (none for a separator), the
// action member it fills, what it runs, the shortcut it names, and a
// submenu's own entries.
struct DVD::MenuEntry {
    const char *caption = nullptr;
    QAction *DVD::*action = nullptr;
    void (*handler)(DVD &) = nullptr;
    QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey;
    QMenu *DVD::*submenu = nullptr;
    std::span<const MenuEntry> entries = {};
};

void DVD::buildMenu()
{
    using E = MenuEntry;
    static const E extras[] = {
        {"Zoom Mode", &DVD::mZoomMode, [](DVD &w) { w.mZoomMode_Click(); }},
        {},
        {"&Save Bookmark", &DVD::mSave, [](DVD &) { Bookmarks::Save(); }},
        {"L&oad Bookmark", &DVD::mLoad, [](DVD &) { Bookmarks::Load(); }},
        {"&Delete bookmark", &DVD::mDelete, [](DVD &) { Bookmarks::Delete(); }},
        {},
        {"Activate", &DVD::mActivate, [](DVD &) { Functions::MenuActivate(); }},
    };
    static const E menus[] = {
        {"Root", &DVD::mRoot, [](DVD &) { Functions::ShowRootMenu(); }},
        {"Title", &DVD::mTitle, [](DVD &) { Functions::ShowTitleMenu(); }},
        {"Audio", &DVD::mAudio, [](DVD &) { Functions::ShowAudioMenu(); }},
        {"Angle", &DVD::mAngle, [](DVD &) { Functions::ShowAngleMenu(); }},
        {"Chapter", &DVD::mChapter, [](DVD &) { Functions::ShowChapterMenu(); }},
        {"Subpicture", &DVD::mSubpicture, [](DVD &) { Functions::ShowSubpictureMenu(); }},
        {},
        {"Resume", &DVD::mResume, [](DVD &) { Functions::ResumeFromMenu(); }},
    };
    static const E menu[] = {
        {"Open...", &DVD::mOpen, [](DVD &w) { w.mOpen_Click(); }, QKeySequence::Open},
        {},
        {"Play", &DVD::mPlay, [](DVD &) { Functions::PlayDisc(); }},
        {"Stop", &DVD::mStop, [](DVD &) { Functions::StopDisc(); }},
        {"Pause", &DVD::mPause, [](DVD &w) { w.mPause_Click(); }},
        {"Next Chapter", &DVD::mNextChapter, [](DVD &) { Functions::NextChapter(); }},
        {"Preview Chapter", &DVD::mPrevChapter, [](DVD &) { Functions::PreviousChapter(); }},
        {},
        {.caption = "Extras", .submenu = &DVD::mExtras, .entries = extras},
        {},
        {.caption = "Menus", .submenu = &DVD::mMenus, .entries = menus},
        {"Navigation...", &DVD::mNavigation, [](DVD &w) { w.mNavigation_Click(); }},
        {"Angles...", &DVD::mAngles, [](DVD &w) { w.mAngles_Click(); }},
        {"Subtitles...", &DVD::mSubtitles, [](DVD &w) { w.mSubtitles_Click(); }},
        {"Sound Streams...", &DVD::mSoundStreams, [](DVD &w) { w.mSoundStreams_Click(); }},
        {},
        {"Settings...", &DVD::mSettings, [](DVD &w) { w.mSettings_Click(); }},
        {},
        {"Make DVD panel Full Screen\\Window", &DVD::mFullScreen,
         [](DVD &w) { w.ToggleFULLnWINDOW(); }},
        {},
        {"Hide DVD panel", &DVD::mHide, [](DVD &w) { w.mHide_Click(); }},
        {"Show Main Panel...", &DVD::mShowMain, [](DVD &w) { w.mShowMain_Click(); }},
        {},
        {"About KORVANE Vidora 2...", &DVD::mAbout, [](DVD &w) { w.mAbout_Click(); }},
    };
    mMenu = new QMenu(QStringLiteral("Menu"), this);
    addMenuEntries(mMenu, menu);
}

void DVD::addMenuEntries(QMenu *menu, std::span<const MenuEntry> entries)
{
    for (const MenuEntry &entry : entries) {
        if (!entry.caption) {
            menu->addSeparator();
        } else if (entry.submenu) {
            this->*entry.submenu = menu->addMenu(QString::fromLatin1(entry.caption));
            addMenuEntries(this->*entry.submenu, entry.entries);
        } else {
            QAction *action = menu->addAction(QString::fromLatin1(entry.caption));
            this->*entry.action = action;
            // The keys themselves are the window's own shortcuts (playerkeys);
            // the menu only names them.
            if (entry.shortcut != QKeySequence::UnknownKey) {
                action->setShortcut(entry.shortcut);
                action->setShortcutContext(Qt::WidgetShortcut);
            }
            connect(action, &QAction::triggered, this, [this, run = entry.handler] { run(*this); });
        }
    }
}

void DVD::mOpen_Click()
{
    OpenDisc::choose(this);
}

void DVD::mPause_Click()
{
    IgnoreErrors steps;
    steps.step([] {
        if (dvdControl()->CurrentDomain() != DvdDomain::kTitle)
            return;
        dvdControl()->Pause();
        playerState().paused = true;
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
