#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One player per user: a start while the player runs hands its argument
// (a disc source or a scheme file, or nothing) to the running program and
// ends. The socket and its lock live in a folder only the user can reach,
// and a start hands over only to a player of the same user. The key names
// the user and the display; VIDORA_INSTANCE_KEY replaces it, so that
// separate runs (tests among them) stay apart.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The local socket name of this user's player on this display.
    static QString key();
    // $XDG_RUNTIME_DIR when it is the user's own folder closed to others;
    // otherwise such a folder of the user's own under the temporary folder,
    // created when missing. Empty when neither can be had.
    static QString runtimeFolder();
    // The socket's path in that folder; empty without one.
    static QString socketPath();

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
    bool sendToRunning(const QString &path, const QString &argument);
    void receive();

    QLocalServer server_;
};
