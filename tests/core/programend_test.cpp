#include "privatebus.h"
#include "programrun.h"
#include "support/waitfor.h"

#include "core/mprisservice.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>

#include <gtest/gtest.h>

#include <csignal>

// The real program playing the generated disc, ended each way a desktop
// ends it. Every way ends it in order: a normal exit, and no report from a
// sanitizer build (leaks, threads) on standard error.
namespace
{

QString sampleDisc()
{
    const QString discs = qEnvironmentVariable("VIDORA_TEST_DISCS");
    return QDir(discs + "/sample").exists("VIDEO_TS") ? discs + "/sample" : QString();
}

// Starts the program on the disc and waits until the media panel says it
// plays.
class PlayingProgram
{
public:
    PlayingProgram(const PrivateBus &bus, QProcessEnvironment environment)
        : panel_(QDBusConnection::connectToBus(bus.address(), QStringLiteral("ending")))
    {
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        environment.insert("VIDORA_INSTANCE_KEY",
                           QStringLiteral("vidora-end-%1").arg(QCoreApplication::applicationPid()));
        process.setProcessEnvironment(environment);
        process.start(programPath(), {sampleDisc()});
    }
    ~PlayingProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("ending"));
    }
    PlayingProgram(const PlayingProgram &) = delete;
    PlayingProgram &operator=(const PlayingProgram &) = delete;

    bool playing()
    {
        return waitFor(
            [&] {
                QDBusInterface properties(MprisService::serviceName(), MprisService::kObjectPath,
                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                          panel_);
                const QDBusReply<QDBusVariant> reply = properties.call(
                    QStringLiteral("Get"), QStringLiteral("org.mpris.MediaPlayer2.Player"),
                    QStringLiteral("PlaybackStatus"));
                return reply.isValid() && reply.value().variant().toString() == "Playing";
            },
            30000);
    }
    void quitThroughThePanel()
    {
        QDBusInterface(MprisService::serviceName(), MprisService::kObjectPath,
                       QStringLiteral("org.mpris.MediaPlayer2"), panel_)
            .call(QDBus::NoBlock, QStringLiteral("Quit"));
    }
    // What went wrong in the ending, empty when it ended in order.
    QString endingFault(bool zeroStatus = true)
    {
        if (!process.waitForFinished(30000))
            return QStringLiteral("still running");
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        if (process.exitStatus() != QProcess::NormalExit)
            return QStringLiteral("ended by signal %1: %2").arg(process.exitCode()).arg(err);
        if (err.contains("Sanitizer") || (zeroStatus && process.exitCode() != 0))
            return QStringLiteral("status %1: %2").arg(process.exitCode()).arg(err);
        return {};
    }

    QProcess process;

private:
    QDBusConnection panel_;
};

QProcessEnvironment offscreen()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
}

// An X server of the test's own.
class XServer
{
public:
    XServer()
    {
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1024x768x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                       QStringLiteral("-noreset")});
        if (server_.waitForStarted(5000) && server_.waitForReadyRead(10000))
            display_ = ':' + QString::fromLatin1(server_.readLine()).trimmed();
    }
    ~XServer() { end(); }
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    QString display() const { return display_; }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display_);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        return environment;
    }
    void end()
    {
        server_.terminate();
        if (!server_.waitForFinished(5000))
            server_.kill();
        server_.waitForFinished();
    }

private:
    QProcess server_;
    QString display_;
};

} // namespace

TEST(ProgramEnd, SignalsAndThePanelsQuitEndThePlayingProgramInOrder)
{
    if (sampleDisc().isEmpty())
        GTEST_SKIP() << "no generated test disc";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, 0}) {
        SCOPED_TRACE(signal);
        PlayingProgram program(bus, offscreen());
        ASSERT_TRUE(program.playing());
        if (signal)
            ::kill(pid_t(program.process.processId()), signal);
        else
            program.quitThroughThePanel();
        EXPECT_EQ(program.endingFault(), QString());
    }
}

// The end of the desktop session takes the display with it.
TEST(ProgramEnd, ALostDisplayEndsThePlayingProgramWithoutACrash)
{
    if (sampleDisc().isEmpty())
        GTEST_SKIP() << "no generated test disc";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    XServer x;
    ASSERT_FALSE(x.display().isEmpty()) << "Xvfb did not start";
    PlayingProgram program(bus, x.environment());
    ASSERT_TRUE(program.playing());
    x.end();
    EXPECT_EQ(program.endingFault(false), QString());
}
