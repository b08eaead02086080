#include "core/dvdcontrol/playbacksession.h"

namespace
{
// How far the reader may run ahead of the picture: enough to ride out a slow
// drive, little enough for menus to answer at once and Resume to land close.
constexpr size_t kQueueBytes = 4 * 1024 * 1024;
constexpr int64_t kQueueLead90k = 45000;
} // namespace

PlaybackSession::PlaybackSession(const DiscSource &source, std::shared_ptr<SnapshotStore> store,
                                 std::shared_ptr<PictureSlot> output)
    : queue_(std::make_shared<MediaQueue>(kQueueBytes, kQueueLead90k)),
      commands_(std::make_shared<CommandQueue>()), link_(std::make_shared<PresentationLink>()),
      guard_(std::make_shared<LoopGuard>()), clock_(std::make_shared<PlaybackClock>())
{
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
    link_->setWakers(wakePresenter, wakeNavigator);
    presenter_ = std::make_unique<VideoPresenter>(
        VideoPresenter::Parts{queue_, store, std::move(output), link_, clock_});
    navigator_ = std::make_unique<NavigationThread>(
        NavigationThread::Parts{source.path, queue_, commands_, std::move(store), link_, guard_});
}

PlaybackSession::~PlaybackSession()
{
    commands_->stop();
    queue_->close();
    if (navigator_)
        navigator_->stop();
    presenter_->stop();
}

void PlaybackSession::start()
{
    presenter_->start();
    navigator_->start();
}

void PlaybackSession::post(NavCommand command)
{
    commands_->post(std::move(command));
}

bool PlaybackSession::stuckInLoop() const
{
    return guard_->stuck();
}

void PlaybackSession::abandon()
{
    navigator_->abandon();
    navigator_.reset();
    queue_->close();
    presenter_->stop();
}
