#include "core/mprisservice.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerstate.h"
#include "core/startup.h"
#include "core/version.h"
#include "dvddb/discalias.h"
#include "dvddb/filelist.h"
#include "dvddb/recordfile.h"
#include "dvddb/recordstore.h"
#include "engine/control/dvdcontrolinstance.h"
#include "surfaces/frmnmain.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QUrl>

namespace
{

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr qint64 kMicroseconds = 1000000;
constexpr int kQuitRetryMs = 50;

// Cancels every modal dialog and open menu of the program, newest first;
// true when there was one.
bool cancelOpenDialogs()
{
    bool any = false;
    for (int left = 64; left > 0; --left) {
        QWidget *open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        if (!open)
            break;
        any = true;
        if (auto *dialog = qobject_cast<QDialog *>(open))
            dialog->reject();
        else
            open->close();
    }
    return any;
}

bool inDomain(int domain)
{
    bool inIt = false;
    IgnoreErrors steps;
    steps.step([&] { inIt = dvdControl()->CurrentDomain() == domain; });
    return inIt;
}

// The disc's record in the DVD database is named after its identifier.
QString databaseTitle(const QString &playingId)
{
    FileList records(QStringLiteral("*.dvd"));
    records.Path = playerState().databaseFolder;
    const QString discId = DiscAlias::recordIdentifierFor(records.Path, playingId);
    QString title;
    IgnoreErrors steps;
    steps.step([&] { records.Refresh(); });
    for (const QString &name : RecordStore::recordsOfDisc(records.names(), discId))
        steps.step([&] { title = RecordFile::readTitle(records.Path + name); });
    return title.isEmpty() ? QStringLiteral("Unknown DVD") : title;
}

qint64 lengthFromText(const QString &hoursMinutesSeconds)
{
    const QStringList parts = hoursMinutesSeconds.split(u':');
    if (parts.size() != 3)
        return 0;
    qint64 seconds = 0;
    for (const QString &part : parts)
        seconds = seconds * 60 + part.toLongLong();
    return seconds * kMicroseconds;
}

} // namespace

QString MprisService::serviceName()
{
    return QStringLiteral("org.mpris.MediaPlayer2.vidora");
}

MprisService::MprisService(QObject *parent)
    : QObject(parent), connection_(QStringLiteral("vidora-mpris-none"))
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

MprisService::~MprisService()
{
    if (!registered_)
        return;
    connection_.unregisterObject(QString::fromLatin1(kObjectPath));
    connection_.unregisterService(serviceName());
}

// Without a bus address the bus library would try to launch a bus of its
// own; a desktop session always gives one.
bool MprisService::registerOnSessionBus()
{
    const QString runtimeBus = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") || !QFileInfo::exists(runtimeBus)))
        return false;
    return registerOn(QDBusConnection::sessionBus());
}

bool MprisService::registerOn(const QDBusConnection &connection)
{
    if (!connection.isConnected())
        return false;
    connection_ = connection;
    if (!connection_.registerObject(QString::fromLatin1(kObjectPath), this,
                                    QDBusConnection::ExportAdaptors))
        return false;
    if (!connection_.registerService(serviceName())) {
        connection_.unregisterObject(QString::fromLatin1(kObjectPath));
        return false;
    }
    registered_ = true;
    connect(dvdControl(), &DvdControl::DVDNotify, this, &MprisService::onNotify);
    publishedStatus_ = playbackStatus();
    publishedMetadata_ = metadata();
    return true;
}

QString MprisService::playbackStatus() const
{
    int domain = DvdDomain::kStop;
    IgnoreErrors steps;
    if (!steps.step([&] { domain = dvdControl()->CurrentDomain(); }) ||
        domain == DvdDomain::kStop || domain < DvdDomain::kFirstPlay)
        return QStringLiteral("Stopped");
    return dvdControl()->isPaused() ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QVariantMap MprisService::metadata() const
{
    if (playbackStatus() == QLatin1String("Stopped"))
        return {};
    int title = 0;
    QString discId;
    QString length;
    IgnoreErrors steps;
    steps.step([&] { title = dvdControl()->CurrentTitle(); });
    steps.step([&] { discId = dvdControl()->DiscUniqueId(); });
    steps.step([&] { length = dvdControl()->TotalTitleTime(); });
    return {{QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(
                 QStringLiteral("/org/mpris/MediaPlayer2/vidora/title/%1").arg(title)))},
            {QStringLiteral("xesam:title"), databaseTitle(discId)},
            {QStringLiteral("mpris:length"), lengthFromText(length)}};
}

