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
    stop();
}

void NavigationThread::start()
{
    std::shared_ptr<NavigationWorker> worker = worker_;
    thread_ = std::thread([worker] { worker->run(); });
}

void NavigationThread::stop()
{
    if (!thread_.joinable())
        return;
    worker_->requestStop();
    thread_.join();
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
