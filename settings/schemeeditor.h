#pragma once

#include "settings/colorscheme.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class skinButton;

// The settings window's "Colors" tab: six swatches, the scheme's name and
// creator, storing the scheme, scheme files and the default scheme.
class SchemeEditor : public QWidget
{
    Q_OBJECT
public:
    explicit SchemeEditor(QWidget *parent);

    // Reads a scheme file into the swatches and the name boxes.
    void ColorLoad(const QString &fileName);
    // Stores the swatches and the name boxes as the current scheme; false
    // (after saying why) when a write failed.
    bool ColorSave();
    // The scheme the swatches and name boxes now hold.
    SchemeColors editedScheme() const;
    // The stored scheme, or the default's names when none is stored.
    void showStoredScheme();

    // The page the colour scheme link opens.
    static QString schemeDownloadAddress();

    // The six swatches in scheme order, then the name boxes.
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

    std::array<skinButton *, 6> swatches() const;

signals:
    // The scheme was saved, or the default restored: the window closes.
    void finished();

private:
    void buildSwatches();
    void buildNamesAndButtons();
    void connectHandlers();

    void swatch_Click(skinButton *swatch);
    void skinButton6_Click();
    void skinButton10_Click();
    void skinButton11_Click();
    void skinButton12_Click();
    void lblDownCS_Click();
};
