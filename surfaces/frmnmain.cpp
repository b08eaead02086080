#include "surfaces/frmnmain.h"

#include "base/errors.h"
#include "core/bookmarks.h"
#include "core/dvd.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerkeys.h"
#include "core/version.h"
#include "dvddb/frmdvddb.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/units.h"
#include "platform/windowshape.h"
#include "settings/colorrendering.h"
#include "settings/databasepath.h"
#include "settings/frmsettings.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "surfaces/commandline.h"
#include "surfaces/displaylabel.h"
#include "surfaces/frmmain.h"
#include "surfaces/makeregion.h"
#include "surfaces/skin.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace
{

constexpr int32_t kTransparent = 0xC0C0C0;
constexpr int32_t kBackColor = 0x404040;
constexpr int32_t kDisplayFill = 0xFFC0C0;
constexpr int32_t kStatusColor = 0x808080;
constexpr int32_t kDisplayText = 0x000000;
constexpr int32_t kButtonBack = 0x404040;
constexpr int32_t kButtonText = 0xFFFFFF;
constexpr int32_t kButtonOver = 0xC0C0C0;
constexpr int32_t kPreviousOver = 0x808080;
constexpr int32_t kScanBack = 0xFFC0C0;
constexpr int32_t kScanText = 0xFFFFFF;
constexpr int32_t kScanOver = 0x000000;
constexpr int kStyleHoverBevel = 8;
const QString kWebdings = QStringLiteral("Webdings");
const QString kWingdings = QStringLiteral("Wingdings");
const QString kSansSerif = QStringLiteral("MS Sans Serif");

QColor shaded(const QColor &color, int delta)
{
    return QColor(std::clamp(color.red() + delta, 0, 255),
                  std::clamp(color.green() + delta, 0, 255),
                  std::clamp(color.blue() + delta, 0, 255));
}

void setBackground(QWidget *widget, int32_t color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, fromColorRef(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setForeground(QWidget *widget, int32_t color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, fromColorRef(color));
    widget->setPalette(palette);
}

// The display area: a filled rectangle with a thin dark border, drawn under
// the labels.
class DisplayShape : public QWidget
{
public:
    explicit DisplayShape(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Shape1"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor fill = palette().color(QPalette::Window);
        p.fillRect(rect(), fill);
        p.setPen(shaded(fill, -96));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

bool videoWindowVisible()
{
    return isLoaded<DVD>() && form<DVD>()->isVisible();
}

// A window button opens its window, or closes it when it is showing.
template <typename Window> void toggleWindow()
{
    IgnoreErrors steps;
    steps.step([] {
        if (isLoaded<Window>() && form<Window>()->isVisible())
            unload<Window>();
        else
            form<Window>()->show();
    });
}

QLabel *displayLabel(QWidget *parent, const char *name, const QString &caption, const QRect &at,
                     Qt::Alignment alignment)
{
    auto *label = new DisplayLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(at);
    label->setAlignment(alignment);
    return label;
}

} // namespace

frmNMain::frmNMain() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmNMain"));
    setWindowTitle(QStringLiteral("KORVANE Vidora"));
    Picture = Skin::controlBar();
    resize(Picture.isNull() ? QSize(578, 117) : Picture.size());
    commandLine = CommandLine::Current();
    createDisplay();
    createButtons();
    nameForScreenReaders();
    fitScanMarks();
    connectButtons();
    applyDesignColors();
    acceptDesktopInput();
}

// Ctrl+O, Space and Escape, and a disc dropped on the bar.
void frmNMain::acceptDesktopInput()
{
    PlayerKeys::install(this);
    OpenDisc::acceptDrops(this);
}

QFont frmNMain::displayFont()
{
    return DisplayLabel::face();
}

skinButton *frmNMain::addButton(const char *name, const QRect &at, const QString &caption,
                                const QString &fontName, double fontSize, bool bold,
                                const QString &toolTip)
{
    auto *button = new skinButton(this, QString::fromLatin1(name));
    button->setGeometry(at);
    button->setButtonType(kStyleHoverBevel);
    button->setColorScheme(ColorSchemes::kOwn);
    button->setShowFocusRect(false);
    button->setFontName(fontName);
    button->setFontSize(fontSize);
    button->setFontBold(bold);
    button->setCaption(caption);
    button->setToolTip(toolTip);
    // A press on a button is the button's own: it neither drags the bar nor
    // opens its menu.
    button->setAttribute(Qt::WA_NoMousePropagation);
    return button;
}

void frmNMain::createButtons()
{
    btnPreCh = addButton("btnPreCh", twipsRect(720, 120, 375, 375), QStringLiteral("9"), kWebdings,
                         8.25, true, QStringLiteral("Previews Chapter"));
    btnStop = addButton("btnStop", twipsRect(1200, 120, 375, 375), QStringLiteral("<"), kWebdings,
                        8.25, true, QStringLiteral("Stop"));
    btnPlay = addButton("btnPlay", twipsRect(1680, 120, 375, 375), QStringLiteral("4"), kWebdings,
                        8.25, true, QStringLiteral("Play"));
    btnNextCh = addButton("btnNextCh", twipsRect(2160, 120, 375, 375), QStringLiteral(":"),
                          kWebdings, 8.25, true, QStringLiteral("Next Chapter"));
    btnBack8 = addButton("btnBack8", twipsRect(3120, 240, 375, 135), QStringLiteral("<<<"),
                         kSansSerif, 8.25, true, QStringLiteral("Backward x8"));
    btnBack4 = addButton("btnBack4", twipsRect(3480, 240, 375, 135), QStringLiteral("<<"),
                         kSansSerif, 8.25, true, QStringLiteral("Backward x4"));
    btnBackW = addButton("btnBackW", twipsRect(3840, 240, 375, 135), QStringLiteral("<"),
                         kSansSerif, 8.25, true, QStringLiteral("Backward x2"));
    btnNorPlay = addButton("btnNorPlay", twipsRect(4200, 240, 375, 135), QStringLiteral("|"),
                           kSansSerif, 8.25, true, QStringLiteral("Normal Play"));
    btnFF = addButton("btnFF", twipsRect(4560, 240, 375, 135), QStringLiteral(">"), kSansSerif,
                      8.25, true, QStringLiteral("Fast Forward x2"));
    btnFF4 = addButton("btnFF4", twipsRect(4920, 240, 375, 135), QStringLiteral(">>"), kSansSerif,
                       8.25, true, QStringLiteral("Fast Forward x4"));
    btnFF8 = addButton("btnFF8", twipsRect(5280, 240, 375, 135), QStringLiteral(">>>"), kSansSerif,
                       8.25, true, QStringLiteral("Fast Forward x8"));
    btnDVDpanel = addButton("btnDVDpanel", twipsRect(6240, 1200, 375, 375), QStringLiteral("."),
                            kWebdings, 8.25, false, QString());
    btnMenu = addButton("btnMenu", twipsRect(6720, 1200, 375, 375), QStringLiteral("3"), kWingdings,
                        12, false, QStringLiteral("Menu List"));
    btnDVDdb = addButton("btnDVDdb", twipsRect(7200, 1200, 375, 375), QString(QChar(0xA5)),
                         kWebdings, 8.25, false, QStringLiteral("DVD database"));
    btnSettings = addButton("btnSettings", twipsRect(7680, 1200, 375, 375), QStringLiteral("@"),
                            kWebdings, 12, false, QStringLiteral("Settings Panel"));
}

// Symbol buttons say what they do, and each display line what it shows; the
// lines' own texts are what a screen reader reads of them.
void frmNMain::nameForScreenReaders()
{
    const std::pair<skinButton *, const char *> buttons[] = {
        {btnPreCh, "Previous chapter"},
        {btnStop, "Stop"},
        {btnPlay, "Play"},
        {btnNextCh, "Next chapter"},
        {btnBack8, "Scan backward 8x"},
        {btnBack4, "Scan backward 4x"},
        {btnBackW, "Scan backward 2x"},
        {btnNorPlay, "Normal play"},
        {btnFF, "Scan forward 2x"},
        {btnFF4, "Scan forward 4x"},
        {btnFF8, "Scan forward 8x"},
        {btnDVDpanel, "Video window"},
        {btnMenu, "Menu"},
        {btnDVDdb, "DVD database"},
        {btnSettings, "Settings"},
    };
    for (const auto &[button, name] : buttons)
        button->setAccessibleName(QString::fromLatin1(name));
    const std::pair<QLabel *, const char *> lines[] = {
        {lblTime, "Time"},        {lblChap, "Chapter"}, {lblLan, "Language"},
        {lblDVDtit, "DVD title"}, {St, "Status"},
    };
    for (const auto &[label, description] : lines)
        label->setAccessibleDescription(QString::fromLatin1(description));
    imgDVDlogo->setAccessibleName(QStringLiteral("DVD logo"));
}

// The scan buttons are nine pixels high: a condensed face small enough to fit
// them, with air between the characters, keeps each of "<<<" apart.
void frmNMain::fitScanMarks()
{
    QFont marks(QStringLiteral("DejaVu Sans Condensed"));
    marks.setPixelSize(8);
    marks.setBold(true);
    marks.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    for (skinButton *button : {btnBack8, btnBack4, btnBackW, btnNorPlay, btnFF, btnFF4, btnFF8})
        button->setFont(marks);
}

void frmNMain::connectButtons()
{
    connect(btnPlay, &skinButton::Click, this, &Functions::PlayDisc);
    connect(btnNorPlay, &skinButton::Click, this, &Functions::PlayDisc);
    connect(btnStop, &skinButton::Click, this, &Functions::StopDisc);
    connect(btnPreCh, &skinButton::Click, this, &Functions::PreviousChapter);
    connect(btnNextCh, &skinButton::Click, this, &Functions::NextChapter);
    connect(btnBack8, &skinButton::Click, this, [this] { Scan(false, 8.0); });
    connect(btnBack4, &skinButton::Click, this, [this] { Scan(false, 4.0); });
    connect(btnBackW, &skinButton::Click, this, [this] { Scan(false, 2.0); });
    connect(btnFF, &skinButton::Click, this, [this] { Scan(true, 2.0); });
    connect(btnFF4, &skinButton::Click, this, [this] { Scan(true, 4.0); });
    connect(btnFF8, &skinButton::Click, this, [this] { Scan(true, 8.0); });
    connect(btnDVDpanel, &skinButton::Click, this, &frmNMain::btnDVDpanel_Click);
    connect(btnMenu, &skinButton::Click, this, &frmNMain::btnMenu_Click);
    connect(btnDVDdb, &skinButton::Click, this, &frmNMain::btnDVDdb_Click);
    connect(btnSettings, &skinButton::Click, this, &frmNMain::btnSettings_Click);
    for (skinButton *button : findChildren<skinButton *>()) {
        if (button != btnDVDpanel)
            connect(button, &skinButton::MouseOver, this,
                    [this, button] { Button_MouseOver(button); });
        connect(button, &skinButton::MouseOut, this, &frmNMain::Button_MouseOut);
    }
    connect(btnDVDpanel, &skinButton::MouseOver, this, &frmNMain::btnDVDpanel_MouseOver);
}

void frmNMain::createDisplay()
{
    Shape1 = new DisplayShape(this);
    Shape1->setGeometry(twipsRect(2880, 240, 3015, 1215));
    imgDVDlogo = new QLabel(this);
    imgDVDlogo->setObjectName(QStringLiteral("imgDVDlogo"));
    imgDVDlogo->setGeometry(twipsRect(3000, 480, 720, 720));
    imgDVDlogo->setPixmap(Skin::discLogo(devicePixelRatioF()));
    imgDVDlogo->hide();
    lblTime = displayLabel(this, "lblTime", QString(), twipsRect(3000, 360, 2775, 255),
                           Qt::AlignRight | Qt::AlignVCenter);
    lblChap = displayLabel(this, "lblChap", QStringLiteral("Chap"), twipsRect(3720, 600, 2175, 255),
                           Qt::AlignLeft | Qt::AlignVCenter);
    lblLan = displayLabel(this, "lblLan", QStringLiteral("Lan"), twipsRect(3720, 840, 2175, 255),
                          Qt::AlignLeft | Qt::AlignVCenter);
    lblDVDtit = displayLabel(this, "lblDVDtit", QStringLiteral("DVD title"),
                             twipsRect(3000, 1080, 2775, 375), Qt::AlignRight | Qt::AlignVCenter);
    St = new QLabel(this);
    St->setObjectName(QStringLiteral("St"));
    St->setGeometry(twipsRect(3120, 1440, 2415, 255));
    St->setAlignment(Qt::AlignCenter);
    // Clicks on the status line neither drag nor open the menu.
    St->setAttribute(Qt::WA_NoMousePropagation);
    marK = new QLabel(QStringLiteral("\""), this);
    marK->setObjectName(QStringLiteral("marK"));
    marK->setGeometry(twipsRect(1080, 1320, 255, 135));
    marK->hide();
}

// Every step runs on its own: a failing step is skipped and the next runs.
void frmNMain::Form_Load()
{
    IgnoreErrors steps;
    steps.step([&] {
        setWindowTitle(
            QStringLiteral("KORVANE Vidora %1.%2").arg(Version::kMajor).arg(Version::kMinor));
    });
    steps.step([&] { MakeRegion(this, Picture, kTransparent); });
    steps.step([&] { updateEdges(); });
    steps.step([&] { QApplication::processEvents(); });
    steps.step([&] {
        Picture = QImage();
        update();
    });
    steps.step([&] { setBackground(this, kBackColor); });
    steps.step([&] { setupDatabaseDirectory(); });
    steps.step([] { form<DVD>()->ShowIn = 0; });
    steps.step([&] { runCommandLine(); });
    steps.step([&] {
        St->clear();
        lblChap->clear();
        lblLan->clear();
        lblDVDtit->clear();
    });
    steps.step([&] { QApplication::processEvents(); });
    steps.step([&] { ColorRendering(); });
    steps.step([&] { QApplication::processEvents(); });
}

// A first start stores the default folder and creates it; later starts use
// the stored path unchanged. Assigning DVDdbDir does not load the menu host.
void frmNMain::setupDatabaseDirectory()
{
    form<frmMain>()->DVDdbDir = DatabasePath::initialise(DatabasePath::CreateFolder::Yes);
}

// A scheme file opens the settings window on its colours; a disc source plays.
// Either way this runs once per program run, and a start that played from
// the command line does not play a second time for the play-at-start option.
void frmNMain::runCommandLine()
{
    if (!actOnCommandLine())
        AutoPlayCheck();
}

// True when the command line played a disc.
bool frmNMain::actOnCommandLine()
{
    const CommandLine::Request request = CommandLine::Classify(commandLine);
    switch (request.action) {
    case CommandLine::Action::LoadScheme:
        showSchemeFile();
        return false;
    case CommandLine::Action::Play: {
        IgnoreErrors steps;
        steps.step([&] { dvdControl()->setDVDDirectory(request.path); });
        Functions::PlayDisc();
        return true;
    }
    case CommandLine::Action::None:
        break;
    }
    return false;
}

// The play-at-start option belongs to the program's own start, not to this.
void frmNMain::HandOver(const QString &argument)
{
    ShowRestored(this);
    commandLine = argument.isEmpty() ? QString() : marK->text() + argument + marK->text();
    actOnCommandLine();
}

// The settings window opens on its colour tab with the command line's scheme
// file loaded; the user confirms it with Apply or Save.
void frmNMain::showSchemeFile()
{
    const QString path = CommandLine::Classify(commandLine).path;
    IgnoreErrors steps;
    steps.step([&] { form<frmSettings>()->OpenSchemeFile(path); });
}

void frmNMain::AutoPlayCheck()
{
    using namespace SettingsKeys;
    if (SettingsStore::Read(kPlayer, kSaveSection, kPlayAtStart, 0) == QLatin1String("1"))
        Functions::PlayDisc();
}

void frmNMain::applyDesignColors()
{
    setBackground(this, kBackColor);
    for (skinButton *button :
         {btnPreCh, btnPlay, btnStop, btnNextCh, btnDVDpanel, btnMenu, btnDVDdb, btnSettings}) {
        button->setForeOver(button == btnPreCh ? kPreviousOver : kButtonOver);
        button->setBackColor(kButtonBack);
        button->setForeColor(kButtonText);
    }
    for (skinButton *button : {btnBack8, btnBack4, btnBackW, btnNorPlay, btnFF, btnFF4, btnFF8}) {
        button->setForeOver(kScanOver);
        button->setBackColor(kScanBack);
        button->setForeColor(kScanText);
    }
    setBackground(Shape1, kDisplayFill);
    setForeground(St, kStatusColor);
    for (QLabel *label : {lblTime, lblChap, lblLan, lblDVDtit})
        setForeground(label, kDisplayText);
    update();
}

// The bar's load has already replaced its picture by an empty one, so the
// picture stays. The scan buttons keep their mouse-over colour.
void frmNMain::ColorRendering()
{
    ColorRow row;
    row.window = this;
    row.background = SchemeBackground::KeepPicture;
    row.buttons = {btnPreCh,    btnPlay, btnStop,  btnNextCh,
                   btnDVDpanel, btnMenu, btnDVDdb, btnSettings};
    row.captionLabels = {St};
    row.displays = {Shape1,   btnNorPlay, btnFF,     btnFF4, btnFF8,  btnBackW,
                    btnBack4, btnBack8,   lblDVDtit, lblLan, lblChap, lblTime};
    ApplyColorRow(row);
}

void frmNMain::mousePressEvent(QMouseEvent *event)
{
    Form_MouseDown(event->buttons(), event->globalPosition().toPoint());
}

// The background, the logo and the display labels: the left button alone
// drags the bar, the right button alone opens its menu.
void frmNMain::Form_MouseDown(Qt::MouseButtons buttons, const QPoint &globalPosition)
{
    if (buttons == Qt::LeftButton)
        DragWindow(this);
    else if (buttons == Qt::RightButton)
        form<frmMain>()->mnuInMenu()->popup(globalPosition);
}

void frmNMain::Button_MouseOver(skinButton *button)
{
    St->setText(button->toolTip());
}

void frmNMain::Button_MouseOut()
{
    St->clear();
}

// Scanning is for a playing title; anywhere else the buttons do nothing.
void frmNMain::Scan(bool forwards, double speed)
{
    IgnoreErrors steps;
    steps.step([&] {
        DvdControl *control = dvdControl();
        if (control->CurrentDomain() != DvdDomain::kTitle)
            return;
        if (forwards)
            control->PlayForwards(speed);
        else
            control->PlayBackwards(speed);
    });
}

// The text names what a click will do, as the video window is when the
// pointer comes in.
void frmNMain::btnDVDpanel_MouseOver()
{
    St->setText(videoWindowVisible() ? QStringLiteral("Hide DVD Panel")
                                     : QStringLiteral("Show DVD Panel"));
}

void frmNMain::btnDVDpanel_Click()
{
    IgnoreErrors steps;
    steps.step([] {
        if (videoWindowVisible())
            form<DVD>()->hide();
        else
            form<DVD>()->show();
    });
}

void frmNMain::btnDVDdb_Click()
{
    toggleWindow<frmDVDdb>();
}

void frmNMain::btnSettings_Click()
{
    toggleWindow<frmSettings>();
}

void frmNMain::AutoBook()
{
    Bookmarks::AutoBook();
}

void frmNMain::btnMenu_Click()
{
    form<frmMain>()->menus()->popup(QCursor::pos());
}

// A one-pixel rim along the cut outline, so the shape reads against any
// desktop; its colours follow the window's background.
void frmNMain::updateEdges()
{
    updateEdges(mask(), 1.0);
}

void frmNMain::updateEdges(const QRegion &shape, qreal scale)
{
    if (shape.isEmpty())
        return;
    edgeLight_ = (shape - shape.translated(0, 1)) + (shape - shape.translated(1, 0));
    edgeDark_ = (shape - shape.translated(0, -1)) + (shape - shape.translated(-1, 0));
    edgeScale_ = scale;
}

// On a scaled desktop the outline and its rims come from the skin drawn at
// double size, cut in screen pixels, rather than from the bar's own pixels
// blown up.
void frmNMain::sharpenOutline()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio <= 1.0 || mask().isEmpty())
        return;
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    QImage skin = Skin::controlBar(2);
    if (skin.size() != pixels)
        skin = skin.scaled(pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QRegion outline = RegionFromPicture(skin, kTransparent);
    if (!SetDeviceShape(this, outline))
        return;
    updateEdges(outline, ratio);
    update();
}

void frmNMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    IgnoreErrors steps;
    steps.step([&] { sharpenOutline(); });
}

void frmNMain::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!Picture.isNull()) {
        p.drawImage(0, 0, Picture);
        return;
    }
    const QColor back = palette().color(QPalette::Window);
    p.scale(1.0 / edgeScale_, 1.0 / edgeScale_);
    for (const QRect &r : edgeLight_)
        p.fillRect(r, shaded(back, 48));
    for (const QRect &r : edgeDark_)
        p.fillRect(r, shaded(back, -40));
}
