#pragma once

#include <QWidget>

class QLineEdit;

// The record editor. So far it holds what the unknown-disc prompt fills in:
// the disc identifier, locked when it comes from the disc.
class frmAddDVD : public QWidget
{
    Q_OBJECT
public:
    frmAddDVD();

    void Form_Load() {}

    QLineEdit *DVDid = nullptr;
};
