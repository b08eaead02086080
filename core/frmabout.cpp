#include "core/frmabout.h"

#include "core/module2.h"
#include "core/version.h"
#include "platform/units.h"
#include "widgets/skinbutton.h"

#include <QLabel>
#include <QMouseEvent>

namespace
{

constexpr int32_t kDesignBack = 0x404040;
constexpr int32_t kDesignFore = 0xFFFFFF;
constexpr int32_t kDesignOver = 0xC0C0C0;

void paint(QWidget *widget, QPalette::ColorRole role, int32_t color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, fromColorRef(color));
    widget->setPalette(palette);
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

skinButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                       const QRect &place)
{
    auto *button = new skinButton(parent, name);
    button->setGeometry(place);
    button->setButtonType(5);
    button->setColorScheme(ColorSchemes::kOwn);
    button->setBackColor(kDesignBack);
    button->setForeColor(kDesignFore);
    button->setForeOver(kDesignOver);
    button->setShowFocusRect(false);
    button->setCaption(caption);
    return button;
}

} // namespace

frmAbout::frmAbout() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: About KORVANE Vidora"));
    setFixedSize(380, 250);
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
    btnWeb = makeButton(this, QStringLiteral("btnWeb"), QStringLiteral("www.korvane.example"),
                        QRect(20, 156, 165, 26));
    btnMail = makeButton(this, QStringLiteral("btnMail"), QStringLiteral("vidora@korvane.example"),
                         QRect(195, 156, 165, 26));
    btnOK =
        makeButton(this, QStringLiteral("btnOK"), QStringLiteral("OK"), QRect(140, 204, 100, 28));

    connect(btnWeb, &skinButton::Click, this, &frmAbout::btnWeb_Click);
    connect(btnMail, &skinButton::Click, this, &frmAbout::btnMail_Click);
    connect(btnOK, &skinButton::Click, this, &frmAbout::btnOK_Click);
}

void frmAbout::Form_Load()
{
    applyDesignColors();
}

void frmAbout::applyDesignColors()
{
    paint(this, QPalette::Window, kDesignBack);
    for (QLabel *label : {lblName, lblVersion, lblCredits})
        paint(label, QPalette::WindowText, kDesignFore);
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
