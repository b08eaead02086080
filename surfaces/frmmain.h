#pragma once

#include <QObject>
#include <QString>

// The menu host: owns the control bar's popup menus and the database
// directory. Never shown.
class frmMain : public QObject
{
    Q_OBJECT
public:
    frmMain() = default;

    void Form_Load() {}

    // The database directory; always ends in "/".
    QString DVDdbDir;
};
