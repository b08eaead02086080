#pragma once

#include <QString>
#include <QWidget>

class Inet;
class QLabel;
class skinButton;

// The settings window's "Update" tab: "Search" asks the update server, the
// status line follows the fetch, and the reply's verdict is shown (a new
// version opens its download page).
class UpdatePanel : public QWidget
{
    Q_OBJECT
public:
    explicit UpdatePanel(QWidget *parent);

    QLabel *statUs = nullptr;
    skinButton *skinButton16 = nullptr; // "Search"
    Inet *inet = nullptr;
    QString DATAgiven; // the server's last reply

private:
    void skinButton16_Click();
    void Inet_StateChanged(int state);
    void showUpdateResult();
};
