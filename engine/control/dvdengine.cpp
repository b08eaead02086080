#include "engine/control/dvdengine.h"

#include "engine/common/dvderrors.h"
#include "engine/common/postedcall.h"
#include "engine/control/playbacksession.h"
#include "engine/output/dvdview.h"

#include <QDateTime>

#include <utility>

namespace
{
// The watch wakes the window once a second; a session that ends by itself
// is noticed at once through its notifications.
constexpr int kWatchIntervalMs = 1000;
// A title standing still reports its time at each watch, a timer's slack
// below the second.
constexpr qint64 kTimeNotificationMs = 900;
// How long the bookmark calls wait for a disc's probe before saying the
// drive does not answer. Play waits a moment, which is enough for images and
// folders, so that their failures are its own; after that it returns and
// the session opens when the probe answers, unless the drive has not within
// the longer patience, which leaves time for a drive to spin up.
constexpr std::chrono::milliseconds kProbePatience{1500};
constexpr std::chrono::milliseconds kProbeMomentForPlay{500};
constexpr std::chrono::milliseconds kProbePatienceForPlay{20000};
constexpr std::chrono::milliseconds kSoundPatience{2000};
constexpr std::chrono::milliseconds kHelpersAtExitPatience{500};
// Probes of drives that hang, each on its thread until its read returns.
constexpr int kProbeThreadsCap = 4;

// Throws why a folder or an image cannot play, once its probe has said so.
void refuseUnplayable(const DiscProbe &probe)
{
    if (probe.source().kind == SourceKind::Device)
        return;
    probe.settle(std::chrono::steady_clock::now() + kProbeMomentForPlay);
    if (probe.answered() && !probe.read())
        probe.result(std::chrono::milliseconds(0));
}
} // namespace

DvdEngine::DvdEngine(QObject *parent, const AudioOutputOptions &audio)
    : DvdControl(parent), sound_(std::make_unique<AudioOutput>(audio)),
      probeThreads_(std::make_shared<ProbeThreads>(kProbeThreadsCap)),
      store_(std::make_shared<SnapshotStore>()), pictures_(std::make_shared<PictureSlot>()),
      pictureUpdatePending_(std::make_shared<std::atomic<bool>>(false))
{
    store_->setWake([this] { PostedCall::post(this, [this] { deliverNotifications(); }); });
    pictures_->setListener([this] { schedulePictureUpdate(); });
    watchTimer_.setInterval(kWatchIntervalMs);
    connect(&watchTimer_, &QTimer::timeout, this, &DvdEngine::watch);
    startPatience_.setSingleShot(true);
    startPatience_.setInterval(kProbePatienceForPlay);
    connect(&startPatience_, &QTimer::timeout, this, &DvdEngine::giveUpOnProbe);
}

bool DvdEngine::event(QEvent *event)
{
    return PostedCall::deliver(event) || DvdControl::event(event);
}

// The worker threads stop calling into this object before it goes: a thread
// given up in an endless loop may outlive it.
DvdEngine::~DvdEngine()
{
    store_->setWake(nullptr);
    pictures_->setListener(nullptr);
    endSession();
    // A probe still reading is let finish here, unless the drive hangs: then
    // it is left to its thread.
    if (probe_)
        probe_->settle(std::chrono::steady_clock::now() + kHelpersAtExitPatience);
    if (view_ && !view_->parent())
        delete view_;
}

// The probe started when the source was set serves the first Play. While it
// has not answered, Play returns and the session opens when it does.
void DvdEngine::startSession()
{
    const std::shared_ptr<DiscProbe> probe = probeFor(DvdSource::resolve(requestedSource_));
    probe->settle(std::chrono::steady_clock::now() + kProbeMomentForPlay);
    if (probe->answered())
        openSession(probe->result(std::chrono::milliseconds(0)));
    else
        awaitProbe(probe);
}

void DvdEngine::openSession(const ProbedDisc &probed)
{
    const DiscSource &source = probed.source;
    auto disc = std::make_shared<const DiscInfo>(probed.info);
    disc_ = probed;
    pictures_->clear();
    const uint64_t sessionId = store_->beginSession();
    store_->update([&](PlaybackSnapshot &snapshot) {
        snapshot = PlaybackSnapshot{};
        snapshot.disc = disc;
        snapshot.framesPerSecond = disc->framesPerSecond;
        snapshot.directory = source.directory;
        snapshot.playing = true;
    });
    // One output serves every session. It opens on a thread of its own from
    // the start; a session before the device has answered plays silent.
    if (!audio_ && sound_->waitUntilOpen(kSoundPatience))
        audio_ = sound_.get();
    try {
        session_ = std::make_unique<PlaybackSession>(
            PlaybackSession::Reading{source.path, blockReaders_ ? blockReaders_() : nullptr,
                                     startingRegionMask(source, *disc)},
            std::make_shared<SnapshotWriter>(store_, sessionId),
            PlaybackSession::Outputs{pictures_, audio_, taps_});
    } catch (...) {
        store_->update([](PlaybackSnapshot &snapshot) { snapshot.playing = false; });
        throw;
    }
    session_->start();
    watchTimer_.start();
}

// Until the probe answers, the disc shows as starting: menu commands say to
// wait, Stop ends the wait.
void DvdEngine::awaitProbe(std::shared_ptr<DiscProbe> probe)
{
    starting_ = std::move(probe);
    store_->update([&](PlaybackSnapshot &snapshot) {
        snapshot = PlaybackSnapshot{};
        snapshot.directory = starting_->source().directory;
        snapshot.playing = true;
    });
    startPatience_.start();
    starting_->setListener([this] { PostedCall::post(this, [this] { probeAnswered(); }); });
}

