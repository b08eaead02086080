#include "privatebus.h"
#include "programrun.h"
#include "support/oddname.h"
#include "support/waitfor.h"

#include "core/mprisservice.h"
#include "core/singleinstance.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QLocalServer>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

// Two starts of the real program on the generated disc, watched through the
// media panel's interface on a bus of the test's own.
namespace
{

QVariant playerProperty(const QDBusConnection &bus, const char *name)
{
    QDBusInterface properties(MprisService::serviceName(), MprisService::kObjectPath,
                              QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    const QDBusReply<QDBusVariant> reply =
        properties.call(QStringLiteral("Get"), QStringLiteral("org.mpris.MediaPlayer2.Player"),
                        QString::fromLatin1(name));
    return reply.isValid() ? reply.value().variant() : QVariant();
}

QProcessEnvironment playerEnvironment(const PrivateBus &bus)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    environment.insert("VIDORA_INSTANCE_KEY",
                       QStringLiteral("vidora-test-%1").arg(QCoreApplication::applicationPid()));
    return environment;
}

// A copy of the generated disc's VIDEO_TS.
bool copyDisc(const QString &from, const QString &plain)
{
    if (!QDir().mkpath(plain + "/VIDEO_TS"))
        return false;
    for (const QString &file : QDir(from + "/VIDEO_TS").entryList(QDir::Files)) {
        const QString copy = plain + "/VIDEO_TS/" + file;
        if (!QFile::copy(from + "/VIDEO_TS/" + file, copy) ||
            !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner))
            return false;
    }
    return true;
}

// Starts the program as a terminal does, with its argument as bytes:
// QProcess would pass it as UTF-8, which some of these names are not.
void startWithArgument(QProcess &process, const QString &scratch, const QByteArray &argument)
{
    QFile script(scratch + "/start.sh");
    script.open(QIODevice::WriteOnly | QIODevice::Truncate);
    script.write("exec \"$1\" '" + argument + "'\n");
    script.close();
    process.start(QStringLiteral("/bin/sh"), {script.fileName(), programPath()});
}

// The runtime and temporary folders of one test, and a key of its own.
class InstanceFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        qputenv("VIDORA_INSTANCE_KEY", "vidora-folders");
    }
    void TearDown() override
    {
        for (const char *name : {"XDG_RUNTIME_DIR", "TMPDIR", "VIDORA_INSTANCE_KEY"})
            qunsetenv(name);
    }
    static bool isSocket(const QString &path)
    {
        struct stat status {
        };
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0 &&
               S_ISSOCK(status.st_mode);
    }

    QTemporaryDir runtime; // made 0700
    QTemporaryDir temporary;
};

} // namespace

TEST_F(InstanceFolders, TheSocketLivesOnlyInAFolderOfTheUsersOwn)
{
    SingleInstance first;
    EXPECT_FALSE(first.handOver(QString()));
    EXPECT_TRUE(isSocket(runtime.filePath("vidora-folders")));

    // A runtime folder open to others is not used; one of the user's own
    // under the temporary folder is, unless someone opened that up too.
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0755), 0);
    const QString own = temporary.filePath(QStringLiteral("vidora-runtime-%1").arg(::getuid()));
    EXPECT_EQ(SingleInstance::runtimeFolder(), own);
    EXPECT_EQ(QFile::permissions(own) & 0x0077, 0);
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    EXPECT_TRUE(SingleInstance::runtimeFolder().isEmpty());
    SingleInstance alone;
    EXPECT_FALSE(alone.handOver(QString()));
    EXPECT_FALSE(isSocket(own + "/vidora-folders"));
}

// Another local user's socket in its place receives nothing, and the start
// becomes the player that receives (needs root to make the planted file
// someone else's).
TEST_F(InstanceFolders, AStartNeverHandsOverToAnotherUsersSocket)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "making a file another user's needs root";
    QLocalServer planted;
    ASSERT_TRUE(planted.listen(SingleInstance::socketPath()));
    ASSERT_EQ(::chown(QFile::encodeName(SingleInstance::socketPath()).constData(), 65534, 65534),
              0);
    SingleInstance start;
    EXPECT_FALSE(start.handOver(QStringLiteral("/home/user/private.iso")));
    EXPECT_FALSE(planted.waitForNewConnection(0));
    EXPECT_TRUE(isSocket(SingleInstance::socketPath()));
}

