#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One player per user: a start while the player runs hands its argument
// (a disc source or a scheme file, or nothing) to the running program and
// ends. The key names the user and the display, so users never meet;
// VIDORA_INSTANCE_KEY replaces it, so that separate runs (tests among them)
// stay apart.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The local socket name of this user's player on this display.
    static QString key();

    // Hands the argument to the running player and returns true; when none
    // runs, this program becomes the one that receives and returns false.
    bool handOver(const QString &argument);

    // A relative path as this process sees it, made absolute for a program
    // in another working folder; a folder keeps its trailing "/".
    static QString absoluteArgument(const QString &argument);

signals:
    // An argument handed over by a later start, already absolute; empty
    // when that start had none.
    void argumentReceived(const QString &argument);

private:
    bool sendToRunning(const QString &argument);
    void receive();

    QLocalServer server_;
};
