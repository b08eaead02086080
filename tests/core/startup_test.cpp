#include "coretest.h"

#include "core/frmabout.h"
#include "core/startup.h"
#include "support/addresscatcher.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QUrl>

using StartupTest = CoreTest;

TEST_F(StartupTest, MainShowsTheControlBarThreeQuartersDownTheScreenCentred)
{
    Main();
    frmNMain *bar = form<frmNMain>();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->y(), screen.top() + qRound(screen.height() * 0.75));
    EXPECT_EQ(bar->x(), screen.left() + qRound(screen.width() / 2.0 - bar->width() / 2.0));
}

TEST_F(StartupTest, TheAboutWindowNamesTheVersionAndOpensTheMakersAddresses)
{
    AddressCatcher catcher({"https", "mailto"});
    frmAbout *about = form<frmAbout>();
    EXPECT_EQ(about->lblVersion->text(), "Version 2.3.0");
    emit about->btnWeb->Click();
    emit about->btnMail->Click();
    EXPECT_EQ(catcher.opened(),
              QStringList({"https://www.korvane.example/", "mailto:vidora@korvane.example"}));

    emit about->btnOK->Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(isLoaded<frmAbout>());
}

TEST_F(StartupTest, TheAboutWindowKeepsItsOwnLookUnderAScheme)
{
    SettingsStore::Write(SettingsKeys::kPlayer, SettingsKeys::kColorsSection,
                         SettingsKeys::kBackColor, "255"); // red, as 0x00BBGGRR
    SettingsStore::Write(SettingsKeys::kPlayer, SettingsKeys::kColorsSection,
                         SettingsKeys::kButtonBackColor, "0");
    frmAbout *about = form<frmAbout>();
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(about->lblName->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(about->btnOK->BackColor(), 0x404040);
}
