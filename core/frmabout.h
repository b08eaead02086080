#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class skinButton;

// The about window: the program's name, version and credits, and the maker's
// web and mail addresses.
class frmAbout : public QWidget
{
    Q_OBJECT
public:
    frmAbout();

    void Form_Load();

    static QString webAddress();
    static QString mailAddress();

    QLabel *lblName = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCredits = nullptr;
    skinButton *btnWeb = nullptr;
    skinButton *btnMail = nullptr;
    skinButton *btnOK = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void placeButtons();
    // Its own dark look always: the about window takes no colour scheme.
    void applyDesignColors();
    void btnWeb_Click();
    void btnMail_Click();
    void btnOK_Click();
};
