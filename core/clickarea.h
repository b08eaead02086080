#pragma once

#include <QWidget>

// A transparent area that lies over the picture and reports the mouse: a
// right-button press, a left click, and a left double click (which follows
// the click of its first press, as the desktop reports them).
class ClickArea : public QWidget
{
    Q_OBJECT
public:
    explicit ClickArea(QWidget *parent);

signals:
    void rightPressed(const QPoint &globalPosition);
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool inDoubleClick_ = false; // the second press's release is no click
};
