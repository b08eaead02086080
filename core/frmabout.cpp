#include "core/frmabout.h"

#include "core/module2.h"
#include "core/version.h"
#include "platform/units.h"
#include "widgets/designlook.h"
#include "widgets/skinbutton.h"
#include "widgets/skincaption.h"

#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace
{

constexpr int kWindowWidth = 380;
constexpr int kLinksTop = 152;
constexpr int kRowHeight = 26;
constexpr int kRowGap = 6;
constexpr int kCaptionPadding = 24; // the bevel and some air either side

// The width a button needs to show its whole caption.
int captionWidth(const skinButton *button)
{
    return SkinCaption(button->Caption(), button->font()).lineSize().width() + kCaptionPadding;
}

QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &place, int pixelSize)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    return label;
}

skinButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                       const QRect &place)
{
    auto *button = DesignLook::makeButton(parent, name, 5, caption);
    button->setGeometry(place);
    DesignLook::setButtonColors(button);
    return button;
}

} // namespace

frmAbout::frmAbout() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: About KORVANE Vidora"));
    setAutoFillBackground(true);

    lblName = makeLabel(this, QStringLiteral("KORVANE Vidora"), QRect(10, 16, 360, 32), 24);
    QFont bold = lblName->font();
    bold.setBold(true);
    lblName->setFont(bold);
    lblVersion = makeLabel(this, QStringLiteral("Version ") + Version::fullVersion(),
                           QRect(10, 52, 360, 18), 12);
    lblCredits = makeLabel(this,
                           QStringLiteral("Made by the KORVANE team.\n"
                                          "DVD playback built on libdvdnav, libdvdread and "
                                          "FFmpeg; the interface on Qt."),
                           QRect(20, 84, 340, 60), 12);
    btnWeb = makeButton(this, "btnWeb", QStringLiteral("www.korvane.example"), QRect());
    btnMail = makeButton(this, "btnMail", QStringLiteral("vidora@korvane.example"), QRect());
    btnOK = makeButton(this, "btnOK", QStringLiteral("OK"), QRect());
    placeButtons();

    connect(btnWeb, &skinButton::Click, this, &frmAbout::btnWeb_Click);
    connect(btnMail, &skinButton::Click, this, &frmAbout::btnMail_Click);
    connect(btnOK, &skinButton::Click, this, &frmAbout::btnOK_Click);
}

// The two addresses each get a row as wide as the longer one needs, so that
// neither is clipped in any font; the window widens when they need it.
void frmAbout::placeButtons()
{
    const int linkWidth = std::max(captionWidth(btnWeb), captionWidth(btnMail));
    const int windowWidth = std::max(kWindowWidth, linkWidth + 40);
    const int left = (windowWidth - linkWidth) / 2;
    btnWeb->setGeometry(left, kLinksTop, linkWidth, kRowHeight);
    btnMail->setGeometry(left, kLinksTop + kRowHeight + kRowGap, linkWidth, kRowHeight);
    const int okTop = kLinksTop + 2 * (kRowHeight + kRowGap) + 10;
    btnOK->setGeometry((windowWidth - 100) / 2, okTop, 100, 28);
    setFixedSize(windowWidth, okTop + 28 + 16);
}

void frmAbout::Form_Load()
{
    applyDesignColors();
}

void frmAbout::applyDesignColors()
{
    DesignLook::setBackground(this, DesignLook::kDarkGrey);
    for (QLabel *label : {lblName, lblVersion, lblCredits})
        DesignLook::setTextColor(label, DesignLook::kWhite);
}

QString frmAbout::webAddress()
{
    return QStringLiteral("https://www.korvane.example/");
}

QString frmAbout::mailAddress()
{
    return QStringLiteral("mailto:vidora@korvane.example");
}

void frmAbout::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        DragWindow(this);
}

void frmAbout::btnWeb_Click()
{
    OpenDocument(webAddress(), QString(), QString());
}

void frmAbout::btnMail_Click()
{
    OpenDocument(mailAddress(), QString(), QString());
}

void frmAbout::btnOK_Click()
{
    close();
}
