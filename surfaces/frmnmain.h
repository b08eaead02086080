#pragma once

#include <QWidget>

class QLabel;

// The main control bar: the window the user sees first.
class frmNMain : public QWidget
{
    Q_OBJECT
public:
    frmNMain();

    void Form_Load();

    // The display, written by the notification handler and cleared by stop.
    QLabel *lblTime = nullptr;
    QLabel *lblChap = nullptr;
    QLabel *lblLan = nullptr;
    QLabel *lblDVDtit = nullptr;
    QLabel *St = nullptr; // status line
    QLabel *imgDVDlogo = nullptr;

    bool boolOnTop = false;
    QString Tag = QStringLiteral("0"); // owned by the video window's click toggle
};
