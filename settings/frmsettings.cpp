#include "settings/frmsettings.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/playerstate.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/databasepath.h"
#include "settings/decoderinfo.h"
#include "settings/decoderregistration.h"
#include "settings/schemeeditor.h"
#include "settings/settingskeys.h"
#include "settings/settingspage.h"
#include "settings/settingsstore.h"
#include "settings/updatepanel.h"
#include "surfaces/frmmain.h"
#include "widgets/readonlybox.h"
#include "widgets/skinbutton.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace
{

using namespace SettingsKeys;

constexpr int kTimerMs = 200;

QLineEdit *infoBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(QStringLiteral("None"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    showTextFromItsStart(box);
    return box;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QString readSetting(const char *application, const char *section, const char *key,
                    const QString &defaultValue)
{
    return SettingsStore::Read(QString::fromLatin1(application), QString::fromLatin1(section),
                               QString::fromLatin1(key), defaultValue);
}

void writeSetting(const char *application, const char *section, const char *key,
                  const QString &value)
{
    SettingsStore::Write(QString::fromLatin1(application), QString::fromLatin1(section),
                         QString::fromLatin1(key), value);
}

} // namespace

frmSettings::frmSettings() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmSettings"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: Settings"));
    Tab = new QTabWidget(this);
    Tab->setObjectName(QStringLiteral("Tab"));
    Tab->addTab(buildInfoTab(), QStringLiteral("DVD info"));
    Tab->addTab(buildRegionTab(), QStringLiteral("Region/Decoders"));
    Tab->addTab(buildPlayerTab(), QStringLiteral("Player"));
    schemeEditor = new SchemeEditor(this);
    Tab->addTab(schemeEditor, QStringLiteral("Colors"));
    Tab->addTab(buildDatabaseTab(), QStringLiteral("DVD database"));
    updatePanel = new UpdatePanel(this);
    Tab->addTab(updatePanel, QStringLiteral("Update"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Tab);
    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerMs);
    connectHandlers();
    resize(sizeHint().expandedTo(QSize(560, 400)));
}

QWidget *frmSettings::buildInfoTab()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    DVDname = infoBox(page, "DVDname");
    Text1 = infoBox(page, "Text1");
    Text2 = infoBox(page, "Text2");
    Text3 = infoBox(page, "Text3");
    Text4 = infoBox(page, "Text4");
    Text5 = infoBox(page, "Text5");
    Text6 = infoBox(page, "Text6");
    Text7 = infoBox(page, "Text7");
    form->addRow(QStringLiteral("DVD Name: "), DVDname);
    form->addRow(QStringLiteral("DVD Unique Number: "), Text1);
    form->addRow(QStringLiteral("Available Audio Streams: "), Text2);
    form->addRow(QStringLiteral("Available Angles: "), Text3);
    form->addRow(QStringLiteral("Available Subtitles:"), Text4);
    form->addRow(QStringLiteral("DVD Directory:"), Text5);
    form->addRow(QStringLiteral("Disk Side:"), Text6);
    form->addRow(QStringLiteral("Frames Per Second:"), Text7);
    return page;
}

QWidget *frmSettings::buildRegionTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(SettingsPage::wrappedLabel(
        QStringLiteral("Click to change the drive's DVD region.    <Be sure that a DVD disc is "
                       "already in the DVD-ROM drive before clicking the button>"),
        page));
    skinButton4 = SettingsPage::button(page, "skinButton4", QStringLiteral("Change Region"));
    layout->addWidget(skinButton4);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("The DVD decoders include:"), page));
    lblDecoders = SettingsPage::wrappedLabel(DecoderInfo::description(), page);
    lblDecoders->setObjectName(QStringLiteral("lblDecoders"));
    lblDecoders->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblDecoders);
    auto *row = new QHBoxLayout();
    skinButton14 =
        SettingsPage::button(page, "skinButton14", QStringLiteral("Install DVD decoders"));
    skinButton15 =
        SettingsPage::button(page, "skinButton15", QStringLiteral("Uninstall DVD decoders"));
    row->addWidget(skinButton14);
    row->addWidget(skinButton15);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

QWidget *frmSettings::buildPlayerTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    Ch = checkBox(page, "Ch",
                  QStringLiteral("Save Bookmark automatically at the closing of the program"));
    Ch2 = checkBox(page, "Ch2", QStringLiteral("Play the DVD at the start-up of the program"));
    Check3 = checkBox(page, "Check3", QStringLiteral("Play in Full-Screen"));
    chkContinue = checkBox(page, "chkContinue",
                           QStringLiteral("Continue each disc where I left it"));
    for (QCheckBox *box : {Ch, Ch2, Check3, chkContinue})
        layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget *frmSettings::buildDatabaseTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *folderLabel = new QLabel(QStringLiteral("Set DVD database directory:"), page);
    layout->addWidget(folderLabel);
    Text8 = new QLineEdit(page);
    Text8->setObjectName(QStringLiteral("Text8"));
    folderLabel->setBuddy(Text8);
    layout->addWidget(Text8);
    Check1 = checkBox(
        page, "Check1",
        QStringLiteral("When an unknown DVD is entered prompt for adding it in the database"));
    Check2 = checkBox(
        page, "Check2",
        QStringLiteral("When a known DVD is entered display the saved data from the database"));
    layout->addWidget(Check1);
    layout->addWidget(Check2);
    skinButton13 = SettingsPage::button(page, "skinButton13", QStringLiteral("Save"));
    layout->addWidget(skinButton13);
    layout->addStretch();
    return page;
}

