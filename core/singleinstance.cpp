#include "core/singleinstance.h"

#include "base/localpath.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace
{

constexpr int kConnectMs = 1000;
constexpr int kReplyMs = 5000;
constexpr qint64 kLongestArgument = 64 * 1024;
const QByteArray kAccepted = "ok\n";

QString userName()
{
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(::getuid());
}

// Serialises the check for a running player and the claim, so that two
// starts at the same moment cannot both become the one that receives.
QString lockPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
        .filePath(SingleInstance::key() + QStringLiteral(".lock"));
}

} // namespace

// A player on another display (another seat, an Xvfb of a test) is out of
// the user's sight: it is not the one to hand a disc to.
QString SingleInstance::key()
{
    const QString chosen = qEnvironmentVariable("VIDORA_INSTANCE_KEY");
    if (!chosen.isEmpty())
        return chosen;
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    display.replace(u'/', u'_');
    return QStringLiteral("vidora-%1-%2").arg(userName(), display);
}

QString SingleInstance::absoluteArgument(const QString &argument)
{
    return argument.isEmpty() ? argument : LocalPath::absolute(argument);
}

bool SingleInstance::handOver(const QString &argument)
{
    QLockFile lock(lockPath());
    lock.tryLock(kReplyMs);
    if (sendToRunning(absoluteArgument(argument)))
        return true;
    // A socket left by a player that died would refuse every claim.
    QLocalServer::removeServer(key());
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(key()))
        connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
    return false;
}

bool SingleInstance::sendToRunning(const QString &argument)
{
    QLocalSocket socket;
    socket.connectToServer(key());
    if (!socket.waitForConnected(kConnectMs))
        return false;
    // The path's own bytes, in Base64 so that a line break inside a file
    // name cannot end the line.
    socket.write(LocalPath::toBytes(argument).toBase64() + '\n');
    if (!socket.waitForBytesWritten(kReplyMs))
        return false;
    // The answer comes once the running player has the whole line.
    while (socket.bytesAvailable() < kAccepted.size() && socket.waitForReadyRead(kReplyMs)) {
    }
    return socket.readAll() == kAccepted;
}

// Each connection brings one line; a longer or unfinished one is dropped.
void SingleInstance::receive()
{
    while (QLocalSocket *socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestArgument)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kLongestArgument);
            if (!line.endsWith('\n')) {
                socket->abort();
                return;
            }
            const QString argument = LocalPath::fromBytes(QByteArray::fromBase64(line.chopped(1)));
            socket->write(kAccepted);
            socket->disconnectFromServer();
            emit argumentReceived(argument);
        });
    }
}
