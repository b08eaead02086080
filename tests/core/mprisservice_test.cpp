#include "coretest.h"
#include "privatebus.h"

#include "core/mprisservice.h"
#include "settings/frmsettings.h"
#include "settings/schemeeditor.h"
#include "support/waitfor.h"
#include "widgets/skinbutton.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QPointer>
#include <QTimer>

// The media keys' interface, driven through the bus as a desktop panel does.
class MprisTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        service = QDBusConnection::connectToBus(bus.address(), QStringLiteral("mpris-service"));
        client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("mpris-client"));
        control->domain = DvdDomain::kTitle;
        mpris = std::make_unique<MprisService>();
        ASSERT_TRUE(mpris->registerOn(service));
    }
    void TearDown() override
    {
        mpris.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-client"));
        CoreTest::TearDown();
    }

    // The service answers on this thread: a call is sent and events run
    // until its reply is in.
    QDBusMessage callAndWait(const char *interface, const char *method,
                             const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            MprisService::serviceName(), MprisService::kObjectPath, QString::fromLatin1(interface),
            QString::fromLatin1(method));
        message.setArguments(arguments);
        const QDBusPendingCall pending = client.asyncCall(message);
        EXPECT_TRUE(waitFor([&] { return pending.isFinished(); }, 10000)) << method;
        return pending.reply();
    }
    void call(const char *method)
    {
        const QDBusMessage reply = callAndWait("org.mpris.MediaPlayer2.Player", method);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method;
    }
    QVariant property(const char *interface, const char *name)
    {
        const QDBusMessage reply =
            callAndWait("org.freedesktop.DBus.Properties", "Get",
                        {QString::fromLatin1(interface), QString::fromLatin1(name)});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariantMap metadata()
    {
        return qdbus_cast<QVariantMap>(
            property("org.mpris.MediaPlayer2.Player", "Metadata").value<QDBusArgument>());
    }

    PrivateBus bus;
    QDBusConnection service{QString()};
    QDBusConnection client{QString()};
    std::unique_ptr<MprisService> mpris;
};

TEST_F(MprisTest, EachMethodRunsTheBarsPlayerCommand)
{
    const std::vector<std::pair<const char *, QString>> methods{{"Play", "Play"},
                                                                {"Pause", "Pause"},
                                                                {"Next", "PlayNextChapter"},
                                                                {"Previous", "PlayPrevChapter"},
                                                                {"PlayPause", "Pause"},
                                                                {"Stop", "Stop"}};
    for (const auto &[method, operation] : methods) {
        control->calls.clear();
        call(method);
        EXPECT_TRUE(control->calls.contains(operation))
            << method << ": " << control->calls.join(u',').toStdString();
    }
    control->domain = DvdDomain::kStop;
    control->calls.clear();
    call("PlayPause");
    EXPECT_TRUE(control->calls.contains("Play")) << "stopped: PlayPause plays";

    // Outside a title the chapter keys do nothing, as the bar's do.
    control->domain = DvdDomain::kVideoManagerMenu;
    control->calls.clear();
    call("Next");
    call("Pause");
    EXPECT_FALSE(control->calls.contains("PlayNextChapter"));
    EXPECT_FALSE(control->calls.contains("Pause"));
}

TEST_F(MprisTest, StatusAndMetadataFollowTheDiscAndTheDatabase)
{
    EXPECT_EQ(property("org.mpris.MediaPlayer2", "Identity").toString(), "KORVANE Vidora 2.3");
    EXPECT_EQ(property("org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Playing");
    QVariantMap now = metadata();
    EXPECT_EQ(now.value("xesam:title").toString(), "Unknown DVD");
    EXPECT_EQ(now.value("mpris:length").toLongLong(), 105LL * 60 * 1000000);

    QFile record(database.filePath(control->discId + ".DVD"));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write("Night Train\r\n1999\r\n");
    record.close();
    EXPECT_EQ(metadata().value("xesam:title").toString(), "Night Train");

    control->domain = DvdDomain::kStop;
    EXPECT_EQ(property("org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString(), "Stopped");
    EXPECT_TRUE(metadata().isEmpty());
}

namespace
{

class ChangeListener : public QObject
{
    Q_OBJECT
public:
    QVariantMap changed;

public slots:
    void onChanged(const QString &, const QVariantMap &properties, const QStringList &)
    {
        changed.insert(properties);
    }
};

} // namespace

// Anyone on the bus may call as often as they like: a call that cannot be
// carried out answers its caller with an error and opens no window.
TEST_F(MprisTest, ACallThatCannotBeCarriedOutAnswersWithAnErrorNotAWindow)
{
    control->domain = DvdDomain::kStop;
    control->failOn("Play", ErrorNumbers::kNoDisc, "The drive holds no disc.");
    for (int i = 0; i < 3; ++i) {
        const QDBusMessage reply = callAndWait("org.mpris.MediaPlayer2.Player", "PlayPause");
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
        EXPECT_FALSE(reply.errorMessage().isEmpty());
    }
    const QDBusMessage web = callAndWait("org.mpris.MediaPlayer2.Player", "OpenUri",
                                         {QStringLiteral("http://example.com/disc.iso")});
    EXPECT_EQ(web.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(messages().isEmpty());
}

// Quit while a window's handler waits in a dialog: freeing the window and the
// dialog under that handler aborted the program. The dialog is cancelled, the
// handler returns, and then the program ends.
TEST_F(MprisTest, QuitWithADialogOpenCancelsItBeforeEnding)
{
    Dialogs::install(nullptr); // the desktop's own dialogs
    QPointer<frmSettings> settings = form<frmSettings>();
    settings->show();
    bool handlerReturned = false;
    QTimer::singleShot(0, settings, [&] {
        emit settings->schemeEditor->skinButton11->Click(); // "Load color scheme"
        handlerReturned = true;
    });
    QTimer quitOnceOpen;
    QObject::connect(&quitOnceOpen, &QTimer::timeout, [&] {
        if (!QApplication::activeModalWidget())
            return;
        quitOnceOpen.stop();
        client.asyncCall(QDBusMessage::createMethodCall(
            MprisService::serviceName(), MprisService::kObjectPath,
            QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")));
    });
    quitOnceOpen.start(20);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, qApp, &QCoreApplication::quit);
    giveUp.start(20000);
    QApplication::exec();
    EXPECT_TRUE(handlerReturned);
    EXPECT_FALSE(settings) << "the program did not end";
}

TEST_F(MprisTest, AStopIsAnnouncedToThePanel)
{
    ChangeListener listener;
    ASSERT_TRUE(client.connect(MprisService::serviceName(), MprisService::kObjectPath,
                               "org.freedesktop.DBus.Properties", "PropertiesChanged", &listener,
                               SLOT(onChanged(QString, QVariantMap, QStringList))));
    control->domain = DvdDomain::kStop;
    control->notify(DvdEvent::kPlaybackStopped, 0);
    EXPECT_TRUE(waitFor([&] { return listener.changed.contains("PlaybackStatus"); }, 5000));
    EXPECT_EQ(listener.changed.value("PlaybackStatus").toString(), "Stopped");
}

#include "mprisservice_test.moc"
