#include "engine/output/dvdview.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace
{
constexpr double kMaxZoom = 8.0;
// The width of the picture in the units Zoom takes its point in.
constexpr double kZoomUnits = 720.0;
// A press moved less than this is a click on the picture, not a drag.
constexpr int kDragThreshold = 4;
} // namespace

DvdView::DvdView(std::shared_ptr<PictureSlot> pictures, QWidget *parent)
    : QWidget(parent), pictures_(std::move(pictures))
{
    setObjectName(QStringLiteral("DVDw"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(16, 16);
}

DvdView::~DvdView()
{
    pictures_->setWatched(false);
}

// While shown, every picture is converted as it is presented; hidden, the
// pictures are left deferred and the one on screen is made when painted.
void DvdView::showEvent(QShowEvent *event)
{
    followExposure();
    pictures_->setWatched(true);
    QWidget::showEvent(event);
}

// Not every window manager tells Qt that a window was minimised, but each one
// unmaps it, which reaches the window as a lost exposure: nobody sees the
// pictures then.
void DvdView::followExposure()
{
    QWindow *shownIn = window()->windowHandle();
    if (shownIn == exposure_)
        return;
    if (exposure_)
        exposure_->removeEventFilter(this);
    exposure_ = shownIn;
    if (shownIn)
        shownIn->installEventFilter(this);
}

bool DvdView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == exposure_ && event->type() == QEvent::Expose)
        pictures_->setWatched(isVisible() && exposure_->isExposed());
    return QWidget::eventFilter(watched, event);
}

void DvdView::hideEvent(QHideEvent *event)
{
    pictures_->setWatched(false);
    QWidget::hideEvent(event);
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
    const double u = double(widgetPoint.x() - target.x()) / target.width();
    const double v = double(widgetPoint.y() - target.y()) / target.height();
    const double x = (visible_.x() + u * visible_.width()) * picture.image.width();
    const double y = (visible_.y() + v * visible_.height()) * picture.image.height();
    return QPoint(int(x), int(y));
}

void DvdView::setPointerHandler(PointerHandler handler)
{
    pointerHandler_ = std::move(handler);
}

// Without a picture yet, the picture to come is taken to be 4:3.
QSize DvdView::displaySize() const
{
    const ShownPicture picture = pictures_->latest();
    if (!picture.valid())
        return {4, 3};
    return {picture.displayWidth(), picture.image.height()};
}

void DvdView::zoomAt(QPointF point, double ratio)
{
    const QSize display = displaySize();
    const double u = std::clamp(point.x() / kZoomUnits, 0.0, 1.0);
    const double v =
        std::clamp(point.y() / (kZoomUnits * display.height() / display.width()), 0.0, 1.0);
    const QPointF fixed(visible_.x() + u * visible_.width(), visible_.y() + v * visible_.height());
    zoom_ = std::clamp(zoom_ * ratio, 1.0, kMaxZoom);
    const double size = 1.0 / zoom_;
    visible_ = QRectF(fixed.x() - u * size, fixed.y() - v * size, size, size);
    keepInside();
    if (zoom_ == 1.0)
        dragFrom_.reset();
    update();
}

void DvdView::keepInside()
{
    visible_.moveLeft(std::clamp(visible_.x(), 0.0, 1.0 - visible_.width()));
    visible_.moveTop(std::clamp(visible_.y(), 0.0, 1.0 - visible_.height()));
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
    const QSizeF size = picture.image.size();
    const QRectF source(visible_.x() * size.width(), visible_.y() * size.height(),
                        visible_.width() * size.width(), visible_.height() * size.height());
    painter.drawImage(QRectF(target), picture.image, source);
    if (paintObserver_ && picture.pts != paintedPts_) {
        paintedPts_ = picture.pts;
        paintObserver_(picture.pts, std::chrono::steady_clock::now());
    }
}

// Zoomed, the left button drags the picture; a press that does not move is
// still a click on it.
void DvdView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (zoom_ > 1.0) {
            dragFrom_ = event->position().toPoint();
            dragStartTopLeft_ = visible_.topLeft();
            dragged_ = false;
        } else {
            point(event->position().toPoint(), true);
        }
    }
    QWidget::mousePressEvent(event);
}

void DvdView::mouseMoveEvent(QMouseEvent *event)
{
    if (dragFrom_ && (event->buttons() & Qt::LeftButton))
        drag(event->position().toPoint());
    else if (event->buttons() == Qt::NoButton)
        point(event->position().toPoint(), false);
    QWidget::mouseMoveEvent(event);
}

void DvdView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && dragFrom_) {
        if (!dragged_)
            point(*dragFrom_, true);
        dragFrom_.reset();
    }
    QWidget::mouseReleaseEvent(event);
}

void DvdView::drag(QPoint widgetPoint)
{
    const QPoint moved = widgetPoint - *dragFrom_;
    if (!dragged_ && moved.manhattanLength() < kDragThreshold)
        return;
    dragged_ = true;
    const QRect target = fitted(displaySize(), rect());
    if (target.isEmpty())
        return;
    // The picture follows the pointer: moving right shows more of its left.
    visible_.moveTopLeft(dragStartTopLeft_ -
                         QPointF(double(moved.x()) / target.width() * visible_.width(),
                                 double(moved.y()) / target.height() * visible_.height()));
    keepInside();
    update();
}

void DvdView::point(QPoint widgetPoint, bool activate)
{
    if (!pointerHandler_)
        return;
    if (const std::optional<QPoint> picturePoint = toPicture(widgetPoint))
        pointerHandler_(*picturePoint, activate);
}
