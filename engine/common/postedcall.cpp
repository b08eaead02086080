#include "engine/common/postedcall.h"

#include <QCoreApplication>

#include <future>
#include <optional>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace
{

void handOver(QEvent *event)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(event);
#else
    Q_UNUSED(event);
#endif
}

void takeOver(QEvent *event)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(event);
#else
    Q_UNUSED(event);
#endif
}

QEvent::Type callEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

class CallEvent : public QEvent
{
public:
    explicit CallEvent(std::function<void()> call) : QEvent(callEventType()), call_(std::move(call))
    {
    }

    std::future<void> completion()
    {
        done_.emplace();
        return done_->get_future();
    }

    void run()
    {
        call_();
        if (done_)
            done_->set_value();
    }

private:
    std::function<void()> call_;
    // Dropped unrun, the event breaks its promise, which ends the wait too.
    std::optional<std::promise<void>> done_;
};

} // namespace

void PostedCall::post(QObject *receiver, std::function<void()> call)
{
    auto *event = new CallEvent(std::move(call));
    handOver(event);
    QCoreApplication::postEvent(receiver, event);
}

void PostedCall::postAndWait(QObject *receiver, std::function<void()> call)
{
    auto *event = new CallEvent(std::move(call));
    const std::future<void> done = event->completion();
    handOver(event);
    QCoreApplication::postEvent(receiver, event);
    done.wait();
}

bool PostedCall::deliver(QEvent *event)
{
    // Taken over before its type is read, which was written on the posting
    // thread too; an event never handed over is left as it was.
    takeOver(event);
    if (event->type() != callEventType())
        return false;
    static_cast<CallEvent *>(event)->run();
    return true;
}