TEST(SingleInstance, ASecondStartHandsItsDiscToTheRunningPlayer)
{
    const QString discs = qEnvironmentVariable("VIDORA_TEST_DISCS");
    if (!QDir(discs + "/sample").exists("VIDEO_TS"))
        GTEST_SKIP() << "no generated test disc";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const QProcessEnvironment environment = playerEnvironment(bus);

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(programPath(), {});
    const QDBusConnection panel =
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("panel"));
    ASSERT_TRUE(
        waitFor([&] { return panel.interface()->isServiceRegistered(MprisService::serviceName()); },
                20000));
    EXPECT_EQ(playerProperty(panel, "PlaybackStatus").toString(), "Stopped");

    // A relative mount point without its trailing "/", from another folder.
    QProcess second;
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(discs);
    second.start(programPath(), {QStringLiteral("sample")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(waitFor(
        [&] { return playerProperty(panel, "PlaybackStatus").toString() == "Playing"; }, 20000));
    const QVariantMap metadata =
        qdbus_cast<QVariantMap>(playerProperty(panel, "Metadata").value<QDBusArgument>());
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Unknown DVD");
    EXPECT_TRUE(metadata.contains("mpris:length")) << "0 while the disc's menu plays";

    // The headless modes answer themselves, never through the running player.
    const ProgramRun info =
        runProgram({QStringLiteral("--dvd-info"), discs + "/sample"}, environment);
    EXPECT_EQ(info.status, 0);
    EXPECT_TRUE(info.out.contains("\"titles\""));

    first.terminate();
    EXPECT_TRUE(first.waitForFinished(10000));
    QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
}

// Names are taken byte for byte, in a UTF-8 locale: blanks at either end
// and a byte that is no UTF-8, handed over and at the start.
TEST(SingleInstance, SourceNamesKeepTheirBlanksAndBytes)
{
    const QString discs = qEnvironmentVariable("VIDORA_TEST_DISCS");
    if (!QDir(discs + "/sample").exists("VIDEO_TS"))
        GTEST_SKIP() << "no generated test disc";
    QTemporaryDir scratch;
    const QByteArray name = " Disc\xE9 ";
    ASSERT_TRUE(copyDisc(discs + "/sample", scratch.filePath("copy")));
    const OddName renamed(scratch.filePath("copy"), QFile::encodeName(scratch.path()) + '/' + name);
    ASSERT_TRUE(renamed.renamed());
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    QProcessEnvironment environment = playerEnvironment(bus);
    environment.insert("LANG", "C.UTF-8");
    environment.remove("LC_ALL");
    const QDBusConnection panel =
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("panel"));
    const auto status = [&] { return playerProperty(panel, "PlaybackStatus").toString(); };

    // Without a source the player stays stopped, so only the right name plays.
    QProcess running;
    running.setProcessEnvironment(environment);
    running.start(programPath(), {});
    ASSERT_TRUE(waitFor([&] { return status() == "Stopped"; }, 20000));
    QProcess second;
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(scratch.path());
    startWithArgument(second, scratch.path(), name + '/');
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(waitFor([&] { return status() == "Playing"; }, 20000)) << status().toStdString();
    running.terminate();
    ASSERT_TRUE(running.waitForFinished(10000));

    QProcess started;
    started.setProcessEnvironment(environment);
    startWithArgument(started, scratch.path(), QFile::encodeName(scratch.path()) + '/' + name);
    EXPECT_TRUE(waitFor([&] { return status() == "Playing"; }, 20000)) << status().toStdString();
    started.terminate();
    EXPECT_TRUE(started.waitForFinished(10000));
    QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
}
