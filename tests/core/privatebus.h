#pragma once

#include <QProcess>
#include <QString>

// A session bus of the test's own (dbus-daemon --session), ended with the
// object; address() is empty when no bus could be started.
class PrivateBus
{
public:
    PrivateBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")});
        if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.terminate();
        if (!daemon_.waitForFinished(3000))
            daemon_.kill();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QString address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};
