#include "engine/control/dvdengine.h"

#include "engine/common/dvderrors.h"
#include "engine/control/playbacksession.h"
#include "engine/output/dvdview.h"

#include <QDateTime>

namespace
{
constexpr int kWatchIntervalMs = 250;
constexpr qint64 kTimeNotificationMs = 1000;
} // namespace

DvdEngine::DvdEngine(QObject *parent, const AudioOutputOptions &audio)
    : DvdControl(parent), audioOptions_(audio), store_(std::make_shared<SnapshotStore>()),
      pictures_(std::make_shared<PictureSlot>()),
      pictureUpdatePending_(std::make_shared<std::atomic<bool>>(false))
{
    store_->setWake([this] {
        QMetaObject::invokeMethod(this, &DvdEngine::deliverNotifications, Qt::QueuedConnection);
    });
    pictures_->setListener([this] { schedulePictureUpdate(); });
    watchTimer_.setInterval(kWatchIntervalMs);
    connect(&watchTimer_, &QTimer::timeout, this, &DvdEngine::watch);
}

// The worker threads stop calling into this object before it goes: a thread
// given up in an endless loop may outlive it.
DvdEngine::~DvdEngine()
{
    store_->setWake(nullptr);
    pictures_->setListener(nullptr);
    endSession();
    if (view_ && !view_->parent())
        delete view_;
}

void DvdEngine::startSession()
{
    const DiscSource source = DvdSource::resolve(requestedSource_);
    ProbedDisc probed = DvdSource::probe(source);
    auto disc = std::make_shared<const DiscInfo>(probed.info);
    disc_ = std::move(probed);
    pictures_->clear();
    store_->update([&](PlaybackSnapshot &snapshot) {
        snapshot = PlaybackSnapshot{};
        snapshot.disc = disc;
        snapshot.directory = source.directory;
        snapshot.domain = DvdDomain::kFirstPlay;
    });
    // One output serves every session: opening the device takes a while.
    if (!audio_)
        audio_ = std::make_unique<AudioOutput>(audioOptions_);
    try {
        session_ = std::make_unique<PlaybackSession>(
            source, store_, PlaybackSession::Outputs{pictures_, audio_.get(), taps_},
            startingRegionMask(source, *disc));
    } catch (...) {
        store_->update([](PlaybackSnapshot &snapshot) { snapshot.domain = DvdDomain::kStop; });
        throw;
    }
    session_->start();
    watchTimer_.start();
}

// What the last session left in the sound output is not heard any more.
void DvdEngine::endSession()
{
    session_.reset();
    watchTimer_.stop();
    if (audio_) {
        audio_->flush();
        audio_->resume();
    }
}

void DvdEngine::setTaps(std::shared_ptr<const PlaybackTaps> taps)
{
    taps_ = std::move(taps);
}

// Play resumes after a pause and returns to normal speed from a scan; only a
// stopped disc starts again.
void DvdEngine::Play()
{
    if (session_ && snapshot().domain != DvdDomain::kStop) {
        const PlaybackSnapshot now = snapshot();
        if (now.scanSpeed != 0)
            post(ScanChange{0});
        if (now.paused)
            resumeOutputs();
        store_->update([](PlaybackSnapshot &snapshot) {
            snapshot.paused = false;
            snapshot.scanSpeed = 0;
        });
        return;
    }
    endSession();
    startSession();
}

void DvdEngine::Stop()
{
    endSession();
    store_->update([](PlaybackSnapshot &snapshot) {
        snapshot.domain = DvdDomain::kStop;
        snapshot.still = false;
        snapshot.menuButtons = false;
        snapshot.paused = false;
        snapshot.scanSpeed = 0;
    });
    pictures_->clear();
}

// Checks run by the session's watch: a navigation thread caught in the
// disc's endless commands is cut off, a session that ended by itself is
// cleaned up, and a title that stands still still reports its time.
void DvdEngine::watch()
{
    if (session_ && session_->stuckInLoop()) {
        session_->abandon();
        const AppError error = DvdErrors::endlessCommandLoop();
        store_->reportError(error.number(), error.description());
        Stop();
        return;
    }
    const PlaybackSnapshot now = snapshot();
    if (session_ && now.domain == DvdDomain::kStop) {
        endSession();
        return;
    }
    const qint64 clock = QDateTime::currentMSecsSinceEpoch();
    if (now.domain == DvdDomain::kTitle && clock - lastTimeNotification_ >= kTimeNotificationMs) {
        lastTimeNotification_ = clock;
        emit DVDNotify(DvdEvent::kCurrentTime, now.packedTime(), 0);
    }
}

void DvdEngine::deliverNotifications()
{
    const std::vector<PendingNotification> events = store_->takeNotifications();
    const PlaybackSnapshot now = snapshot();
    for (const PendingNotification &event : events) {
        if (event.event == DvdEvent::kCurrentTime)
            lastTimeNotification_ = QDateTime::currentMSecsSinceEpoch();
        emit DVDNotify(event.event, now.packedTime(), event.param2);
    }
}

void DvdEngine::schedulePictureUpdate()
{
    if (pictureUpdatePending_->exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pictureUpdatePending_->store(false);
            if (view_)
                view_->update();
        },
        Qt::QueuedConnection);
}

QWidget *DvdEngine::view()
{
    if (!view_) {
        view_ = new DvdView(pictures_);
        view_->setPointerHandler([this](QPoint point, bool activate) { pointAt(point, activate); });
    }
    return view_;
}

QImage DvdEngine::currentPicture() const
{
    const ShownPicture picture = pictures_->latest();
    if (!picture.valid())
        return {};
    return picture.image.scaled(picture.displayWidth(), picture.image.height(),
                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

uint64_t DvdEngine::picturesShown() const
{
    return pictures_->published();
}

QString DvdEngine::lastPlaybackError() const
{
    return store_->lastError();
}

void DvdEngine::post(NavCommand command)
{
    if (!session_)
        throw DvdErrors::notPlaying();
    session_->post(std::move(command));
}

QString DvdEngine::DiscUniqueId() const
{
    if (!disc_ || disc_->info.discId.isEmpty())
        throw DvdErrors::noDisc(requestedSource_);
    return disc_->info.discId;
}

QString DvdEngine::DVDDirectory() const
{
    if (requested_)
        return requested_->directory;
    return disc_ ? disc_->source.directory : QString();
}

// A new source takes effect at the next Play; a disc of another source that
// is playing now is stopped.
void DvdEngine::setDVDDirectory(const QString &source)
{
    std::optional<DiscSource> resolved;
    if (!source.isEmpty())
        resolved = DvdSource::resolve(source);
    if (session_ && disc_ && (!resolved || resolved->path != disc_->source.path))
        Stop();
    requestedSource_ = source;
    requested_ = resolved;
}

int DvdEngine::CurrentDiscSide() const
{
    if (!disc_)
        throw DvdErrors::noDisc(requestedSource_);
    return disc_->info.discSide;
}

int DvdEngine::FramesPerSecond() const
{
    if (!disc_)
        throw DvdErrors::noDisc(requestedSource_);
    const PlaybackSnapshot now = snapshot();
    if (const TitleSetInfo *set = disc_->info.titleSet(now.titleSet))
        return set->framesPerSecond;
    return disc_->info.framesPerSecond;
}
