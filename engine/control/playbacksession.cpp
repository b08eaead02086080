#include "engine/control/playbacksession.h"

#include "engine/output/audiooutput.h"

namespace
{
// How far the reader may run ahead of the picture: enough to ride out a slow
// drive and to keep sound queued (discs store it up to half a second or more
// behind the pictures of the same time), little enough for Resume to land
// close.
constexpr size_t kQueueBytes = 4 * 1024 * 1024;
constexpr int64_t kQueueLead90k = 90000;
} // namespace

PlaybackSession::PlaybackSession(Reading reading, std::shared_ptr<SnapshotWriter> store,
                                 Outputs outputs)
    : queue_(std::make_shared<MediaQueue>(kQueueBytes, kQueueLead90k)),
      commands_(std::make_shared<CommandQueue>()), link_(std::make_shared<PresentationLink>()),
      guard_(std::make_shared<LoopGuard>()), clock_(std::make_shared<PlaybackClock>()),
      audio_(std::make_shared<AudioGate>(outputs.sound))
{
    clock_->setMaster(outputs.sound);
    std::weak_ptr<CommandQueue> commands = commands_;
    auto wakeNavigator = [commands] {
        if (const auto queue = commands.lock())
            queue->wake();
    };
    std::weak_ptr<MediaQueue> media = queue_;
    auto wakePresenter = [media] {
        if (const auto queue = media.lock())
            queue->wake();
    };
    queue_->setSpaceListener(wakeNavigator);
    if (outputs.sound)
        outputs.sound->setRoomListener(wakeNavigator);
    link_->setWakers(wakePresenter, wakeNavigator);
    presenter_ = std::make_unique<VideoPresenter>(
        VideoPresenter::Parts{queue_, store, std::move(outputs.pictures), link_, clock_,
                              outputs.sound, outputs.taps, startSoundWithPictures()});
    const PcmFormat format = outputs.sound ? outputs.sound->format() : PcmFormat{};
    navigator_ = std::make_unique<NavigationThread>(
        NavigationThread::Parts{std::move(reading.path), std::move(reading.reader), queue_,
                                commands_, std::move(store), link_, guard_, audio_, format,
                                std::move(outputs.taps), clock_, std::move(reading.regionMask)});
}

// The sound of a new start is held until its first picture is on screen,
// then starts where the pictures stand.
std::function<void(uint64_t)> PlaybackSession::startSoundWithPictures() const
{
    return [gate = audio_, clock = std::weak_ptr<PlaybackClock>(clock_)](uint64_t segment) {
        AudioOutput::PictureClock pictures = [clock]() -> std::optional<int64_t> {
            const std::shared_ptr<PlaybackClock> shared = clock.lock();
            if (!shared || !shared->anchored())
                return std::nullopt;
            return shared->now();
        };
        gate->use([&](AudioOutput &output) { output.startWithPictures(segment, pictures); });
    };
}

PlaybackSession::~PlaybackSession()
{
    commands_->stop();
    queue_->close();
    // A thread left behind in a read never reaches the sound again.
    if (navigator_)
        navigator_->stop(NavigationThread::kTeardownPatience);
    audio_->close();
    presenter_->stop();
}

void PlaybackSession::start()
{
    // The session's first segment, before any jump, is segment 0.
    audio_->use([](AudioOutput &output) { output.holdForPictures(0); });
    presenter_->start();
    navigator_->start();
}

void PlaybackSession::post(NavCommand command)
{
    commands_->post(std::move(command));
}

// The reader hears of both: a timed still's time stands while paused.
void PlaybackSession::pause()
{
    clock_->pause();
    commands_->wake();
}

void PlaybackSession::resume()
{
    clock_->resume();
    queue_->wake();
    commands_->wake();
}

bool PlaybackSession::stuckInLoop() const
{
    return guard_->stuck();
}

void PlaybackSession::abandon()
{
    navigator_->abandon();
    navigator_.reset();
    audio_->close();
    queue_->close();
    presenter_->stop();
}
