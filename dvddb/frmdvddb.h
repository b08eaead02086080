#pragma once

#include "dvddb/filelist.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTimer;
class skinButton;

// The database browser: lists the titles of the records in the database
// directory, shows the one selected, finds titles by keyword, and starts the
// editor, deletion, import and the movie search. It keeps nothing but the
// two parallel lists; a 500 ms watch rebuilds them when the number of record
// files changes.
class frmDVDdb : public QWidget
{
    Q_OBJECT
public:
    frmDVDdb();

    void Form_Load();
    void ColorRendering();

    // Rebuilds List1 (titles) and List2 (paths) from the database directory.
    void MakeList();

    // Shows a record's nine lines: lines 1 to 8 in i1 to i8, line 9 in
    // shownPicture, and the picture it names from the database directory; "0"
    // shows the default picture, a picture that cannot be loaded keeps the
    // one shown before.
    void ShowRecord(const QStringList &lines);

    QLabel *Label1 = nullptr;
    QListWidget *List1 = nullptr;
    QStringList List2; // the record files' paths, parallel to List1
    FileList File1{QStringLiteral("*.dvd")};
    skinButton *iIn = nullptr;         // "New"
    skinButton *skinButton1 = nullptr; // "Edit"
    skinButton *skinButton2 = nullptr; // "Delete"
    skinButton *skinButton5 = nullptr; // "Import"
    skinButton *skinButton3 = nullptr; // "Search in the IMDb"
    QLineEdit *txtKey = nullptr;
    skinButton *btnSearchDB = nullptr;
    skinButton *btnExport = nullptr; // "Export...": the collection as CSV or a web page
    skinButton *btnLink = nullptr;   // "Link to this disc": the playing disc shares the record
    QLabel *Image1 = nullptr;                   // the record's picture
    QPixmap defaultPicture;                     // shown for a record without one
    QString shownPicture = QStringLiteral("0"); // line 9 of the record shown
    QLineEdit *i1 = nullptr;
    QLineEdit *i2 = nullptr;
    QLineEdit *i3 = nullptr;
    QLineEdit *i4 = nullptr;
    QLineEdit *i5 = nullptr;
    QPlainTextEdit *i6 = nullptr;
    QLineEdit *i7 = nullptr;
    QLineEdit *i8 = nullptr;
    QTimer *Timer1 = nullptr;

    // Where the last keyword search stopped; see btnSearchDB_Click.
    int searchPos = 0;

    void List1_Click();
    void iIn_Click();
    void skinButton1_Click();
    void skinButton2_Click();
    void skinButton5_Click();
    void skinButton3_Click();
    void btnSearchDB_Click();
    void Timer1_Timer();
    void btnExport_Click();
    void btnLink_Click();

private:
    void buildFields();
    void buildButtons();
    QList<skinButton *> buttons() const;
    QList<QWidget *> fieldBoxes() const;
    int selectedRow() const; // -1 when no entry is selected
    void showPicture(const QString &name);

    QList<QLabel *> captions_;
    bool searchFound_ = false; // a search has found an entry since the load
    bool rebuilding_ = false;
};
