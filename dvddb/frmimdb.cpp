#include "dvddb/frmimdb.h"

#include "base/errors.h"
#include "core/module2.h"
#include "dvddb/databaselook.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "widgets/skinbutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace
{

// The movie database's web server: scheme and host, no trailing "/".
const QString kServer = QStringLiteral("https://www.imdb.com");
const QString kSearchPath = QStringLiteral("/Tsearch?title=");
const QString kQueryRest = QStringLiteral("&restrict=Movies+and+TV&GO.x=0&GO.y=0&GO=search");

// A strip of film under a magnifying glass.
QPixmap searchLogo(const QSize &size)
{
    QPixmap logo(size);
    logo.fill(QColor(0x20, 0x20, 0x28));
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF strip(6, size.height() * 0.18, size.width() - 12, size.height() * 0.4);
    painter.fillRect(strip, QColor(0x50, 0x50, 0x58));
    painter.setBrush(QColor(0xE8, 0xE8, 0xE8));
    painter.setPen(Qt::NoPen);
    for (double x = strip.left() + 4; x < strip.right() - 6; x += 12) {
        painter.drawRect(QRectF(x, strip.top() + 3, 6, 5));
        painter.drawRect(QRectF(x, strip.bottom() - 8, 6, 5));
    }
    const QPointF lens(size.width() * 0.55, size.height() * 0.55);
    const double radius = size.width() * 0.22;
    painter.setBrush(QColor(0xF5, 0xC5, 0x18, 0x60));
    painter.setPen(QPen(QColor(0xF5, 0xC5, 0x18), 5));
    painter.drawEllipse(lens, radius, radius);
    painter.setPen(QPen(QColor(0xF5, 0xC5, 0x18), 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(lens + QPointF(radius * 0.75, radius * 0.75),
                     lens + QPointF(radius * 1.6, radius * 1.6));
    return logo;
}

QLabel *textLabel(QWidget *parent, const QString &text, const QRect &place)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DatabaseLook::setSmallText(label);
    return label;
}

} // namespace

frmIMDb::frmIMDb() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmIMDb"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: Search for a movie"));
    setFixedSize(twips(8400), twips(1560));

    Image1 = new QLabel(this);
    Image1->setGeometry(twipsRect(0, 0, 1245, 1410));
    Image1->setPixmap(searchLogo(Image1->size()));
    Label1 = textLabel(
        this,
        QStringLiteral(
            "From here you can search for a movie in the Internet Movie Database (IMDb):"),
        twipsRect(1320, 120, 7020, 285));
    Label4 = textLabel(this, QStringLiteral("Keywords:"), twipsRect(1320, 510, 1140, 285));
    keyWord = new QLineEdit(this);
    keyWord->setObjectName(QStringLiteral("keyWord"));
    keyWord->setGeometry(twipsRect(2520, 480, 2055, 285));
    Label4->setBuddy(keyWord);
    iIn = DatabaseLook::makeButton(this, "iIn", QStringLiteral("Search"),
                                   twipsRect(4680, 480, 2175, 255));
    Label2 = textLabel(this,
                       QStringLiteral("When you click the search button a web browser window will "
                                      "open and navigate you to the IMDb web site. From there, you "
                                      "can take all the information you need for the movie."),
                       twipsRect(1320, 870, 7020, 660));

    connect(iIn, &skinButton::Click, this, &frmIMDb::iIn_Click);
    connect(keyWord, &QLineEdit::returnPressed, this, &frmIMDb::iIn_Click);
}

void frmIMDb::Form_Load()
{
    ColorRendering();
}

void frmIMDb::ColorRendering()
{
    DatabaseLook::applyDesignColors(this, {iIn});
    ColorRow row;
    row.window = this;
    row.buttons = {iIn};
    row.captionLabels = {Label1, Label4, Label2};
    row.displays = {keyWord};
    ApplyColorRow(row);
}

QString frmIMDb::searchAddress(const QString &keywords)
{
    QString value;
    value.reserve(keywords.size());
    for (const QChar character : keywords) {
        if (QStringView(u"&#+%=?").contains(character))
            value += QLatin1Char('%') + QString::number(character.unicode(), 16).toUpper();
        else
            value += character;
    }
    return kServer + kSearchPath + value + kQueryRest;
}

void frmIMDb::iIn_Click()
{
    const auto error = trapFirstError([this] {
        // The desktop's own refusal is not reported: the browser may well
        // have opened.
        OpenDocument(searchAddress(keyWord->text()), QString(), QString());
    });
    if (error) {
        ShowMessage(QStringLiteral("An error has occured while trying to connect to the internet"));
        close();
    }
}
