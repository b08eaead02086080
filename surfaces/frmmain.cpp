#include "surfaces/frmmain.h"

#include "core/forms.h"
#include "core/frmabout.h"
#include "core/functions.h"
#include "core/ontopbas.h"
#include "core/version.h"
#include "platform/dialogs.h"
#include "settings/colorrendering.h"
#include "surfaces/frmnmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QSessionManager>

frmMain::frmMain() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Version::programTitle());
}

QMenu *frmMain::menus()
{
    ensureLoaded();
    return menus_;
}

QMenu *frmMain::mnuInMenu()
{
    ensureLoaded();
    return mnuInMenu_;
}

QMenu *frmMain::mcd()
{
    ensureLoaded();
    return mcd_;
}

void frmMain::ensureLoaded()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

// The command line and the play-at-start option were handled by the control
// bar's load; they run once per program run, so the host does not repeat
// them.
void frmMain::Form_Load()
{
    buildMenus();
    menus_->menuAction()->setVisible(false);
    mcd_->menuAction()->setVisible(false);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmMain::commitDataRequest);
    QApplication::processEvents();
    ColorRendering();
    QApplication::processEvents();
}

// The host is never shown: its colours are applied for form's sake only.
void frmMain::ColorRendering()
{
    ColorRow row;
    row.window = this;
    ApplyColorRow(row);
}

QAction *frmMain::addItem(QMenu *menu, const char *name, const QString &caption,
                          void (frmMain::*handler)())
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    if (handler)
        connect(item, &QAction::triggered, this, handler);
    return item;
}

void frmMain::buildMenus()
{
    menus_ = new QMenu(this);
    menus_->setObjectName(QStringLiteral("menus"));
    const struct {
        const char *name;
        const char *caption;
        void (*command)();
    } dvdItems[] = {
        {"mRoot", "Root", &Functions::ShowRootMenu},
        {"mTitle", "Title", &Functions::ShowTitleMenu},
        {"mAudio", "Audio", &Functions::ShowAudioMenu},
        {"mAngle", "Angle", &Functions::ShowAngleMenu},
        {"mChapter", "Chapter", &Functions::ShowChapterMenu},
        {"mSubpicture", "Subpicture", &Functions::ShowSubpictureMenu},
    };
    for (const auto &entry : dvdItems) {
        QAction *item = addItem(menus_, entry.name, QString::fromLatin1(entry.caption), nullptr);
        connect(item, &QAction::triggered, this, entry.command);
    }
    menus_->addSeparator()->setObjectName(QStringLiteral("mSep"));
    QAction *resume = addItem(menus_, "mResume", QStringLiteral("Resume"), nullptr);
    connect(resume, &QAction::triggered, this, &Functions::ResumeFromMenu);

    mnuInMenu_ = new QMenu(this);
    mnuInMenu_->setObjectName(QStringLiteral("mnuInMenu"));
    mnuOnTop = addItem(mnuInMenu_, "mnuOnTop", QStringLiteral("On Top"), &frmMain::mnuOnTop_Click);
    mnuOnTop->setCheckable(true);
    addItem(mnuInMenu_, "mnuAbout", QStringLiteral("About"), &frmMain::mnuAbout_Click);
    mnuInMenu_->addSeparator()->setObjectName(QStringLiteral("mSepp"));
    addItem(mnuInMenu_, "mnuMin", QStringLiteral("Minimize"), &frmMain::mnuMin_Click);
    addItem(mnuInMenu_, "mnuClose", QStringLiteral("Close"), &frmMain::mnuClose_Click);

    mcd_ = new QMenu(this);
    mcd_->setObjectName(QStringLiteral("mcd"));
    mcd_->addAction(QStringLiteral("Open DVD\\CD door"));
    mcd_->addAction(QStringLiteral("Close DVD\\CD door"));
}

// The check mark is set by hand, so that it mirrors the bar's flag even when
// Qt would toggle a checkable item on its own.
void frmMain::mnuOnTop_Click()
{
    frmNMain *bar = form<frmNMain>();
    const bool onTop = !bar->boolOnTop;
    mnuOnTop->setChecked(onTop);
    SetOnTop(bar, onTop);
    bar->boolOnTop = onTop;
}

void frmMain::mnuAbout_Click()
{
    form<frmAbout>()->show();
}

void frmMain::mnuMin_Click()
{
    form<frmNMain>()->setWindowState(form<frmNMain>()->windowState() | Qt::WindowMinimized);
}

// Ending the program takes this menu with it: leave the menu first.
void frmMain::mnuClose_Click()
{
    QMetaObject::invokeMethod(form<frmNMain>(), &frmNMain::AutoBook, Qt::QueuedConnection);
}

bool frmMain::confirmExit()
{
    return Dialogs::current().askYesNo(
        nullptr, Version::programTitle(),
        QStringLiteral("Do you realy want to exit KORVANE Vidora 2? If you click YES all the "
                       "windows of the program will close."));
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (confirmExit())
        event->accept();
    else
        event->ignore();
}

// Logging off or shutting down asks the running program to close: the same
// question, where the session lets us ask.
void frmMain::commitDataRequest(QSessionManager &manager)
{
    if (manager.allowsInteraction()) {
        const bool exit = confirmExit();
        manager.release();
        if (!exit)
            manager.cancel();
    }
}
