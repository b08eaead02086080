#pragma once

#include <QWidget>

class QListWidget;

// The angle selection dialog, opened by the video window's menu. So far a
// window with its list; filling and choosing come with the stream dialogs.
class frmAngle : public QWidget
{
    Q_OBJECT
public:
    frmAngle();

    void Form_Load() {}

    QListWidget *List1 = nullptr;
};