void frmSettings::connectHandlers()
{
    connect(Ch, &QCheckBox::toggled, this, [this] { playerOption_Click(Ch, kAutoBookmark); });
    connect(Ch2, &QCheckBox::toggled, this, [this] { playerOption_Click(Ch2, kPlayAtStart); });
    connect(Check3, &QCheckBox::toggled, this, [this] { playerOption_Click(Check3, kFullScreen); });
    connect(chkContinue, &QCheckBox::toggled, this,
            [this] { playerOption_Click(chkContinue, kContinueDiscs); });
    connect(skinButton4, &skinButton::Click, this, &frmSettings::skinButton4_Click);
    connect(skinButton14, &skinButton::Click, this, [] { DecoderRegistration::run(true); });
    connect(skinButton15, &skinButton::Click, this, [] { DecoderRegistration::run(false); });
    connect(skinButton13, &skinButton::Click, this, &frmSettings::skinButton13_Click);
    connect(schemeEditor, &SchemeEditor::finished, this, &frmSettings::closeWindow);
    connect(Timer1, &QTimer::timeout, this, &frmSettings::Timer1_Timer);
}

// Every step on its own. The disc boxes keep "None" when the control has no
// disc to tell about: that is no failure worth a message.
void frmSettings::Form_Load()
{
    IgnoreErrors steps;
    steps.step([&] { Tab->setCurrentIndex(0); });
    fillDiscInfo();
    steps.step([&] {
        Ch->setChecked(readSetting(kPlayer, kSaveSection, kAutoBookmark, QString()) ==
                       QLatin1String("1"));
    });
    steps.step([&] {
        Ch2->setChecked(readSetting(kPlayer, kSaveSection, kPlayAtStart, QString()) ==
                        QLatin1String("1"));
    });
    steps.step([&] { schemeEditor->showStoredScheme(); });
    steps.step([&] { showDatabasePath(); });
    steps.step([&] {
        Check1->setChecked(readSetting(kDatabase, kDatabaseSection, kAddNew, QStringLiteral("0")) !=
                           QLatin1String("0"));
    });
    steps.step([&] {
        Check2->setChecked(readSetting(kDatabase, kDatabaseSection, kShowInfo,
                                       QStringLiteral("0")) != QLatin1String("0"));
    });
    steps.step([&] {
        Check3->setChecked(readSetting(kPlayer, kSaveSection, kFullScreen, QStringLiteral("0")) !=
                           QLatin1String("0"));
    });
    steps.step([&] {
        chkContinue->setChecked(readSetting(kPlayer, kSaveSection, kContinueDiscs,
                                            QStringLiteral("1")) != QLatin1String("0"));
    });
    Timer1->start();
    if (steps.lastError())
        ShowMessage(steps.lastError()->description());
}

void frmSettings::showDiscName()
{
    DVDname->setText(playerState().discName);
}

void frmSettings::fillDiscInfo()
{
    showDiscName();
    IgnoreErrors steps;
    const auto show = [&](QLineEdit *box, const std::function<QString(DvdControl *)> &read) {
        steps.step([&] { box->setText(read(dvdControl())); });
    };
    show(Text1, [](DvdControl *c) { return c->DiscUniqueId(); });
    show(Text2, [](DvdControl *c) { return QString::number(c->AudioStreamsAvailable()); });
    show(Text3, [](DvdControl *c) { return QString::number(c->AnglesAvailable()); });
    show(Text4, [](DvdControl *c) { return QString::number(c->SubpictureStreamsAvailable()); });
    show(Text5, [](DvdControl *c) { return c->DVDDirectory(); });
    show(Text6, [](DvdControl *c) { return QString::number(c->CurrentDiscSide()); });
    show(Text7, [](DvdControl *c) { return QString::number(c->FramesPerSecond()); });
}

void frmSettings::showDatabasePath()
{
    const QString stored =
        readSetting(kDatabase, kDatabaseSection, kDatabasePath, QStringLiteral("0"));
    if (stored == QLatin1String("0")) {
        Text8->setText(DatabasePath::defaultDirectory());
        writeSetting(kDatabase, kDatabaseSection, kDatabasePath, Text8->text());
    } else {
        Text8->setText(stored);
    }
}

// Closing destroys the window; the registry forgets it once it is gone.
void frmSettings::closeWindow()
{
    Timer1->stop();
    close();
}

void frmSettings::playerOption_Click(QCheckBox *box, const char *key)
{
    IgnoreErrors steps;
    steps.step([&] {
        writeSetting(kPlayer, kSaveSection, key,
                     box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

void frmSettings::skinButton4_Click()
{
    if (const auto failure = trapFirstError([] { dvdControl()->ChangeRegion(); }))
        ShowMessage(failure->description());
}

void frmSettings::OpenSchemeFile(const QString &fileName)
{
    show();
    Tab->setCurrentIndex(kColorsTab);
    schemeEditor->ColorLoad(fileName);
}

void frmSettings::skinButton13_Click()
{
    IgnoreErrors steps;
    const QString directory = DatabasePath::withTrailingSeparator(Text8->text());
    playerState().databaseFolder = directory;
    steps.step([&] { writeSetting(kDatabase, kDatabaseSection, kDatabasePath, directory); });
    steps.step([&] {
        writeSetting(kDatabase, kDatabaseSection, kAddNew,
                     Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
    steps.step([&] {
        writeSetting(kDatabase, kDatabaseSection, kShowInfo,
                     Check2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
    // As on the colour tab, settings that were not written keep the window open.
    if (const auto &failure = steps.lastError()) {
        ShowMessage(failure->description());
        return;
    }
    closeWindow();
}

// Looking at the menu host loads it on the first tick; nothing else here
// needs refreshing.
void frmSettings::Timer1_Timer()
{
    IgnoreErrors steps;
    steps.step([] { form<frmMain>()->menus(); });
}
