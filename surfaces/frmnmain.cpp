#include "surfaces/frmnmain.h"

#include "base/errors.h"
#include "core/bookmarks.h"
#include "core/dvd.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerkeys.h"
#include "core/startup.h"
#include "core/version.h"
#include "dvddb/frmdvddb.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "settings/frmsettings.h"
#include "surfaces/commandline.h"
#include "surfaces/displaylabel.h"
#include "surfaces/frmmain.h"
#include "surfaces/makeregion.h"
#include "surfaces/skin.h"
#include "widgets/designlook.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QCloseEvent>
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
constexpr int32_t kDisplayFill = 0xFFC0C0;
constexpr DesignLook::ButtonColors kWindowButtons{};
constexpr DesignLook::ButtonColors kPreviousButton{.over = DesignLook::kGrey};
constexpr DesignLook::ButtonColors kScanButtons{.back = kDisplayFill, .over = DesignLook::kBlack};
constexpr int kStyleHoverBevel = 8;
const QString kWebdings = QStringLiteral("Webdings");
const QString kWingdings = QStringLiteral("Wingdings");
const QString kSansSerif = QStringLiteral("MS Sans Serif");

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
        p.setPen(Shaded(fill, -96));
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
    auto *button = DesignLook::makeButton(this, name, kStyleHoverBevel, QString());
    button->setGeometry(at);
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
        {btnDVDpanel, "Show or hide DVD panel"},
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
    steps.step([&] { rims_.follow(mask(), 1.0); });
    steps.step([&] { QApplication::processEvents(); });
    steps.step([&] {
        Picture = QImage();
        update();
    });
    steps.step([&] { DesignLook::setBackground(this, DesignLook::kDarkGrey); });
    steps.step([&] { Startup::runFirstSteps(commandLine); });
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

void frmNMain::applyDesignColors()
{
    DesignLook::setBackground(this, DesignLook::kDarkGrey);
    for (skinButton *button :
         {btnPreCh, btnPlay, btnStop, btnNextCh, btnDVDpanel, btnMenu, btnDVDdb, btnSettings})
        DesignLook::setButtonColors(button, button == btnPreCh ? kPreviousButton : kWindowButtons);
    for (skinButton *button : {btnBack8, btnBack4, btnBackW, btnNorPlay, btnFF, btnFF4, btnFF8})
        DesignLook::setButtonColors(button, kScanButtons);
    DesignLook::setBackground(Shape1, kDisplayFill);
    DesignLook::setTextColor(St, DesignLook::kGrey);
    for (QLabel *label : {lblTime, lblChap, lblLan, lblDVDtit})
        DesignLook::setTextColor(label, DesignLook::kBlack);
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

void frmNMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    IgnoreErrors steps;
    steps.step([&] { SharpenOutline(this, Skin::controlBar(2), kTransparent, rims_); });
}

// The window manager's close ends the program as the menu's Close does; the
// bar itself stays until that end unloads it.
void frmNMain::closeEvent(QCloseEvent *event)
{
    event->ignore();
    QMetaObject::invokeMethod(this, &frmNMain::AutoBook, Qt::QueuedConnection);
}

void frmNMain::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!Picture.isNull()) {
        p.drawImage(0, 0, Picture);
        return;
    }
    rims_.paint(p, palette().color(QPalette::Window));
}
