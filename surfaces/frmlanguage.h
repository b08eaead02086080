#pragma once

#include <QWidget>

class QListWidget;

// The audio stream selection dialog, opened by the video window's menu. So far a
// window with its list; filling and choosing come with the stream dialogs.
class frmLanguage : public QWidget
{
    Q_OBJECT
public:
    frmLanguage();

    void Form_Load() {}

    QListWidget *List1 = nullptr;
};
