#include "core/singleinstance.h"

#include "base/localpath.h"
#include "base/logging.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// A folder only this user can reach: a folder itself (no link), owned by
// the user, closed to everyone else.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat status {
    };
    return ::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

// True when what answers at the socket runs as this user: anyone else's
// program there would be handed the paths the user opens.
bool peerIsThisUser(const QLocalSocket &socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) ==
               0 &&
           peer.uid == ::getuid();
}

bool isOwnSocket(const QString &path)
{
    struct stat status {
    };
    return ::lstat(LocalPath::toBytes(path).constData(), &status) == 0 &&
           S_ISSOCK(status.st_mode) && status.st_uid == ::getuid();
}

} // namespace

QString SingleInstance::runtimeFolder()
{
    const QByteArray given = qgetenv("XDG_RUNTIME_DIR");
    if (given.startsWith('/') && isPrivateFolder(given))
        return LocalPath::fromBytes(given);
    // Without one, a folder of the user's own under the temporary folder; one
    // that someone else made or opened up is not used.
    const QByteArray own =
        LocalPath::toBytes(QDir::tempPath()) + "/vidora-runtime-" + QByteArray::number(::getuid());
    ::mkdir(own.constData(), 0700);
    if (isPrivateFolder(own))
        return LocalPath::fromBytes(own);
    return {};
}

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

QString SingleInstance::socketPath()
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return {};
    return folder + u'/' + QString(key()).replace(u'/', u'_');
}

// Without a private folder this program runs on its own: it neither hands
// over nor receives.
bool SingleInstance::handOver(const QString &argument)
{
    const QString socket = socketPath();
    if (socket.isEmpty()) {
        qCWarning(logUi) << "no private runtime folder: starting without hand-over";
        return false;
    }
    // Serialises the check for a running player and the claim, so that two
    // starts at the same moment cannot both become the one that receives.
    QLockFile lock(socket + QStringLiteral(".lock"));
    lock.tryLock(kReplyMs);
    if (sendToRunning(socket, absoluteArgument(argument)))
        return true;
    // A socket left by a player that died would refuse every claim.
    QLocalServer::removeServer(socket);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(socket))
        connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
    return false;
}

bool SingleInstance::sendToRunning(const QString &path, const QString &argument)
{
    if (!isOwnSocket(path))
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kConnectMs) || !peerIsThisUser(socket))
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
