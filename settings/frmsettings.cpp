#include "settings/frmsettings.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/version.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/appdirs.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/units.h"
#include "platform/windows1252.h"
#include "settings/databasepath.h"
#include "settings/decoderinfo.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "settings/updatecheck.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace
{

using namespace SettingsKeys;

constexpr int kButtonStyle = 5;
constexpr int32_t kButtonBack = 0x404040;
constexpr int32_t kButtonText = 0xFFFFFF;
constexpr int32_t kButtonOver = 0xC0C0C0;
constexpr int kTimerMs = 200;
const QString kSchemeFilter = QStringLiteral("Vidora color scheme (*.cfx)");
const QString kNotAScheme =
    QStringLiteral("The selected file is not a valid KORVANE Vidora 2.2 color scheme.");

// A label that answers a left click, for the download link.
class LinkLabel : public QLabel
{
public:
    LinkLabel(const QString &text, QWidget *parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            onClick_();
    }

private:
    std::function<void()> onClick_;
};

// A swatch shows its colour; its "..." stays readable on any of them.
void showSwatch(skinButton *swatch, int32_t color)
{
    swatch->setBackColor(color);
    const int32_t caption = qGray(fromColorRef(color).rgb()) > 140 ? 0x000000 : 0xFFFFFF;
    swatch->setForeColor(caption);
    swatch->setForeOver(caption);
}

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit *infoBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(QStringLiteral("None"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
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

QString numberAndDescription(const AppError &error)
{
    return QString::number(error.number()) + QStringLiteral("\r\n") + error.description();
}

// Replaces the file whole; a folder, pipe or device in its place is left alone.
void writeBatchFile(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        throw AppError(ErrorNumbers::kFileError, QStringLiteral("\"%1\": not a file").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("\"%1\": %2").arg(path, file.errorString()));
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
    Tab->addTab(buildColorsTab(), QStringLiteral("Colors"));
    Tab->addTab(buildDatabaseTab(), QStringLiteral("DVD database"));
    Tab->addTab(buildUpdateTab(), QStringLiteral("Update"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Tab);
    inet = new Inet(this);
    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerMs);
    connectHandlers();
    resize(sizeHint().expandedTo(QSize(560, 400)));
}

skinButton *frmSettings::addButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new skinButton(parent, QString::fromLatin1(name));
    button->setButtonType(kButtonStyle);
    button->setColorScheme(ColorSchemes::kOwn);
    button->setBackColor(kButtonBack);
    button->setForeColor(kButtonText);
    button->setForeOver(kButtonOver);
    button->setShowFocusRect(false);
    button->setCaption(caption);
    const int width = button->fontMetrics().horizontalAdvance(caption) + 28;
    button->setMinimumSize(std::max(width, 80), 26);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
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
    layout->addWidget(wrappedLabel(
        QStringLiteral("Click to change the drive's DVD region.    <Be sure that a DVD disc is "
                       "already in the DVD-ROM drive before clicking the button>"),
        page));
    skinButton4 = addButton(page, "skinButton4", QStringLiteral("Change Region"));
    layout->addWidget(skinButton4);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("The DVD decoders include:"), page));
    lblDecoders = wrappedLabel(DecoderInfo::description(), page);
    lblDecoders->setObjectName(QStringLiteral("lblDecoders"));
    lblDecoders->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblDecoders);
    auto *row = new QHBoxLayout();
    skinButton14 = addButton(page, "skinButton14", QStringLiteral("Install DVD decoders"));
    skinButton15 = addButton(page, "skinButton15", QStringLiteral("Uninstall DVD decoders"));
    row->addWidget(skinButton14);
    row->addWidget(skinButton15);
    row->addStretch();
    layout->addLayout(row);
    lblQuote = new QLabel(QStringLiteral("\""), page);
    lblQuote->hide();
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
    for (QCheckBox *box : {Ch, Ch2, Check3})
        layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget *frmSettings::buildColorsTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *grid = new QGridLayout();
    const struct {
        skinButton **swatch;
        const char *name;
        const char *label;
    } rows[] = {
        {&skinButton1, "skinButton1", "Background color:"},
        {&skinButton8, "skinButton8", "Buttons mouse over:"},
        {&skinButton7, "skinButton7", "Buttons back color:"},
        {&skinButton2, "skinButton2", "Buttons fore color:"},
        {&skinButton3, "skinButton3", "Display Back color:"},
        {&skinButton9, "skinButton9", "Display Fore color:"},
    };
    for (int index = 0; index < 6; ++index) {
        const auto &row = rows[index];
        *row.swatch = addButton(page, row.name, QStringLiteral("..."));
        showSwatch(*row.swatch, SchemeColors::kDesignColor);
        (*row.swatch)->setMinimumSize(40, 24);
        const int column = (index / 3) * 2;
        auto *label = new QLabel(QString::fromLatin1(row.label), page);
        label->setBuddy(*row.swatch);
        grid->addWidget(label, index % 3, column);
        grid->addWidget(*row.swatch, index % 3, column + 1);
    }
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid);

    auto *names = new QFormLayout();
    txtName = new QLineEdit(page);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtCreator = new QLineEdit(page);
    txtCreator->setObjectName(QStringLiteral("txtCreator"));
    names->addRow(QStringLiteral("Scheme Name"), txtName);
    names->addRow(QStringLiteral("Scheme Creator"), txtCreator);
    layout->addLayout(names);

    auto *store = new QHBoxLayout();
    skinButton5 = addButton(page, "skinButton5", QStringLiteral("Apply"));
    skinButton6 = addButton(page, "skinButton6", QStringLiteral("Save"));
    skinButton12 = addButton(page, "skinButton12", QStringLiteral("Default color scheme"));
    for (skinButton *button : {skinButton5, skinButton6, skinButton12})
        store->addWidget(button);
    store->addStretch();
    layout->addLayout(store);
    auto *files = new QHBoxLayout();
    skinButton10 = addButton(page, "skinButton10", QStringLiteral("Save color scheme"));
    skinButton11 = addButton(page, "skinButton11", QStringLiteral("Load color scheme"));
    files->addWidget(skinButton10);
    files->addWidget(skinButton11);
    files->addStretch();
    layout->addLayout(files);
    lblDownCS = new LinkLabel(QStringLiteral("Download New Color schemes Now!"), page,
                              [this] { lblDownCS_Click(); });
    lblDownCS->setObjectName(QStringLiteral("lblDownCS"));
    layout->addWidget(lblDownCS);
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
    skinButton13 = addButton(page, "skinButton13", QStringLiteral("Save"));
    layout->addWidget(skinButton13);
    layout->addStretch();
    return page;
}

