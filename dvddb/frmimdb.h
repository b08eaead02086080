#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class skinButton;

// Looks a title up in the outside movie database: "Search" opens the user's
// web browser on the service's title search with the keywords filled in, and
// the window stays open for another search.
class frmIMDb : public QWidget
{
    Q_OBJECT
public:
    frmIMDb();

    void Form_Load();
    void ColorRendering();

    // The search address for the keywords. The characters that would end or
    // change the query value are percent-encoded; everything else is left as
    // typed.
    static QString searchAddress(const QString &keywords);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *keyWord = nullptr;
    skinButton *iIn = nullptr; // "Search"
    QLabel *Label2 = nullptr;

    void iIn_Click();
};
