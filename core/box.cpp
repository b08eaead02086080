#include "core/box.h"

#include "core/module2.h"
#include "core/ontopbas.h"
#include "platform/desktop.h"

#include <QApplication>

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

BOX::BOX(QWidget *parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    static quint64 nextSerial = 0;
    serial_ = ++nextSerial;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("BOX"));
    setFixedSize(360, 150);

    Image1 = new QLabel(this);
    Image1->setGeometry(12, 12, 48, 48);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));

    msg = new QPlainTextEdit(this);
    msg->setGeometry(72, 12, 276, 90);
    msg->setReadOnly(true);
    msg->setFrameShape(QFrame::NoFrame);

    skinButton1 = new QPushButton(QStringLiteral("OK"), this);
    skinButton1->setGeometry(140, 112, 80, 26);
    connect(skinButton1, &QPushButton::clicked, this, &BOX::skinButton1_Click);
}

void BOX::Form_Load()
{
    SetOnTop(this, true);
    Desktop::beep();
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

void ShowMessage(const QString &text)
{
    if (text.isEmpty())
        return;
    auto *box = new BOX();
    // Message texts break lines with CR LF.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->msg->setPlainText(lines);
    box->Form_Load();
    box->show();
}
