#include "engine/navigation/navigationthread.h"

#include "engine/navigation/navigationworker.h"

#include <pthread.h>
#include <sched.h>

NavigationThread::NavigationThread(Parts parts)
    : worker_(std::make_shared<NavigationWorker>(std::move(parts)))
{
}

NavigationThread::~NavigationThread()
{
    stop(kTeardownPatience);
}

void NavigationThread::start()
{
    std::shared_ptr<NavigationWorker> worker = worker_;
    thread_ = std::thread([worker] {
        worker->run();
        worker->finished().set_value();
    });
}

bool NavigationThread::stop(std::chrono::milliseconds patience)
{
    if (!thread_.joinable())
        return true;
    worker_->requestStop();
    if (worker_->ended().wait_for(patience) != std::future_status::ready) {
        abandon();
        return false;
    }
    thread_.join();
    return true;
}

void NavigationThread::abandon()
{
    if (!thread_.joinable())
        return;
    worker_->requestStop();
    sched_param idle{};
    pthread_setschedparam(thread_.native_handle(), SCHED_IDLE, &idle);
    thread_.detach();
}