qint64 MprisService::position() const
{
    const TimeCode time = TimeCode::unpack(timeCode_);
    return ((time.hours * 60 + time.minutes) * 60 + time.seconds) * kMicroseconds;
}

void MprisService::play()
{
    Functions::PlayDisc();
    publishChanges();
}

// As the video window's "Pause": only a title pauses.
void MprisService::pause()
{
    IgnoreErrors steps;
    steps.step([] {
        if (dvdControl()->CurrentDomain() == DvdDomain::kTitle)
            dvdControl()->Pause();
    });
    publishChanges();
}

void MprisService::playPause()
{
    if (playbackStatus() == QLatin1String("Playing") && inDomain(DvdDomain::kTitle))
        pause();
    else
        play();
}

void MprisService::stop()
{
    Functions::StopDisc();
    publishChanges();
}

void MprisService::next()
{
    Functions::NextChapter();
}

void MprisService::previous()
{
    Functions::PreviousChapter();
}

void MprisService::raise()
{
    Startup::HandOver(QString());
}

bool MprisService::openUri(const QString &uri)
{
    const QUrl url(uri);
    if (!url.isLocalFile())
        return false;
    Startup::HandOver(OpenDisc::localPathOf(url));
    return true;
}

// A handler waiting in a dialog's own event loop still uses its window and
// the dialog on its stack: ending the program under it frees both. The
// dialogs are cancelled and the program ends from the main loop, once every
// handler has returned.
void MprisService::quit()
{
    const bool dialogsOpen = cancelOpenDialogs();
    if (dialogsOpen || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(kQuitRetryMs, this, &MprisService::quit);
        return;
    }
    form<frmNMain>()->AutoBook();
}

// The once-a-second time report changes neither the disc nor the title: the
// database is looked up again only on the other events.
void MprisService::onNotify(int eventCode, int param1, int)
{
    timeCode_ = eventCode == DvdEvent::kPlaybackStopped ? 0 : param1;
    publishChanges(eventCode == DvdEvent::kCurrentTime ? Changes::StatusOnly
                                                       : Changes::StatusAndMetadata);
}

void MprisService::publishChanges(Changes changes)
{
    if (!registered_)
        return;
    QVariantMap changed;
    const QString status = playbackStatus();
    if (status != publishedStatus_)
        changed.insert(QStringLiteral("PlaybackStatus"), publishedStatus_ = status);
    const QVariantMap now = changes == Changes::StatusAndMetadata ? metadata() : publishedMetadata_;
    if (now != publishedMetadata_)
        changed.insert(QStringLiteral("Metadata"), publishedMetadata_ = now);
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    connection_.send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), service_(service)
{
}

QString MprisRootAdaptor::identity() const
{
    return Version::programTitle();
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return {QStringLiteral("application/x-cd-image"), QStringLiteral("x-content/video-dvd")};
}

void MprisRootAdaptor::Raise()
{
    service_->raise();
}

void MprisRootAdaptor::Quit()
{
    service_->quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), service_(service)
{
}

void MprisPlayerAdaptor::Play()
{
    answer([this] { service_->play(); });
}

void MprisPlayerAdaptor::Pause()
{
    answer([this] { service_->pause(); });
}

void MprisPlayerAdaptor::PlayPause()
{
    answer([this] { service_->playPause(); });
}

void MprisPlayerAdaptor::Stop()
{
    answer([this] { service_->stop(); });
}

void MprisPlayerAdaptor::Next()
{
    answer([this] { service_->next(); });
}

void MprisPlayerAdaptor::Previous()
{
    answer([this] { service_->previous(); });
}

void MprisPlayerAdaptor::OpenUri(const QString &uri)
{
    bool opened = true;
    answer([&] { opened = service_->openUri(uri); });
    if (!opened && service_->calledFromDBus())
        service_->sendErrorReply(
            QDBusError::NotSupported,
            QStringLiteral("Only local files can be opened: %1").arg(CutToReadableLength(uri)));
}

// Anyone on the session bus may call as often as they like: what the
// command would have shown goes back to the caller, not into a window.
void MprisPlayerAdaptor::answer(const std::function<void()> &command)
{
    QStringList messages;
    {
        const MessageCatcher caught;
        command();
        messages = caught.messages();
    }
    if (!messages.isEmpty() && service_->calledFromDBus())
        service_->sendErrorReply(QDBusError::Failed, CutToReadableLength(messages.join(u'\n')));
}
