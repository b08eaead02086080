#include "dvddb/defaultpicture.h"

#include <QFont>
#include <QPainter>
#include <QRadialGradient>

QPixmap defaultDiscPicture()
{
    constexpr int kSize = 128;
    QPixmap picture(kSize, kSize);
    picture.fill(QColor(0x40, 0x40, 0x40));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kSize / 2.0, kSize / 2.0);
    QRadialGradient shine(centre, kSize / 2.0, QPointF(kSize * 0.35, kSize * 0.3));
    shine.setColorAt(0, QColor(0xF4, 0xF4, 0xF8));
    shine.setColorAt(0.6, QColor(0xB8, 0xBC, 0xC8));
    shine.setColorAt(1, QColor(0x80, 0x86, 0x96));
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
    painter.setBrush(shine);
    painter.drawEllipse(centre, kSize * 0.44, kSize * 0.44);
    painter.setBrush(QColor(0x40, 0x40, 0x40));
    painter.drawEllipse(centre, kSize * 0.08, kSize * 0.08);
    QFont font;
    font.setPixelSize(kSize / 6);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x30, 0x30, 0x40));
    painter.drawText(QRectF(0, kSize * 0.62, kSize, kSize * 0.2), Qt::AlignCenter,
                     QStringLiteral("DVD"));
    return picture;
}
