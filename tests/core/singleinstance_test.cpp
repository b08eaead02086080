#include "privatebus.h"
#include "programrun.h"
#include "support/waitfor.h"

#include "core/mprisservice.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>

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

} // namespace

TEST(SingleInstance, ASecondStartHandsItsDiscToTheRunningPlayer)
{
    const QString discs = qEnvironmentVariable("VIDORA_TEST_DISCS");
    if (!QDir(discs + "/sample").exists("VIDEO_TS"))
        GTEST_SKIP() << "no generated test disc";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    environment.insert("VIDORA_INSTANCE_KEY",
                       QStringLiteral("vidora-test-%1").arg(QCoreApplication::applicationPid()));

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