QWidget *frmSettings::buildUpdateTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(wrappedLabel(
        QStringLiteral("From here you can search for updates or new versions of this program."),
        page));
    auto *welcome = new QLabel(QStringLiteral("Welcome!"), page);
    QFont bold = welcome->font();
    bold.setBold(true);
    welcome->setFont(bold);
    layout->addWidget(welcome);
    layout->addWidget(wrappedLabel(QStringLiteral("Please verify that you are connected with the "
                                                  "internet and click SEARCH."),
                                   page));
    statUs = new QLabel(QStringLiteral("-------------------------------"), page);
    statUs->setObjectName(QStringLiteral("statUs"));
    statUs->setAlignment(Qt::AlignCenter);
    statUs->setFrameShape(QFrame::Panel);
    statUs->setFrameShadow(QFrame::Sunken);
    statUs->setMinimumHeight(24);
    layout->addWidget(statUs);
    skinButton16 = addButton(page, "skinButton16", QStringLiteral("Search"));
    layout->addWidget(skinButton16, 0, Qt::AlignHCenter);
    layout->addStretch();
    return page;
}

void frmSettings::connectHandlers()
{
    connect(Ch, &QCheckBox::toggled, this, [this] { playerOption_Click(Ch, kAutoBookmark); });
    connect(Ch2, &QCheckBox::toggled, this, [this] { playerOption_Click(Ch2, kPlayAtStart); });
    connect(Check3, &QCheckBox::toggled, this, [this] { playerOption_Click(Check3, kFullScreen); });
    for (skinButton *swatch : swatches())
        connect(swatch, &skinButton::Click, this, [this, swatch] { swatch_Click(swatch); });
    connect(skinButton4, &skinButton::Click, this, &frmSettings::skinButton4_Click);
    connect(skinButton14, &skinButton::Click, this, [this] { decoders_Click(true); });
    connect(skinButton15, &skinButton::Click, this, [this] { decoders_Click(false); });
    connect(skinButton5, &skinButton::Click, this, &frmSettings::skinButton5_Click);
    connect(skinButton6, &skinButton::Click, this, &frmSettings::skinButton6_Click);
    connect(skinButton10, &skinButton::Click, this, &frmSettings::skinButton10_Click);
    connect(skinButton11, &skinButton::Click, this, &frmSettings::skinButton11_Click);
    connect(skinButton12, &skinButton::Click, this, &frmSettings::skinButton12_Click);
    connect(skinButton13, &skinButton::Click, this, &frmSettings::skinButton13_Click);
    connect(skinButton16, &skinButton::Click, this, &frmSettings::skinButton16_Click);
    connect(inet, &Inet::StateChanged, this, &frmSettings::Inet_StateChanged);
    connect(inet, &Inet::failed, this,
            [](const QString &description) { ShowMessage(description); });
    connect(Timer1, &QTimer::timeout, this, &frmSettings::Timer1_Timer);
}

