#pragma once

#include "settings/colorscheme.h"

#include <QWidget>

#include <array>

class Inet;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTimer;
class skinButton;

// The settings window: the disc in the player, region and decoders, the
// player options, the colour scheme editor, the database options and the
// update check. Its "DVD Name:" box also holds the current disc's name for
// the rest of the program, so the window is often created without being
// shown.
class frmSettings : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kColorsTab = 3;

    frmSettings();

    void Form_Load();

    // Reads a scheme file into the swatches and the name boxes.
    void ColorLoad(const QString &fileName);
    // Stores the swatches and the name boxes as the current scheme; false
    // (after saying why) when a write failed.
    bool ColorSave();
    // Shows the window on its "Colors" tab and loads the scheme file there.
    void OpenSchemeFile(const QString &fileName);
    // The scheme the swatches and name boxes now hold.
    SchemeColors editedScheme() const;

    QTabWidget *Tab = nullptr;

    // "DVD info".
    QLineEdit *DVDname = nullptr;
    QLineEdit *Text1 = nullptr; // unique number
    QLineEdit *Text2 = nullptr; // audio streams
    QLineEdit *Text3 = nullptr; // angles
    QLineEdit *Text4 = nullptr; // subtitles
    QLineEdit *Text5 = nullptr; // directory
    QLineEdit *Text6 = nullptr; // disc side
    QLineEdit *Text7 = nullptr; // frames per second

    // "Region/Decoders".
    skinButton *skinButton4 = nullptr; // "Change Region"
    QLabel *lblDecoders = nullptr;
    skinButton *skinButton14 = nullptr; // "Install DVD decoders"
    skinButton *skinButton15 = nullptr; // "Uninstall DVD decoders"
    QLabel *lblQuote = nullptr;         // hidden; holds the double quote of the batch files

    // "Player".
    QCheckBox *Ch = nullptr;     // bookmark at closing
    QCheckBox *Ch2 = nullptr;    // play at start-up
    QCheckBox *Check3 = nullptr; // full screen

    // "Colors": the six swatches in scheme order, then the name boxes.
    skinButton *skinButton1 = nullptr; // background
    skinButton *skinButton8 = nullptr; // buttons mouse over
    skinButton *skinButton7 = nullptr; // buttons back
    skinButton *skinButton2 = nullptr; // buttons fore
    skinButton *skinButton3 = nullptr; // display back
    skinButton *skinButton9 = nullptr; // display fore
    QLineEdit *txtName = nullptr;
    QLineEdit *txtCreator = nullptr;
    skinButton *skinButton5 = nullptr;  // "Apply"
    skinButton *skinButton6 = nullptr;  // "Save"
    skinButton *skinButton10 = nullptr; // "Save color scheme"
    skinButton *skinButton11 = nullptr; // "Load color scheme"
    skinButton *skinButton12 = nullptr; // "Default color scheme"
    QLabel *lblDownCS = nullptr;

    // "DVD database".
    QLineEdit *Text8 = nullptr;
    QCheckBox *Check1 = nullptr;        // offer to add unknown discs
    QCheckBox *Check2 = nullptr;        // show known discs
    skinButton *skinButton13 = nullptr; // "Save"

    // "Update".
    QLabel *statUs = nullptr;
    skinButton *skinButton16 = nullptr; // "Search"
    Inet *inet = nullptr;
    QString DATAgiven;

    QTimer *Timer1 = nullptr;

    std::array<skinButton *, 6> swatches() const;

    // The batch files of the decoder buttons, as written.
    static QByteArray decoderBatch(const QString &directory, bool install);
    // The page the colour scheme link opens.
    static QString schemeDownloadAddress();

private:
    QWidget *buildInfoTab();
    QWidget *buildRegionTab();
    QWidget *buildPlayerTab();
    QWidget *buildColorsTab();
    QWidget *buildDatabaseTab();
    QWidget *buildUpdateTab();
    skinButton *addButton(QWidget *parent, const char *name, const QString &caption);
    void connectHandlers();

    void fillDiscInfo();
    void showStoredScheme();
    void showDatabasePath();
    void closeWindow();

    void playerOption_Click(QCheckBox *box, const char *key);
    void swatch_Click(skinButton *swatch);
    void skinButton4_Click();
    void decoders_Click(bool install);
    void skinButton5_Click();
    void skinButton6_Click();
    void skinButton10_Click();
    void skinButton11_Click();
    void skinButton12_Click();
    void lblDownCS_Click();
    void skinButton13_Click();
    void skinButton16_Click();
    void Inet_StateChanged(int state);
    void showUpdateResult();
    void Timer1_Timer();
};
