#pragma once

#include <QWidget>

class QPushButton;

// The menu navigation pad: five buttons that move the highlight in a DVD menu
// and press the highlighted menu button.
class frmNav : public QWidget
{
    Q_OBJECT
public:
    frmNav();

    void Form_Load() {}

    QPushButton *btnUp = nullptr;
    QPushButton *btnLeft = nullptr;
    QPushButton *btnActive = nullptr;
    QPushButton *btnRight = nullptr;
    QPushButton *btnDown = nullptr;
};