std::array<skinButton *, 6> frmSettings::swatches() const
{
    return {skinButton1, skinButton8, skinButton7, skinButton2, skinButton3, skinButton9};
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
    steps.step([&] { showStoredScheme(); });
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
    Timer1->start();
    if (steps.lastError())
        ShowMessage(steps.lastError()->description());
}

void frmSettings::fillDiscInfo()
{
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

void frmSettings::showStoredScheme()
{
    if (!ColorScheme::isSchemeStored()) {
        txtName->setText(QStringLiteral("Default"));
        txtCreator->setText(QStringLiteral("KORVANE"));
        return;
    }
    const SchemeColors scheme = ColorScheme::readStored();
    const auto colors = scheme.colors();
    for (size_t index = 0; index < colors.size(); ++index)
        showSwatch(swatches()[index], colors[index]);
    txtName->setText(scheme.Name);
    txtCreator->setText(scheme.Creator);
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
    form<frmMain>()->DVDdbDir = Text8->text();
}

// Closing destroys the window; the registry forgets it once it is gone.
void frmSettings::closeWindow()
{
    Timer1->stop();
    close();
}

SchemeColors frmSettings::editedScheme() const
{
    SchemeColors scheme;
    const auto buttons = swatches();
    for (size_t index = 0; index < buttons.size(); ++index)
        scheme.setColor(int(index), buttons[index]->BackColor());
    scheme.Name = txtName->text();
    scheme.Creator = txtCreator->text();
    return scheme;
}

void frmSettings::playerOption_Click(QCheckBox *box, const char *key)
{
    IgnoreErrors steps;
    steps.step([&] {
        writeSetting(kPlayer, kSaveSection, key,
                     box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

// A cancelled dialog leaves the swatch as it was.
void frmSettings::swatch_Click(skinButton *swatch)
{
    const auto chosen = Dialogs::current().color(this, fromColorRef(swatch->BackColor()));
    QApplication::processEvents();
    if (chosen)
        showSwatch(swatch, toColorRef(*chosen));
}

void frmSettings::skinButton4_Click()
{
    if (const auto failure = trapFirstError([] { dvdControl()->ChangeRegion(); }))
        ShowMessage(failure->description());
}

QByteArray frmSettings::decoderBatch(const QString &directory, bool install)
{
    const QString quote = QStringLiteral("\"");
    QStringList lines = {QStringLiteral("cd ") + quote + directory + quote};
    if (install)
        lines << QStringLiteral("regsvr32 MPG2AUDIO.AX") << QStringLiteral("regsvr32 MPG2VIDEO.AX");
    else
        lines << QStringLiteral("regsvr32 /u MPG2AUDIO.AX")
              << QStringLiteral("regsvr32 /u MPG2VIDEO.AX");
    lines << QStringLiteral("exit");
    return Windows1252::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void frmSettings::decoders_Click(bool install)
{
    IgnoreErrors steps;
    const QString name =
        install ? QStringLiteral("installdecoders") : QStringLiteral("uninstalldecoders");
    const QString directory = AppDirs::programDirectory();
    const QString path = directory + QStringLiteral("/") + name + QStringLiteral(".bat");
    steps.step([&] {
        ShowMessage(install
                        ? QStringLiteral("If the installation of both decoders was successful "
                                         "you will get two message boxes informing the "
                                         "success.")
                        : QStringLiteral("If the uninstallation of both decoders was successful "
                                         "you will get two message boxes informing the "
                                         "success."));
    });
    bool written = false;
    steps.step([&] {
        writeBatchFile(path, decoderBatch(directory, install));
        written = true;
    });
    if (written)
        Desktop::runBatchFile(path);
}

// Events run after the first two writes, then the control bar takes the new
// colours. A failed write keeps the window open with the edits.
bool frmSettings::ColorSave()
{
    if (const auto failure = trapFirstError([&] { ColorScheme::store(editedScheme()); })) {
        ShowMessage(failure->description());
        return false;
    }
    QApplication::processEvents();
    if (isLoaded<frmNMain>())
        form<frmNMain>()->ColorRendering();
    return true;
}

void frmSettings::skinButton5_Click()
{
    ColorSave();
}

void frmSettings::skinButton6_Click()
{
    if (ColorSave())
        closeWindow();
}

void frmSettings::skinButton10_Click()
{
    const QString fileName = Dialogs::current().saveFileName(
        this, QStringLiteral("Save color scheme"), QString(), kSchemeFilter);
    if (const auto failure =
            trapFirstError([&] { ColorScheme::writeFile(fileName, editedScheme()); })) {
        ShowMessage(failure->number() == ErrorNumbers::kFileError ? numberAndDescription(*failure)
                                                                  : failure->description());
    }
}

void frmSettings::skinButton11_Click()
{
    ColorLoad(Dialogs::current().openFileName(this, QStringLiteral("Load color scheme"), QString(),
                                              kSchemeFilter));
}

// A cancelled dialog (no name) says nothing; the colours before a line that
// is not a number keep their new values.
void frmSettings::ColorLoad(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    ColorScheme::FileContent content;
    if (const auto failure = trapFirstError([&] { content = ColorScheme::readFile(fileName); })) {
        ShowMessage(numberAndDescription(*failure));
        return;
    }
    using Outcome = ColorScheme::FileContent::Outcome;
    if (content.outcome == Outcome::NotAScheme) {
        ShowMessage(kNotAScheme);
        return;
    }
    for (qsizetype index = 0; index < content.colors.size(); ++index)
        showSwatch(swatches()[size_t(index)], content.colors[index]);
    if (content.outcome == Outcome::BadColor) {
        ShowMessage(numberAndDescription(
            AppError(ErrorNumbers::kInvalidArgument,
                     QStringLiteral("Type mismatch: the color \"%1\" is not a number.")
                         .arg(content.badLine))));
        return;
    }
    txtName->setText(content.Name);
    txtCreator->setText(content.Creator);
    ShowMessage(
        QStringLiteral("You must select APPLY or SAVE to activate the loaded color scheme."));
}

void frmSettings::OpenSchemeFile(const QString &fileName)
{
    show();
    Tab->setCurrentIndex(kColorsTab);
    ColorLoad(fileName);
}

void frmSettings::skinButton12_Click()
{
    const bool yes = Dialogs::current().askYesNo(
        this, Version::programTitle(),
        QStringLiteral("Are you sure that you want to restore the default color scheme? All your "
                       "color settings will be lost. Please make sure to save your current color "
                       "scheme befor clicking the YES button."));
    if (!yes)
        return;
    if (const auto failure = trapFirstError([] { ColorScheme::storeDefault(); })) {
        ShowMessage(failure->description());
        return;
    }
    ShowMessage(QStringLiteral("You must restart Vidora to restore the default color scheme."));
    closeWindow();
}

QString frmSettings::schemeDownloadAddress()
{
    return QStringLiteral("https://www.korvane.example/vidora/colorschemes/");
}

void frmSettings::lblDownCS_Click()
{
    if (!Desktop::openDocument(schemeDownloadAddress()))
        ShowMessage(QStringLiteral("An error has occured while trying to connect to the "
                                   "internet\r\nPlease ensure that your internet connection is "
                                   "functioning correctly and try again."));
}

void frmSettings::skinButton13_Click()
{
    IgnoreErrors steps;
    const QString directory = DatabasePath::withTrailingSeparator(Text8->text());
    steps.step([&] { form<frmMain>()->DVDdbDir = directory; });
    steps.step([&] { writeSetting(kDatabase, kDatabaseSection, kDatabasePath, directory); });
    steps.step([&] {
        writeSetting(kDatabase, kDatabaseSection, kAddNew,
                     Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
    steps.step([&] {
        writeSetting(kDatabase, kDatabaseSection, kShowInfo,
                     Check2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
    closeWindow();
}

void frmSettings::skinButton16_Click()
{
    statUs->setText(QStringLiteral("Connecting..."));
    inet->OpenURL(UpdateServer::documentAddress());
}

void frmSettings::Inet_StateChanged(int state)
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

void frmSettings::showUpdateResult()
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

// Looking at the menu host loads it on the first tick; nothing else here
// needs refreshing.
void frmSettings::Timer1_Timer()
{
    IgnoreErrors steps;
    steps.step([] { form<frmMain>()->menus(); });
}
