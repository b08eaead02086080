#pragma once

#include "core/dvdcontrol/pictureslot.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

// DVDw's picture: the latest picture of the presentation thread, drawn at
// the disc's display aspect (4:3 or 16:9) and letterboxed into the widget,
// never stretched. Pointer moves and clicks on the picture are passed on in
// picture pixels, so that menu buttons can be pointed at.
class DvdView : public QWidget
{
    Q_OBJECT
public:
    using PointerHandler = std::function<void(QPoint picturePoint, bool activate)>;

    explicit DvdView(std::shared_ptr<PictureSlot> pictures, QWidget *parent = nullptr);

    // Where the picture is drawn inside the widget; empty without a picture.
    QRect pictureRect() const;
    // A widget point in picture pixels (720 x 576 / 480); nothing outside the picture.
    std::optional<QPoint> toPicture(QPoint widgetPoint) const;
    void setPointerHandler(PointerHandler handler);

    // The letterboxed rectangle of a picture of displaySize inside bounds.
    static QRect fitted(QSize displaySize, QRect bounds);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void point(QPoint widgetPoint, bool activate);

    std::shared_ptr<PictureSlot> pictures_;
    PointerHandler pointerHandler_;
};
