#pragma once

#include "settings/colorscheme.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTimer;
class SchemeEditor;
class UpdatePanel;
class skinButton;

// The settings window: the disc in the player, region and decoders, the
// player options, the colour scheme editor, the database options and the
// update check. The scheme editor and the update check are tabs of their
// own.
class frmSettings : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kColorsTab = 3;

    frmSettings();

    void Form_Load();

    // Shows the window on its "Colors" tab and loads the scheme file there.
    void OpenSchemeFile(const QString &fileName);
    // Shows the name of the disc in the player (PlayerState::discName).
    void showDiscName();

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

    // "Player".
    QCheckBox *Ch = nullptr;     // bookmark at closing
    QCheckBox *Ch2 = nullptr;    // play at start-up
    QCheckBox *Check3 = nullptr; // full screen
    QCheckBox *chkContinue = nullptr; // "Continue each disc where I left it"

    // "Colors".
    SchemeEditor *schemeEditor = nullptr;

    // "DVD database".
    QLineEdit *Text8 = nullptr;
    QCheckBox *Check1 = nullptr;        // offer to add unknown discs
    QCheckBox *Check2 = nullptr;        // show known discs
    skinButton *skinButton13 = nullptr; // "Save"

    // "Update".
    UpdatePanel *updatePanel = nullptr;

    QTimer *Timer1 = nullptr;

private:
    QWidget *buildInfoTab();
    QWidget *buildRegionTab();
    QWidget *buildPlayerTab();
    QWidget *buildDatabaseTab();
    void connectHandlers();

    void fillDiscInfo();
    void showDatabasePath();
    void closeWindow();

    void playerOption_Click(QCheckBox *box, const char *key);
    void skinButton4_Click();
    void skinButton13_Click();
    void Timer1_Timer();
};
