#pragma once

#include "surfaces/makeregion.h"

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;
class skinButton;

// The main control bar: a borderless window cut to the outline of its skin,
// with the transport, scan and window buttons, the display and the status
// line. It is dragged by its background and its display, and its right-click
// menu lives on the menu host.
class frmNMain : public QWidget
{
    Q_OBJECT
public:
    frmNMain();

    void Form_Load();
    // Applies the bar's colours.
    void ColorRendering();
    // Saves the automatic bookmark when that option is on, then ends the
    // program.
    void AutoBook();

    // Transport row.
    skinButton *btnPreCh = nullptr;
    skinButton *btnStop = nullptr;
    skinButton *btnPlay = nullptr;
    skinButton *btnNextCh = nullptr;
    // Scan row: backwards and forwards at 8, 4 and 2 times, and normal play.
    skinButton *btnBack8 = nullptr;
    skinButton *btnBack4 = nullptr;
    skinButton *btnBackW = nullptr;
    skinButton *btnNorPlay = nullptr;
    skinButton *btnFF = nullptr;
    skinButton *btnFF4 = nullptr;
    skinButton *btnFF8 = nullptr;
    // The buttons that open the other windows.
    skinButton *btnDVDpanel = nullptr;
    skinButton *btnMenu = nullptr;
    skinButton *btnDVDdb = nullptr;
    skinButton *btnSettings = nullptr;

    // The display area and what it shows; written by the notification handler
    // and cleared by the stop command.
    QWidget *Shape1 = nullptr;
    QLabel *lblTime = nullptr;
    QLabel *lblChap = nullptr;
    QLabel *lblLan = nullptr;
    QLabel *lblDVDtit = nullptr;
    QLabel *imgDVDlogo = nullptr;
    QLabel *St = nullptr; // status line: the button under the pointer

    // The skin; its silver pixels are cut away from the window. Replaced by an
    // empty picture once the window is shaped.
    QImage Picture;

    bool boolOnTop = false; // written by the "On Top" menu item

    // The quoted command line the load acts on; this program run's by default.
    QString commandLine;

    // The font of the four display labels.
    static QFont displayFont();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createButtons();
    void nameForScreenReaders();
    void fitScanMarks();
    void acceptDesktopInput();
    skinButton *addButton(const char *name, const QRect &at, const QString &caption,
                          const QString &fontName, double fontSize, bool bold,
                          const QString &toolTip);
    void connectButtons();
    void createDisplay();
    void applyDesignColors();

    void Form_MouseDown(Qt::MouseButtons buttons, const QPoint &globalPosition);
    void Button_MouseOver(skinButton *button);
    void Button_MouseOut();
    void btnDVDpanel_MouseOver();
    void Scan(bool forwards, double speed);
    void btnDVDpanel_Click();
    void btnMenu_Click();
    void btnDVDdb_Click();
    void btnSettings_Click();

    OutlineRims rims_;
};
