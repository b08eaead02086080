#include "core/functions.h"

#include "base/errors.h"
#include "core/dvd.h"
#include "core/continuewatching.h"
#include "core/dvdnotify.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/playerstate.h"
#include "core/version.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/frmsettings.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "surfaces/frmnmain.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>
#include <functional>
#include <initializer_list>

namespace Functions
{

namespace
{

constexpr int kDecoderTab = 1;

// The play command's step 1: show the video window, in full screen when the
// user asked for it. A window already in full screen stays there.
void showVideoWindow()
{
    const QString fullScreen = SettingsStore::Read(
        SettingsKeys::kPlayer, SettingsKeys::kSaveSection, SettingsKeys::kFullScreen, 0);
    DVD *window = form<DVD>();
    window->show();
    if (fullScreen == QLatin1String("0") || window->isFullScreen())
        return;
    // From a minimised or maximised window the toggle would only restore it.
    constexpr Qt::WindowStates kRestorable = Qt::WindowMinimized | Qt::WindowMaximized;
    if (window->windowState() & kRestorable)
        window->setWindowState(window->windowState() & ~kRestorable);
    window->ToggleFULLnWINDOW();
    QCoreApplication::processEvents();
}

void openDecoderSettings()
{
    QCoreApplication::processEvents();
    auto *settings = form<frmSettings>();
    settings->show();
    settings->Tab->setCurrentIndex(kDecoderTab);
}

bool inDomain(std::initializer_list<int> domains)
{
    const int domain = dvdControl()->CurrentDomain();
    return std::find(domains.begin(), domains.end(), domain) != domains.end();
}

// Chapter commands act only while a title plays, silently otherwise.
void inTitle(void (DvdControl::*operation)())
{
    IgnoreErrors steps;
    steps.step([&] {
        if (inDomain({DvdDomain::kTitle}))
            (dvdControl()->*operation)();
    });
}

// Menu commands are refused with the reason in first play and when stopped.
void outsideFirstPlayAndStop(const std::function<void()> &operation)
{
    IgnoreErrors steps;
    steps.step([&] {
        if (inDomain({DvdDomain::kFirstPlay, DvdDomain::kStop}))
            CallDomain();
        else
            operation();
    });
}

void showMenu(int menuId)
{
    outsideFirstPlayAndStop([menuId] { dvdControl()->ShowMenu(menuId); });
}

// Menu navigation acts only while a DVD menu is shown, silently otherwise.
void inMenu(void (DvdControl::*operation)())
{
    IgnoreErrors steps;
    steps.step([&] {
        if (inDomain({DvdDomain::kVideoManagerMenu, DvdDomain::kVideoTitleSetMenu}))
            (dvdControl()->*operation)();
    });
}

} // namespace

QString domainRefusal(int domain)
{
    switch (domain) {
    case DvdDomain::kFirstPlay:
        return QStringLiteral("This operation is not permitted at this time, please wait ");
    case DvdDomain::kVideoManagerMenu:
        return QStringLiteral("This operation is not permitted from the Video Manager Menu");
    case DvdDomain::kVideoTitleSetMenu:
        return QStringLiteral("This operation is not permitted from the Video Title Set Menu");
    case DvdDomain::kTitle:
        return QStringLiteral(
            "This operation is not permitted while the disc is playing, click stop first ");
    case DvdDomain::kStop:
        return QStringLiteral(
            "This operation is not permitted while the disc is stopped, click play first ");
    default:
        return QString();
    }
}

void PlayDisc()
{
    const auto error = trapFirstError([] {
        showVideoWindow();
        dvdControl()->Play();
        playerState().paused = false;
    });
    if (error)
        ReportPlayFailure(error->number(), error->description());
}

void ReportPlayFailure(int number, const QString &description)
{
    switch (number) {
    case ErrorNumbers::kDecoderFailed:
        ShowMessage(description + QStringLiteral(" You should try to reinstall the DVD decoders."));
        openDecoderSettings();
        break;
    case ErrorNumbers::kDecoderMissing:
        ShowMessage(description +
                    QStringLiteral(
                        "\r\nInstall the software DVD decoders available with this DVD player."));
        openDecoderSettings();
        break;
    case 0:
        break;
    default:
        ShowMessage(description + QStringLiteral("\r\nERR.NO: ") + QString::number(number));
        break;
    }
}

void StopDisc()
{
    IgnoreErrors steps;
    steps.step([] { ContinueWatching::leave(dvdControl()); });
    steps.step([] { dvdControl()->Stop(); });
    steps.step([] {
        frmNMain *bar = form<frmNMain>();
        bar->imgDVDlogo->hide();
        for (QLabel *label : {bar->lblTime, bar->lblLan, bar->lblChap, bar->St, bar->lblDVDtit})
            label->setText(QString());
    });
    playerState().databaseWindowShown = false;
    playerState().paused = false;
    steps.step([] { DvdNotify::describeVideoWindow(*form<DVD>(), true); });
    steps.step([] { form<frmNMain>()->setWindowTitle(Version::programTitle()); });
    playerState().discName = QStringLiteral("None");
    if (isLoaded<frmSettings>())
        form<frmSettings>()->showDiscName();
}

void NextChapter()
{
    inTitle(&DvdControl::PlayNextChapter);
}

void PreviousChapter()
{
    inTitle(&DvdControl::PlayPrevChapter);
}

void ShowRootMenu()
{
    showMenu(DvdMenu::kRoot);
}

void ShowTitleMenu()
{
    showMenu(DvdMenu::kTitle);
}

void ShowAudioMenu()
{
    showMenu(DvdMenu::kAudio);
}

void ShowAngleMenu()
{
    showMenu(DvdMenu::kAngle);
}

void ShowChapterMenu()
{
    showMenu(DvdMenu::kChapter);
}

void ShowSubpictureMenu()
{
    showMenu(DvdMenu::kSubpicture);
}

void ResumeFromMenu()
{
    outsideFirstPlayAndStop([] { dvdControl()->Resume(); });
}

void MenuLeft()
{
    inMenu(&DvdControl::SelectLeftButton);
}

void MenuRight()
{
    inMenu(&DvdControl::SelectRightButton);
}

void MenuUp()
{
    inMenu(&DvdControl::SelectUpperButton);
}

void MenuDown()
{
    inMenu(&DvdControl::SelectLowerButton);
}

void MenuActivate()
{
    inMenu(&DvdControl::ActivateButton);
}

void CallDomain()
{
    ShowMessage(domainRefusal(dvdControl()->CurrentDomain()));
}

} // namespace Functions
