#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

// The player as the desktop's media keys and media panel see it: the MPRIS2
// interfaces on the session bus. Every command goes through the same player
// command as the control bar's button; without a session bus the program
// runs as before. The bus gives the call's context to the service, the
// parent of the adaptors that answer it.
class MprisService : public QObject, public QDBusContext
{
    Q_OBJECT
public:
    static constexpr const char *kObjectPath = "/org/mpris/MediaPlayer2";
    static QString serviceName(); // "org.mpris.MediaPlayer2.vidora"

    explicit MprisService(QObject *parent = nullptr);
    ~MprisService() override;

    // Exports the interfaces and takes the service name; false when there is
    // no bus or the name is held by another program.
    bool registerOnSessionBus();
    bool registerOn(const QDBusConnection &connection);

    // "Playing", "Paused" or "Stopped".
    QString playbackStatus() const;
    // The disc's title from the DVD database ("Unknown DVD" without a
    // record) and the length of the title playing; empty while stopped.
    QVariantMap metadata() const;
    // Microseconds into the title, from the last time the control reported.
    qint64 position() const;

    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void raise();
    // False, doing nothing, for an address that is not a local file.
    bool openUri(const QString &uri);
    // Ends the program as the control bar's "Close" does, once no dialog of
    // the program is open: open ones are cancelled first.
    void quit();

private:
    enum class Changes { StatusOnly, StatusAndMetadata };
    void onNotify(int eventCode, int param1, int param2);
    // Tells the bus which properties changed since it was last told.
    void publishChanges(Changes changes = Changes::StatusAndMetadata);

    QDBusConnection connection_;
    bool registered_ = false;
    int32_t timeCode_ = 0;
    QString publishedStatus_;
    QVariantMap publishedMetadata_;
};

// org.mpris.MediaPlayer2: the program itself.
class MprisRootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit MprisRootAdaptor(MprisService *service);

    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const;
    QString desktopEntry() const { return QStringLiteral("vidora"); }
    QStringList supportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList supportedMimeTypes() const;

public slots:
    void Raise();
    void Quit();

private:
    MprisService *service_;
};

// org.mpris.MediaPlayer2.Player: transport and what is playing. Chapters are
// the tracks: Next and Previous go to the next and previous chapter. A
// command that cannot be carried out answers its caller with a D-Bus error
// holding what the player would have shown, and opens no message window.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(double Volume READ volume)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canControl)
    Q_PROPERTY(bool CanGoPrevious READ canControl)
    Q_PROPERTY(bool CanPlay READ canControl)
    Q_PROPERTY(bool CanPause READ canControl)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    explicit MprisPlayerAdaptor(MprisService *service);

    QString playbackStatus() const { return service_->playbackStatus(); }
    double rate() const { return 1.0; }
    double volume() const { return 1.0; }
    QVariantMap metadata() const { return service_->metadata(); }
    qlonglong position() const { return service_->position(); }
    bool canControl() const { return true; }
    bool canSeek() const { return false; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // The disc plays on from where it is: seeking is not offered.
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath &, qlonglong) {}
    void OpenUri(const QString &uri);

signals:
    void Seeked(qlonglong position);

private:
    void answer(const std::function<void()> &command);

    MprisService *service_;
};
