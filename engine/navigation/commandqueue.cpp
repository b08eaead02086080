#include "engine/navigation/commandqueue.h"

void CommandQueue::post(NavCommand command)
{
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(std::move(command));
    }
    changed_.notify_all();
}

std::vector<NavCommand> CommandQueue::takeAll()
{
    std::lock_guard lock(mutex_);
    std::vector<NavCommand> taken;
    taken.swap(commands_);
    return taken;
}

void CommandQueue::waitUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [&] { return !commands_.empty() || woken_ || stopping_; });
    woken_ = false;
}

void CommandQueue::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

void CommandQueue::stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
}

bool CommandQueue::stopping() const
{
    std::lock_guard lock(mutex_);
    return stopping_;
}
