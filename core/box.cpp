#include "core/box.h"

#include "core/module2.h"
#include "core/ontopbas.h"
#include "platform/desktop.h"
#include "settings/colorrendering.h"
#include "widgets/designlook.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kMargin = 12;
constexpr int kIconSize = 48;
constexpr int kTextLeft = kMargin + kIconSize + kMargin;
constexpr int kMinTextWidth = 276;
constexpr int kMaxTextWidth = 460; // a paragraph still reads as one
constexpr int kMinTextHeight = 90;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
// The text box lays its lines out a little narrower than a document of the
// same width: room for the cursor and rounding.
constexpr int kLayoutSlack = 6;

// A path longer than this is cut to its ends around an ellipsis.
constexpr int kLongestRun = 120;
constexpr int kRunEnds = 56;
// No message of the program comes near this.
constexpr int kLongestMessage = 4000;

// The catcher that takes the messages now, if any; the GUI thread's own.
MessageCatcher *&activeCatcher()
{
    static MessageCatcher *catcher = nullptr;
    return catcher;
}

// The window's own picture: a white "i" on a round blue badge.
QPixmap messageIcon(int size)
{
    QPixmap icon(size, size);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1, 1, size - 2, size - 2);
    QRadialGradient shine(disc.center() - QPointF(size / 6.0, size / 6.0), size * 0.7);
    shine.setColorAt(0, QColor(150, 160, 255));
    shine.setColorAt(1, QColor(48, 56, 170));
    painter.setPen(QPen(QColor(32, 36, 120), 1.5));
    painter.setBrush(shine);
    painter.drawEllipse(disc);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const double unit = size / 12.0;
    painter.drawEllipse(QPointF(size / 2.0, unit * 3.2), unit * 0.95, unit * 0.95);
    QPainterPath stem;
    stem.addRoundedRect(QRectF(size / 2.0 - unit * 0.8, unit * 5, unit * 1.6, unit * 5), unit * 0.4,
                        unit * 0.4);
    painter.drawPath(stem);
    return icon;
}

} // namespace

BOX::BOX(QWidget *parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    static quint64 nextSerial = 0;
    serial_ = ++nextSerial;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("BOX"));
    setFixedSize(360, 150);

    Image1 = new QLabel(this);
    Image1->setGeometry(kMargin, kMargin, kIconSize, kIconSize);
    Image1->setPixmap(messageIcon(kIconSize));

    msg = new QPlainTextEdit(this);
    msg->setGeometry(72, 12, 276, 90);
    msg->setReadOnly(true);
    msg->setFrameShape(QFrame::NoFrame);
    msg->setAccessibleName(QStringLiteral("Message"));

    skinButton1 = DesignLook::makeButton(this, "skinButton1", 5, QStringLiteral("OK"));
    skinButton1->setGeometry(140, 112, 80, 26);
    DesignLook::setButtonColors(skinButton1, {0xFF8080, DesignLook::kBlack, DesignLook::kBlack});
    connect(skinButton1, &skinButton::Click, this, &BOX::skinButton1_Click);
}

// The window grows with its text, up to a width that still reads as one
// paragraph; only a text taller than the screen needs the scroll bar.
void BOX::fitToText()
{
    QTextDocument measure;
    measure.setDefaultFont(msg->font());
    measure.setDocumentMargin(msg->document()->documentMargin());
    measure.setPlainText(msg->toPlainText());
    const int width = std::clamp(int(std::ceil(measure.idealWidth())) + kLayoutSlack, kMinTextWidth,
                                 kMaxTextWidth);
    measure.setTextWidth(width - kLayoutSlack);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int tallest = screen ? screen->availableGeometry().height() * 3 / 4 : 600;
    const int height =
        std::clamp(int(std::ceil(measure.size().height())) + kLayoutSlack, kMinTextHeight, tallest);
    msg->setGeometry(kTextLeft, kMargin, width, height);
    const int windowWidth = kTextLeft + width + kMargin;
    const int buttonTop = kMargin + height + kMargin - 2;
    skinButton1->setGeometry((windowWidth - kButtonWidth) / 2, buttonTop, kButtonWidth,
                             kButtonHeight);
    setFixedSize(windowWidth, buttonTop + kButtonHeight + kMargin);
}

void BOX::Form_Load()
{
    SetOnTop(this, true);
    Desktop::beep();
    ColorRendering();
}

// The icon stays; the window takes the display background.
void BOX::ColorRendering()
{
    ColorRow row;
    row.window = this;
    row.background = SchemeBackground::DisplayColor;
    row.buttons = {skinButton1};
    row.displays = {msg};
    ApplyColorRow(row);
}

QList<BOX *> BOX::openWindows()
{
    QList<BOX *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<BOX *>(widget); box && box->isVisible())
            boxes << box;
    std::sort(boxes.begin(), boxes.end(),
              [](const BOX *a, const BOX *b) { return a->serial_ < b->serial_; });
    return boxes;
}

void BOX::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        DragWindow(this);
}

void BOX::skinButton1_Click()
{
    close();
}

QString CutToReadableLength(const QString &text)
{
    static const QRegularExpression longRun(QStringLiteral("\\S{%1,}").arg(kLongestRun + 1),
                                            QRegularExpression::UseUnicodePropertiesOption);
    const QStringView whole(text);
    QString cut;
    qsizetype from = 0;
    QRegularExpressionMatchIterator runs = longRun.globalMatch(text);
    while (runs.hasNext() && cut.size() <= kLongestMessage) {
        const QRegularExpressionMatch run = runs.next();
        cut += whole.mid(from, run.capturedStart() - from);
        cut += whole.mid(run.capturedStart(), kRunEnds);
        cut += QChar(0x2026);
        cut += whole.mid(run.capturedEnd() - kRunEnds, kRunEnds);
        from = run.capturedEnd();
    }
    cut += whole.mid(from).left(kLongestMessage + 1);
    if (cut.size() > kLongestMessage)
        cut = cut.left(kLongestMessage) + QChar(0x2026);
    return cut;
}

MessageCatcher::MessageCatcher() : outer_(activeCatcher())
{
    activeCatcher() = this;
}

MessageCatcher::~MessageCatcher()
{
    activeCatcher() = outer_;
}

void ShowMessage(const QString &text)
{
    if (text.isEmpty())
        return;
    if (MessageCatcher *catcher = activeCatcher()) {
        catcher->messages_ << text;
        return;
    }
    // Message texts break lines with CR LF.
    QString lines = CutToReadableLength(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The same message again, even a thousand times from outside the
    // program, opens no second window.
    for (BOX *open : BOX::openWindows()) {
        if (open->msg->toPlainText() == lines) {
            open->raise();
            return;
        }
    }
    auto *box = new BOX();
    box->msg->setPlainText(lines);
    box->fitToText();
    box->Form_Load();
    box->show();
    // A question that is open stays above every message window.
    if (QWidget *question = QApplication::activeModalWidget())
        question->raise();
}
