#pragma once

#include <QWidget>

class QLineEdit;
class QTabWidget;

// The settings window. So far it holds its six tabs and the "DVD Name:" box,
// which also serves the program as the holder of the current disc's name.
class frmSettings : public QWidget
{
    Q_OBJECT
public:
    frmSettings();

    void Form_Load();

    QTabWidget *Tab = nullptr;
    QLineEdit *DVDname = nullptr;
};
