#include "engine/control/discprobe.h"

#include "base/errors.h"

#include <mutex>
#include <thread>
#include <utility>

// Shared with the probe's thread, which may outlive the probe.
struct DiscProbe::Answer {
    std::mutex mutex;
    bool given = false;
    std::function<void()> listener;

    void give()
    {
        std::lock_guard lock(mutex);
        given = true;
        if (listener)
            std::exchange(listener, nullptr)();
    }
};

bool ProbeThreads::tryTake()
{
    int running = running_.load();
    while (running < cap_)
        if (running_.compare_exchange_weak(running, running + 1))
            return true;
    return false;
}

void ProbeThreads::giveBack()
{
    --running_;
}

DiscProbe::DiscProbe(DiscSource source, const DiscProber &prober,
                     std::shared_ptr<ProbeThreads> threads)
    : source_(std::move(source)), answer_(std::make_shared<Answer>())
{
    std::promise<ProbedDisc> promise;
    result_ = promise.get_future().share();
    if (!threads->tryTake()) {
        promise.set_exception(std::make_exception_ptr(silence()));
        answer_->give();
        return;
    }
    thread_ = std::thread([source = source_, prober, promise = std::move(promise), answer = answer_,
                           threads = std::move(threads)]() mutable {
        try {
            promise.set_value(prober(source));
        } catch (...) {
            promise.set_exception(std::current_exception());
        }
        answer->give();
        threads->giveBack();
    });
}

DiscProbe::~DiscProbe()
{
    setListener(nullptr);
    if (!thread_.joinable())
        return;
    if (answered())
        thread_.join();
    else
        thread_.detach();
}

ProbedDisc DiscProbe::result(std::chrono::milliseconds patience) const
{
    if (result_.wait_for(patience) != std::future_status::ready)
        throw silence();
    return result_.get();
}

AppError DiscProbe::silence() const
{
    return AppError(ErrorNumbers::kUnreadableSource,
                    QStringLiteral("The drive of \"%1\" does not answer: it may still be "
                                   "reading a damaged disc. Try again in a moment.")
                        .arg(source_.directory.isEmpty() ? source_.path : source_.directory));
}

bool DiscProbe::answered() const
{
    return result_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void DiscProbe::settle(std::chrono::steady_clock::time_point deadline) const
{
    result_.wait_until(deadline);
}

bool DiscProbe::read() const
{
    if (!answered())
        return false;
    try {
        result_.get();
        return true;
    } catch (...) {
        return false;
    }
}

void DiscProbe::setListener(std::function<void()> listener)
{
    std::lock_guard lock(answer_->mutex);
    if (answer_->given && listener)
        listener();
    else
        answer_->listener = std::move(listener);
}
