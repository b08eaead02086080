#include "engine/navigation/navigationworker.h"

#include "engine/common/dvderrors.h"
#include "engine/output/audiooutput.h"

namespace
{

using std::chrono::hours;
using std::chrono::milliseconds;
using std::chrono::seconds;

// How long the end of the disc waits, unpaused, for what was read to be
// seen and heard: the queues hold about two seconds; an output that stalls
// does not hold the stop for ever.
constexpr auto kPlayOutPatience = seconds(5);
// The sound output says nothing when it has played out: it is asked this often.
constexpr auto kSoundPlayOutPoll = milliseconds(20);

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
        audio_.holdForPictures(queue_.segment());
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

} // namespace

NavigationWorker::NavigationWorker(NavigationParts parts)
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
            session = std::make_unique<NavSession>(parts_.path, parts_.reader);
        }
        if (parts_.regionMask)
            setRegionMask(*session, parts_.regionMask());
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
            // The presentation thread wakes us when it has taken enough, the
            // sound output when it has room again.
            waitUntil(Clock::now() + seconds(1));
            continue;
        }
        NavigationCore::Step step;
        {
            LoopGuard::Section section(*parts_.guard);
            step = core.readNext();
        }
        endScanAtTitleBounds(core, step.result);
        tellUnreadableRest(core);
        switch (step.result) {
        case NavigationCore::Result::Wait:
            // libdvdnav waits for the decoders to show everything read so far.
            act(session, mode_.metWait());
            requestDrain();
            break;
        case NavigationCore::Result::Still:
            if (mode_.metStill(step.stillSeconds))
                requestDrain();
            break;
        case NavigationCore::Result::Stop:
            ended = true;
            break;
        case NavigationCore::Result::Continue:
            if (step.progressed)
                act(session, mode_.progressed());
            break;
        }
        publish(core.state());
    }
    if (ended)
        playOutQueued();
    if (ended)
        parts_.store->update([](PlaybackSnapshot &snapshot) {
            snapshot.readerEnded = true;
            snapshot.still = false;
        });
}

// The disc ended: the pictures and the sound still queued are presented
// before the disc counts as stopped. A Stop ends the wait at once.
void NavigationWorker::playOutQueued()
{
    requestDrain();
    Clock::time_point deadline = Clock::now() + kPlayOutPatience;
    while (!parts_.commands->stopping()) {
        const bool soundWaits = audio_.waiting() && !audio_.pump();
        if (parts_.link->drained() >= drainId_ && !soundWaits && soundPlayedOut())
            return;
        const Clock::time_point now = Clock::now();
        if (parts_.clock && parts_.clock->paused())
            deadline = now + kPlayOutPatience;
        else if (now >= deadline)
            return;
        waitUntil(std::min(deadline, now + kSoundPlayOutPoll));
    }
}

bool NavigationWorker::soundPlayedOut()
{
    bool drained = true;
    parts_.audio->use([&](AudioOutput &output) { drained = output.isDrained(); });
    return drained;
}

// Waits and stills keep the reader where it is until the screen has caught
// up, and a timed still until its time is over.
bool NavigationWorker::holding(NavSession &session)
{
    switch (mode_.state()) {
    case ReaderMode::State::DrainForWait:
    case ReaderMode::State::DrainForStill:
        if (parts_.link->drained() < drainId_) {
            waitUntil(Clock::now() + seconds(1));
            return true;
        }
        act(session, mode_.drained(Clock::now()));
        return mode_.state() == ReaderMode::State::Still;
    case ReaderMode::State::Still: {
        const bool paused = parts_.clock && parts_.clock->paused();
        const ReaderMode::Action action = mode_.tick(Clock::now(), paused);
        if (action != ReaderMode::Action::None) {
            act(session, action);
            return false;
        }
        waitUntil(mode_.stillEnds().value_or(Clock::now() + hours(1)));
        return true;
    }
    default:
        return false;
    }
}

void NavigationWorker::act(NavSession &session, ReaderMode::Action action)
{
    switch (action) {
    case ReaderMode::Action::None:
        break;
    case ReaderMode::Action::SkipWait:
        dvdnav_wait_skip(session.handle());
        break;
    case ReaderMode::Action::ShowStill:
        publishStill(true);
        break;
    case ReaderMode::Action::SkipStill:
        dvdnav_still_skip(session.handle());
        publishStill(false);
        break;
    case ReaderMode::Action::LeaveStill:
        publishStill(false);
        break;
    }
}

void NavigationWorker::waitUntil(Clock::time_point deadline)
{
    parts_.commands->waitUntil(deadline);
}

void NavigationWorker::requestDrain()
{
    audio_.drain();
    parts_.queue->push(DrainRequest{++drainId_});
}

void NavigationWorker::publishStill(bool still)
{
    parts_.store->update([still](PlaybackSnapshot &snapshot) { snapshot.still = still; });
}

void NavigationWorker::publish(const ReaderState &state)
{
    if (state.revision == publishedRevision_)
        return;
    const bool buttonChanged = parts_.link->buttons().button != state.button;
    publishedRevision_ = state.revision;
    parts_.store->update([&](PlaybackSnapshot &snapshot) {
        snapshot.audio = state.audio;
        snapshot.readerAudio = state.currentAudio;
        snapshot.subpictures = state.subpictures;
        snapshot.readerSubpicture = state.currentSubpicture;
        snapshot.readerSubpictureOn = state.subpictureOn;
        snapshot.angles = state.angles;
        snapshot.readerAngle = state.currentAngle;
        snapshot.streamChoicesApplied = applied_.streams;
        snapshot.angleChoicesApplied = applied_.angles;
        snapshot.button = state.button;
    });
    if (buttonChanged)
        parts_.link->setButtons({state.button, false});
}

// The user hears once per disc that it could not be read to the end of a
// title; playback went on after it.
void NavigationWorker::tellUnreadableRest(NavigationCore &core)
{
    const std::optional<PositionTag> rest = core.takeUnreadableRest();
    if (!rest || toldUnreadable_)
        return;
    toldUnreadable_ = true;
    const AppError problem = DvdErrors::unreadablePast(rest->title, rest->titleTime90k);
    parts_.store->reportProblem(problem.number(), problem.description());
}

void NavigationWorker::fail(int number, const QString &description)
{
    parts_.store->reportError(number, description);
    parts_.store->update([](PlaybackSnapshot &snapshot) {
        snapshot.readerEnded = true;
        snapshot.still = false;
    });
}
