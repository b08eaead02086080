#pragma once

#include "engine/present/pictureslot.h"

#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// DVDw's picture: the latest picture of the presentation thread, drawn at
// the disc's display aspect (4:3 or 16:9) and letterboxed into the widget,
// never stretched. Pointer moves and clicks on the picture are passed on in
// picture pixels, so that menu buttons can be pointed at. Zoomed, the view
// shows part of the picture, which the left mouse button drags about.
class DvdView : public QWidget
{
    Q_OBJECT
public:
    using PointerHandler = std::function<void(QPoint picturePoint, bool activate)>;
    // Told when a picture it had not painted before has been painted: the
    // picture's timestamp (90 kHz) and the moment its paint ended.
    using PaintObserver =
        std::function<void(int64_t pts, std::chrono::steady_clock::time_point painted)>;

    explicit DvdView(std::shared_ptr<PictureSlot> pictures, QWidget *parent = nullptr);
    ~DvdView() override;

    // Where the picture is drawn inside the widget; empty without a picture.
    QRect pictureRect() const;
    // A widget point in picture pixels (720 x 576 / 480); nothing outside the picture.
    std::optional<QPoint> toPicture(QPoint widgetPoint) const;
    void setPointerHandler(PointerHandler handler);
    void setPaintObserver(PaintObserver observer) { paintObserver_ = std::move(observer); }

    // Magnifies by ratio around a point of the picture as shown, given in
    // units of a 720-wide picture at its display aspect (720 x 540 for 4:3):
    // that point stays where it is. Never below the whole picture, at most 8x.
    void zoomAt(QPointF point, double ratio);
    double zoomFactor() const { return zoom_; }
    // The part of the picture shown, as fractions of its width and height.
    QRectF visiblePart() const { return visible_; }

    // The letterboxed rectangle of a picture of displaySize inside bounds.
    static QRect fitted(QSize displaySize, QRect bounds);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void point(QPoint widgetPoint, bool activate);
    void drag(QPoint widgetPoint);
    void keepInside();
    QSize displaySize() const;
    void followExposure();

    std::shared_ptr<PictureSlot> pictures_;
    QPointer<QWindow> exposure_; // the window the view is shown in
    PointerHandler pointerHandler_;
    PaintObserver paintObserver_;
    int64_t paintedPts_ = -1;
    double zoom_ = 1.0;
    QRectF visible_{0, 0, 1, 1};
    std::optional<QPoint> dragFrom_;
    QPointF dragStartTopLeft_;
    bool dragged_ = false;
};
