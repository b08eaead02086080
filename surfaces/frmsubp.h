#pragma once

#include <QWidget>

class QListWidget;

// The subtitle selection dialog, opened by the video window's menu. So far a
// window with its list; filling and choosing come with the stream dialogs.
class frmSubp : public QWidget
{
    Q_OBJECT
public:
    frmSubp();

    void Form_Load() {}

    QListWidget *List1 = nullptr;
};
