#include "dvddb/defaultpicture.h"

#include <QConicalGradient>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace
{

void paintBackground(QPainter &painter, const QSize &size)
{
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, QColor(0x3A, 0x3E, 0x48));
    shade.setColorAt(1, QColor(0x1C, 0x1E, 0x24));
    painter.fillRect(QRect(QPoint(0, 0), size), shade);
}

// The recorded surface: silver with the faint rainbow of its tracks.
void paintSurface(QPainter &painter, const QPointF &centre, double radius)
{
    QConicalGradient tracks(centre, 35);
    const QColor silver(0xD8, 0xDC, 0xE4);
    const QList<QPair<double, QColor>> stops = {{0.00, silver},
                                                {0.10, QColor(0xF6, 0xF0, 0xC8)},
                                                {0.18, QColor(0xC8, 0xE8, 0xF4)},
                                                {0.28, silver},
                                                {0.45, QColor(0xA8, 0xB0, 0xC4)},
                                                {0.52, QColor(0xE8, 0xD0, 0xF0)},
                                                {0.60, QColor(0xC8, 0xF0, 0xD8)},
                                                {0.70, silver},
                                                {0.88, QColor(0x9C, 0xA4, 0xB8)},
                                                {1.00, silver}};
    for (const auto &[at, color] : stops)
        tracks.setColorAt(at, color);
    painter.setPen(QPen(QColor(0x60, 0x66, 0x74), 1.5));
    painter.setBrush(tracks);
    painter.drawEllipse(centre, radius, radius);
    // A soft light from the upper left.
    QRadialGradient light(centre - QPointF(radius * 0.4, radius * 0.45), radius * 1.2);
    light.setColorAt(0, QColor(255, 255, 255, 110));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawEllipse(centre, radius, radius);
}

void paintHub(QPainter &painter, const QPointF &centre, double radius, const QColor &background)
{
    painter.setPen(QPen(QColor(0x88, 0x8E, 0x9C), 1));
    painter.setBrush(QColor(0xEE, 0xF0, 0xF4, 200));
    painter.drawEllipse(centre, radius * 0.30, radius * 0.30);
    painter.setBrush(QColor(0xB4, 0xBA, 0xC6));
    painter.drawEllipse(centre, radius * 0.20, radius * 0.20);
    painter.setBrush(background);
    painter.drawEllipse(centre, radius * 0.09, radius * 0.09);
}

void paintLabel(QPainter &painter, const QPointF &centre, double radius)
{
    QFont font;
    font.setPixelSize(qMax(8, int(radius * 0.36)));
    font.setBold(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 108);
    painter.setFont(font);
    const QRectF band(centre.x() - radius, centre.y() + radius * 0.38, radius * 2, radius * 0.44);
    painter.setPen(QColor(255, 255, 255, 150));
    painter.drawText(band.translated(1, 1), Qt::AlignCenter, QStringLiteral("DVD"));
    painter.setPen(QColor(0x2A, 0x30, 0x48));
    painter.drawText(band, Qt::AlignCenter, QStringLiteral("DVD"));
}

} // namespace

QPixmap defaultDiscPicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintBackground(painter, size);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double radius = qMin(size.width(), size.height()) / 2.0 - 4;
    paintSurface(painter, centre, radius);
    paintHub(painter, centre, radius, QColor(0x2A, 0x2D, 0x35));
    paintLabel(painter, centre, radius);
    return picture;
}
