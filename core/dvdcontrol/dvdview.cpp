#include "core/dvdcontrol/dvdview.h"

#include <QMouseEvent>
#include <QPainter>

DvdView::DvdView(std::shared_ptr<PictureSlot> pictures, QWidget *parent)
    : QWidget(parent), pictures_(std::move(pictures))
{
    setObjectName(QStringLiteral("DVDw"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(16, 16);
}

QRect DvdView::fitted(QSize displaySize, QRect bounds)
{
    if (displaySize.isEmpty() || bounds.isEmpty())
        return {};
    const QSize size = displaySize.scaled(bounds.size(), Qt::KeepAspectRatio);
    const QPoint topLeft(bounds.x() + (bounds.width() - size.width()) / 2,
                         bounds.y() + (bounds.height() - size.height()) / 2);
    return QRect(topLeft, size);
}

QRect DvdView::pictureRect() const
{
    const ShownPicture picture = pictures_->latest();
    if (!picture.valid())
        return {};
    return fitted(QSize(picture.displayWidth(), picture.image.height()), rect());
}

std::optional<QPoint> DvdView::toPicture(QPoint widgetPoint) const
{
    const ShownPicture picture = pictures_->latest();
    if (!picture.valid())
        return std::nullopt;
    const QRect target = fitted(QSize(picture.displayWidth(), picture.image.height()), rect());
    if (!target.contains(widgetPoint))
        return std::nullopt;
    const int x = (widgetPoint.x() - target.x()) * picture.image.width() / target.width();
    const int y = (widgetPoint.y() - target.y()) * picture.image.height() / target.height();
    return QPoint(x, y);
}

void DvdView::setPointerHandler(PointerHandler handler)
{
    pointerHandler_ = std::move(handler);
}

void DvdView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const ShownPicture picture = pictures_->latest();
    if (!picture.valid())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target = fitted(QSize(picture.displayWidth(), picture.image.height()), rect());
    painter.drawImage(target, picture.image, picture.image.rect());
}

void DvdView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        point(event->position().toPoint(), true);
    QWidget::mousePressEvent(event);
}

void DvdView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        point(event->position().toPoint(), false);
    QWidget::mouseMoveEvent(event);
}

void DvdView::point(QPoint widgetPoint, bool activate)
{
    if (!pointerHandler_)
        return;
    if (const std::optional<QPoint> picturePoint = toPicture(widgetPoint))
        pointerHandler_(*picturePoint, activate);
}
