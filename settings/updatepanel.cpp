#include "settings/updatepanel.h"

#include "core/module2.h"
#include "platform/desktop.h"
#include "settings/settingspage.h"
#include "settings/updatecheck.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

UpdatePanel::UpdatePanel(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SettingsPage::wrappedLabel(
        QStringLiteral("From here you can search for updates or new versions of this program."),
        this));
    auto *welcome = new QLabel(QStringLiteral("Welcome!"), this);
    QFont bold = welcome->font();
    bold.setBold(true);
    welcome->setFont(bold);
    layout->addWidget(welcome);
    layout->addWidget(SettingsPage::wrappedLabel(
        QStringLiteral("Please verify that you are connected with the internet and click SEARCH."),
        this));
    statUs = new QLabel(QStringLiteral("-------------------------------"), this);
    statUs->setObjectName(QStringLiteral("statUs"));
    statUs->setAlignment(Qt::AlignCenter);
    statUs->setFrameShape(QFrame::Panel);
    statUs->setFrameShadow(QFrame::Sunken);
    statUs->setMinimumHeight(24);
    layout->addWidget(statUs);
    skinButton16 = SettingsPage::button(this, "skinButton16", QStringLiteral("Search"));
    layout->addWidget(skinButton16, 0, Qt::AlignHCenter);
    layout->addStretch();

    inet = new Inet(this);
    connect(skinButton16, &skinButton::Click, this, &UpdatePanel::skinButton16_Click);
    connect(inet, &Inet::StateChanged, this, &UpdatePanel::Inet_StateChanged);
    connect(inet, &Inet::failed, this,
            [](const QString &description) { ShowMessage(description); });
}

void UpdatePanel::skinButton16_Click()
{
    statUs->setText(QStringLiteral("Connecting..."));
    inet->OpenURL(UpdateServer::documentAddress());
}

void UpdatePanel::Inet_StateChanged(int state)
{
    switch (state) {
    case Inet::kConnected:
        statUs->setText(QStringLiteral("Connected"));
        break;
    case Inet::kReceiving:
        statUs->setText(QStringLiteral("Searching..."));
        break;
    case Inet::kResponseCompleted:
        statUs->setText(QStringLiteral("Done"));
        DATAgiven = inet->text();
        showUpdateResult();
        break;
    case Inet::kError:
        statUs->setText(QStringLiteral("- Connection Error -"));
        ShowMessage(QStringLiteral(
            "Connection Error\r\n\r\nThere has been an error while the program was trying to "
            "connect with the server to check for updates or upgrades for the program. Please "
            "verify that you are connected to  the internet and then try again."));
        break;
    default:
        break;
    }
}

void UpdatePanel::showUpdateResult()
{
    const UpdateReply::Verdict verdict = UpdateReply::evaluate(DATAgiven);
    switch (verdict.result) {
    case UpdateReply::Result::NewUpdate:
        statUs->setText(QStringLiteral("New update(s)"));
        QApplication::processEvents();
        ShowMessage(QStringLiteral("New updates\r\n\r\nThere are new updates or upgrades. A "
                                   "browser window will open and navigate you to the web page for "
                                   "downloading the update or upgrade. If there is any error you "
                                   "can navigate with your browser to ") +
                    verdict.address + QStringLiteral(" to find the update or upgrade."));
        Desktop::openDocument(verdict.address);
        QApplication::processEvents();
        break;
    case UpdateReply::Result::NoUpdate:
        statUs->setText(QStringLiteral("No new update"));
        QApplication::processEvents();
        ShowMessage(QStringLiteral("No new updates\r\n\r\nThere are no new updates or upgrades for "
                                   "the program. Please search for updates in a later time."));
        break;
    case UpdateReply::Result::NoInformation:
        QApplication::processEvents();
        statUs->setText(QStringLiteral("No Information found"));
        break;
    }
}
