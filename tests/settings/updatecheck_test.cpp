#include "surfaces/surfacetesting.h"

#include "settings/frmsettings.h"
#include "settings/updatecheck.h"
#include "settings/updatepanel.h"
#include "support/addresscatcher.h"
#include "support/qtprinters.h"
#include "support/waitfor.h"
#include "widgets/skinbutton.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <gtest/gtest.h>

using namespace SurfaceTesting;
using UpdateReply::Result;

namespace
{

// A one-document web server on 127.0.0.1: answers every request with the
// body, or accepts and never answers when silent.
class UpdateServerDouble : public QObject
{
public:
    explicit UpdateServerDouble(QByteArray body, bool silent = false)
        : body_(std::move(body)), silent_(silent)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
    }
    QString address() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }
    QStringList paths;

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        paths << QString::fromLatin1(request.split(' ').value(1));
        if (silent_)
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
        socket->disconnectFromHost();
    }
    QTcpServer server_;
    QByteArray body_;
    bool silent_;
};

class UpdateCheck : public ScriptedControlTest
{
protected:
    void SetUp() override
    {
        ScriptedControlTest::SetUp();
        qputenv("VIDORA_UPDATE_TIMEOUT_MS", "1500");
    }
    void TearDown() override
    {
        qunsetenv("VIDORA_UPDATE_SERVER");
        qunsetenv("VIDORA_UPDATE_TIMEOUT_MS");
        ScriptedControlTest::TearDown();
    }
    // Runs a search against the address; the status texts it went through.
    QStringList search(const QString &server)
    {
        qputenv("VIDORA_UPDATE_SERVER", server.toUtf8());
        frmSettings *settings = form<frmSettings>();
        QStringList statuses;
        states.clear();
        const auto watch = QObject::connect(settings->updatePanel->inet, &Inet::StateChanged,
                                            settings, [&](int state) {
                                                states << state;
                                                statuses << settings->updatePanel->statUs->text();
                                            });
        emit settings->updatePanel->skinButton16->Click();
        statuses.prepend(settings->updatePanel->statUs->text());
        waitFor(
            [&] { return statuses.size() > 1 && isFinal(settings->updatePanel->statUs->text()); },
            5000);
        QObject::disconnect(watch);
        statuses << settings->updatePanel->statUs->text();
        return statuses;
    }
    static bool isFinal(const QString &status)
    {
        return QStringList{"New update(s)", "No new update", "No Information found",
                           "- Connection Error -"}
            .contains(status);
    }
    AddressCatcher catcher{{"http", "https", "file"}};
    QList<int> states;
};

const QString kConnectionError =
    "Connection Error\n\nThere has been an error while the program was trying to connect with "
    "the server to check for updates or upgrades for the program. Please verify that you are "
    "connected to  the internet and then try again.";

} // namespace

TEST(UpdateReply, OnlyAGreaterVersionAfterAWebAddressIsAnUpdate)
{
    EXPECT_EQ(UpdateReply::ownVersion(), 230);
    const auto update = UpdateReply::evaluate("https://korvane.example/get231");
    EXPECT_EQ(update.result, Result::NewUpdate);
    EXPECT_EQ(update.address, "https://korvane.example/get");
    EXPECT_EQ(UpdateReply::evaluate("https://korvane.example/get230").result,
              Result::NoInformation);
    EXPECT_EQ(UpdateReply::evaluate("no").result, Result::NoUpdate);
    EXPECT_EQ(UpdateReply::evaluate("No").result, Result::NoInformation);
    EXPECT_EQ(UpdateReply::evaluate("7").result, Result::NoInformation);
    EXPECT_EQ(UpdateReply::evaluate("file:///bin/sh999").result, Result::NoInformation);
    EXPECT_EQ(UpdateReply::evaluate("/usr/bin/xterm999").result, Result::NoInformation);
}

TEST_F(UpdateCheck, NoUpdateGoesThroughEveryState)
{
    UpdateServerDouble server("no");
    EXPECT_EQ(search(server.address()), QStringList({"Connecting...", "Connected", "Searching...",
                                                     "No new update", "No new update"}));
    EXPECT_EQ(states, QList<int>({3, 7, 8}));
    EXPECT_EQ(server.paths, QStringList{"/vidora.df"});
    EXPECT_EQ(takeMessages(), QStringList{"No new updates\n\nThere are no new updates or upgrades "
                                          "for the program. Please search for updates in a later "
                                          "time."});
}

TEST_F(UpdateCheck, AGreaterVersionOpensItsAddress)
{
    UpdateServerDouble server("http://dl.korvane.example/vidora/231");
    EXPECT_EQ(search(server.address()).last(), "New update(s)");
    EXPECT_EQ(catcher.opened(), QStringList{"http://dl.korvane.example/vidora/"});
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("New updates\n\nThere are new updates or upgrades."));
    EXPECT_TRUE(messages[0].endsWith("browser to http://dl.korvane.example/vidora/ to find the "
                                     "update or upgrade."));
}

TEST_F(UpdateCheck, UnusableRepliesFindNoInformationAndOpenNothing)
{
    for (const QByteArray &reply :
         {QByteArray("http://dl.korvane.example/vidora/230"), QByteArray("x"),
          QByteArray("file:///bin/sh999"), QByteArray(100 * 1024, '9')}) {
        UpdateServerDouble server(reply);
        EXPECT_EQ(search(server.address()).last(), "No Information found") << reply.left(40).data();
    }
    EXPECT_TRUE(catcher.opened().isEmpty());
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(UpdateCheck, ASilentServerAndAClosedPortAreConnectionErrors)
{
    UpdateServerDouble silent("", true);
    EXPECT_EQ(search(silent.address()).last(), "- Connection Error -");
    EXPECT_EQ(takeMessages(), QStringList{kConnectionError});

    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const QString address = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    EXPECT_EQ(search(address),
              QStringList({"Connecting...", "- Connection Error -", "- Connection Error -"}));
    EXPECT_EQ(takeMessages(), QStringList{kConnectionError});
}