void DvdEngine::probeAnswered()
{
    if (!starting_ || !starting_->answered())
        return;
    const std::shared_ptr<DiscProbe> probe = std::exchange(starting_, nullptr);
    startPatience_.stop();
    try {
        openSession(probe->result(std::chrono::milliseconds(0)));
    } catch (const AppError &error) {
        failStart(error);
    }
}

// A drive that never answers: the probe goes on, the Play is over.
void DvdEngine::giveUpOnProbe()
{
    if (!starting_ || starting_->answered()) {
        probeAnswered();
        return;
    }
    const AppError silence = starting_->silence();
    cancelStart();
    failStart(silence);
}

void DvdEngine::cancelStart()
{
    if (starting_)
        starting_->setListener(nullptr);
    starting_.reset();
    startPatience_.stop();
}

void DvdEngine::failStart(const AppError &error)
{
    store_->update([](PlaybackSnapshot &snapshot) { snapshot.playing = false; });
    store_->reportError(error.number(), error.description());
    emit PlayFailed(error.number(), error.description());
}

// A drive is probed again for a later Play (its disc may have been
// changed), and a source that failed is always tried again; a probe still
// waiting on the drive is waited for, not doubled.
std::shared_ptr<DiscProbe> DvdEngine::probeFor(const DiscSource &source)
{
    const bool reusable = probe_ && probe_->source().path == source.path &&
                          (!probe_->answered() ||
                           (probe_->read() && (!probeUsed_ || source.kind != SourceKind::Device)));
    if (!reusable)
        probe_ = std::make_shared<DiscProbe>(source, prober_, probeThreads_);
    probeUsed_ = true;
    return probe_;
}

ProbedDisc DvdEngine::probedDisc(const DiscSource &source)
{
    return probeFor(source)->result(kProbePatience);
}

// What the last session left in the sound output is not heard any more.
void DvdEngine::endSession()
{
    cancelStart();
    store_->endSession();
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
    if (session_ && snapshot().domain() != DvdDomain::kStop) {
        const PlaybackSnapshot now = snapshot();
        if (now.scanning() != 0)
            postScan(0);
        if (now.paused)
            resumeOutputs();
        store_->update([](PlaybackSnapshot &snapshot) { snapshot.paused = false; });
        return;
    }
    // A Play waiting for the drive goes on waiting.
    if (starting_)
        return;
    endSession();
    startSession();
}

void DvdEngine::Stop()
{
    endSession();
    store_->update([](PlaybackSnapshot &snapshot) {
        snapshot.playing = false;
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
    if (session_ && now.domain() == DvdDomain::kStop) {
        endSession();
        return;
    }
    const qint64 clock = QDateTime::currentMSecsSinceEpoch();
    if (now.domain() == DvdDomain::kTitle && clock - lastTimeNotification_ >= kTimeNotificationMs) {
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
        if (!event.problem.isEmpty())
            emit PlaybackProblem(event.param2, event.problem);
    }
    // A disc that played to its end (a handler may have started it again).
    if (session_ && snapshot().domain() == DvdDomain::kStop)
        endSession();
}

void DvdEngine::schedulePictureUpdate()
{
    if (pictureUpdatePending_->exchange(true))
        return;
    PostedCall::post(this, [this] {
        pictureUpdatePending_->store(false);
        if (view_)
            view_->update();
    });
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

// The snapshot says the scan at once; the navigation thread tells when it
// ends one by itself.
void DvdEngine::postScan(int speed)
{
    post(ScanChange{speed, ++scanRequests_});
    store_->update([speed, request = scanRequests_](PlaybackSnapshot &snapshot) {
        snapshot.scanSpeed = speed;
        snapshot.scanRequest = request;
    });
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
    requireDisc();
    return disc_->source.directory;
}

// A new source takes effect at the next Play. A disc of another source that
// is playing now is stopped, but only for a source that can play: a folder
// or an image whose probe fails within a moment is refused and the disc goes
// on. A drive is not waited for, it may take seconds to spin up.
void DvdEngine::setDVDDirectory(const QString &source)
{
    std::optional<DiscSource> resolved;
    if (!source.isEmpty())
        resolved = DvdSource::resolve(source);
    const auto other = [&](const DiscSource &current) {
        return !resolved || resolved->path != current.path;
    };
    const bool lettingGo =
        (session_ && disc_ && other(disc_->source)) || (starting_ && other(starting_->source()));
    if (resolved) {
        const bool failedBefore = probe_ && probe_->answered() && !probe_->read();
        if (!probe_ || probe_->source().path != resolved->path || failedBefore) {
            probe_ = std::make_shared<DiscProbe>(*resolved, prober_, probeThreads_);
            probeUsed_ = false;
        }
        if (lettingGo)
            refuseUnplayable(*probe_);
    }
    if (lettingGo)
        Stop();
    requestedSource_ = source;
    requested_ = resolved;
}

int DvdEngine::CurrentDiscSide() const
{
    requireDisc();
    return disc_->info.discSide;
}

int DvdEngine::FramesPerSecond() const
{
    requireDisc();
    const PlaybackSnapshot now = snapshot();
    if (const TitleSetInfo *set = disc_->info.titleSet(now.titleSet))
        return set->framesPerSecond;
    return disc_->info.framesPerSecond;
}
