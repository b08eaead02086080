#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;

// The database browser. So far it holds the display of one record, which the
// notification handler fills when a known disc starts.
class frmDVDdb : public QWidget
{
    Q_OBJECT
public:
    frmDVDdb();

    void Form_Load() {}

    // Shows a record's nine lines: lines 1 to 8 in i1 to i8, line 9 in
    // PicCheck, and the picture it names from the database directory; "0"
    // shows the default picture, a picture that cannot be loaded keeps the
    // one shown before.
    void ShowRecord(const QStringList &lines);

    QLineEdit *i1 = nullptr;
    QLineEdit *i2 = nullptr;
    QLineEdit *i3 = nullptr;
    QLineEdit *i4 = nullptr;
    QLineEdit *i5 = nullptr;
    QLineEdit *i6 = nullptr;
    QLineEdit *i7 = nullptr;
    QLineEdit *i8 = nullptr;
    QLabel *PicCheck = nullptr; // line 9 of the record shown, hidden
    QLabel *Image1 = nullptr;   // the record's picture
    QLabel *DVDlogo = nullptr;  // the default picture, hidden

private:
    std::array<QLineEdit *, 8> fields() const { return {i1, i2, i3, i4, i5, i6, i7, i8}; }
    void showPicture(const QString &name);
};
