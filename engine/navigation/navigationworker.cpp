#include "engine/navigation/navigationworker.h"

#include "engine/common/dvderrors.h"

namespace
{

using std::chrono::hours;
using std::chrono::seconds;

// The reader's pictures go into the queue to the presentation thread, its
// sound to the audio output; a jump drops what both hold.
class QueueSink : public MediaSink
{
public:
    QueueSink(MediaQueue &queue, AudioFeed &audio) : queue_(queue), audio_(audio) {}
    void push(MediaItem item) override { queue_.push(std::move(item)); }
    void startSegment() override
    {
        queue_.startSegment();
        audio_.flush();
    }
    void selectAudio(std::optional<AudioSelection> selection) override { audio_.select(selection); }
    void pushAudio(std::span<const uint8_t> payload, int64_t pts90k, size_t unitStart) override
    {
        audio_.feed(payload, pts90k, unitStart);
    }

private:
    MediaQueue &queue_;
    AudioFeed &audio_;
};

// While the sound output is full the reader offers it more this often; the
// output holds half a second.
constexpr auto kAudioRetry = std::chrono::milliseconds(20);

constexpr int kEndlessStill = 255;

} // namespace

NavigationWorker::NavigationWorker(NavigationThread::Parts parts)
    : parts_(std::move(parts)), audio_(parts_.audio, parts_.audioFormat, parts_.taps,
                                       [store = parts_.store](const AppError &error) {
                                           store->reportError(error.number(), error.description());
                                       })
{
}

void NavigationWorker::requestStop()
{
    parts_.commands->stop();
}

void NavigationWorker::run()
{
    parts_.guard->attachCurrentThread();
    try {
        std::unique_ptr<NavSession> session;
        {
            LoopGuard::Section section(*parts_.guard);
            session = std::make_unique<NavSession>(parts_.path);
        }
        setRegionMask(*session, parts_.regionMask);
        QueueSink sink(*parts_.queue, audio_);
        NavigationCore core(*session, sink);
        loop(*session, core);
    } catch (const AppError &error) {
        fail(error.number(), error.description());
    } catch (const std::exception &error) {
        fail(ErrorNumbers::kUnexpected, QString::fromLocal8Bit(error.what()));
    }
}

void NavigationWorker::loop(NavSession &session, NavigationCore &core)
{
    bool ended = false;
    while (!ended && !parts_.commands->stopping()) {
        runCommands(session, core);
        const bool soundWaits = audio_.waiting() && !audio_.pump();
        if (holding(session) || stepping(core))
            continue;
        if (soundWaits || parts_.queue->full()) {
            // The presentation thread wakes us when it has taken enough;
            // sound is offered again soon.
            waitUntil(Clock::now() + seconds(1));
            continue;
        }
        NavigationCore::Step step;
        {
            LoopGuard::Section section(*parts_.guard);
            step = core.readNext();
        }
        endScanAtTitleBounds(core, step.result);
        switch (step.result) {
        case NavigationCore::Result::Wait:
            // libdvdnav waits for the decoders to show everything read so far.
            requestDrain(Hold::DrainForWait);
            break;
        case NavigationCore::Result::Still:
            if (stillActive_) {
                hold_ = Hold::Still;
            } else {
                stillActive_ = true;
                stillSeconds_ = step.stillSeconds;
                requestDrain(Hold::DrainForStill);
            }
            break;
        case NavigationCore::Result::Stop:
            ended = true;
            break;
        case NavigationCore::Result::Continue:
            if (stillActive_ && step.progressed)
                leaveStill();
            break;
        }
        publish(core.state());
    }
    if (ended)
        parts_.store->update([](PlaybackSnapshot &snapshot) {
            snapshot.domain = DvdDomain::kStop;
            snapshot.still = false;
        });
}

// Waits and stills keep the reader where it is until the screen has caught
// up, and a timed still until its time is over.
bool NavigationWorker::holding(NavSession &session)
{
    const bool drained = parts_.link->drained() >= drainId_;
    switch (hold_) {
    case Hold::None:
        return false;
    case Hold::DrainForWait:
        if (drained) {
            dvdnav_wait_skip(session.handle());
            hold_ = Hold::None;
            return false;
        }
        break;
    case Hold::DrainForStill:
        if (drained) {
            hold_ = Hold::Still;
            stillEnds_ = Clock::now() + seconds(stillSeconds_);
            stillPausedAt_.reset();
            parts_.store->update([](PlaybackSnapshot &snapshot) { snapshot.still = true; });
            return true;
        }
        break;
    case Hold::Still:
        if (stillTimeStands()) {
            waitUntil(Clock::now() + hours(1));
            return true;
        }
        if (stillSeconds_ != kEndlessStill && Clock::now() >= stillEnds_) {
            dvdnav_still_skip(session.handle());
            hold_ = Hold::None;
            leaveStill();
            return false;
        }
        waitUntil(stillSeconds_ == kEndlessStill ? Clock::now() + hours(1) : stillEnds_);
        return true;
    }
    waitUntil(Clock::now() + seconds(1));
    return true;
}

// A pause stops a timed still's time as it stops the picture: what was left
// of it runs on after Play.
bool NavigationWorker::stillTimeStands()
{
    const bool paused = parts_.clock && parts_.clock->paused();
    const Clock::time_point now = Clock::now();
    if (paused && !stillPausedAt_) {
        stillPausedAt_ = now;
    } else if (!paused && stillPausedAt_) {
        stillEnds_ += now - *stillPausedAt_;
        stillPausedAt_.reset();
    }
    return paused;
}

// Sound that found no room in the output is offered again soon, whatever
// else the thread waits for.
void NavigationWorker::waitUntil(Clock::time_point deadline)
{
    if (audio_.waiting())
        deadline = std::min(deadline, Clock::now() + kAudioRetry);
    parts_.commands->waitUntil(deadline);
}

void NavigationWorker::requestDrain(Hold hold)
{
    audio_.drain();
    parts_.queue->push(DrainRequest{++drainId_});
    hold_ = hold;
}

void NavigationWorker::leaveStill()
{
    stillActive_ = false;
    parts_.store->update([](PlaybackSnapshot &snapshot) { snapshot.still = false; });
}

void NavigationWorker::publish(const ReaderState &state)
{
    if (state.revision == publishedRevision_)
        return;
    const bool buttonChanged = parts_.link->buttons().button != state.button;
    publishedRevision_ = state.revision;
    parts_.store->update([&](PlaybackSnapshot &snapshot) {
        snapshot.audio = state.audio;
        snapshot.currentAudio = state.currentAudio;
        snapshot.subpictures = state.subpictures;
        snapshot.currentSubpicture = state.currentSubpicture;
        snapshot.subpictureOn = state.subpictureOn;
        snapshot.angles = state.angles;
        snapshot.currentAngle = state.currentAngle;
        snapshot.button = state.button;
    });
    if (buttonChanged)
        parts_.link->setButtons({state.button, false});
}

void NavigationWorker::fail(int number, const QString &description)
{
    parts_.store->reportError(number, description);
    parts_.store->update([](PlaybackSnapshot &snapshot) {
        snapshot.domain = DvdDomain::kStop;
        snapshot.still = false;
    });
}
