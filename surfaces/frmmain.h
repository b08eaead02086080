#pragma once

#include <QString>
#include <QWidget>

class QAction;
class QMenu;
class QSessionManager;

// The menu host: owns the control bar's popup menus and asks before the
// program is closed from outside. Never shown; its load runs at the first use
// of one of its menus.
class frmMain : public QWidget
{
    Q_OBJECT
public:
    frmMain();

    // The popup of the "Menu List" button: the DVD menus and "Resume".
    QMenu *menus();
    // The bar's right-click menu: "On Top", "About", "Minimize", "Close".
    QMenu *mnuInMenu();
    // The drive door menu; nothing pops it up.
    QMenu *mcd();

    bool isHostLoaded() const { return loaded_; }
    void ColorRendering();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Not public on purpose: the registry must not run it on creation.
    void Form_Load();
    void ensureLoaded();
    void buildMenus();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption,
                     void (frmMain::*handler)());

    void mnuOnTop_Click();
    void mnuAbout_Click();
    void mnuMin_Click();
    void mnuClose_Click();
    bool confirmExit();
    void commitDataRequest(QSessionManager &manager);

    bool loaded_ = false;
    QMenu *menus_ = nullptr;
    QMenu *mnuInMenu_ = nullptr;
    QMenu *mcd_ = nullptr;
    QAction *mnuOnTop = nullptr;
};
