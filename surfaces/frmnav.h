#pragma once

#include <QWidget>

class skinButton;

// The menu navigation pad: five buttons laid out as a cross that move the
// highlight of a DVD menu and activate the highlighted button. Outside a
// menu they do nothing.
class frmNav : public QWidget
{
    Q_OBJECT
public:
    frmNav();

    void Form_Load();
    void ColorRendering();

    skinButton *btnUp = nullptr;
    skinButton *btnLeft = nullptr;
    skinButton *btnActive = nullptr;
    skinButton *btnRight = nullptr;
    skinButton *btnDown = nullptr;

private:
    void applyDesignColors();
    skinButton *addButton(const char *name, const QString &caption, int left, int top,
                          void (*command)());
};
