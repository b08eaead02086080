#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Takes the addresses of the given schemes that the program hands to the
// desktop (web browser, mail program), for as long as it lives.
class AddressCatcher : public QObject
{
    Q_OBJECT
public:
    explicit AddressCatcher(const QStringList &schemes) : schemes_(schemes)
    {
        for (const QString &scheme : schemes_)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~AddressCatcher() override
    {
        for (const QString &scheme : schemes_)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> addresses;
    QStringList opened() const
    {
        QStringList texts;
        for (const QUrl &address : addresses)
            texts << address.toString();
        return texts;
    }

public slots:
    void open(const QUrl &url) { addresses << url; }

private:
    QStringList schemes_;
};
