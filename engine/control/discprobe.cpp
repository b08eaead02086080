#include "engine/control/discprobe.h"

#include "core/errors.h"

#include <thread>

DiscProbe::DiscProbe(DiscSource source) : source_(std::move(source))
{
    // Detached: a probe stuck on the drive is left to finish on its own, and
    // nothing waits for it when the control goes.
    std::packaged_task<ProbedDisc()> task([source = source_] { return DvdSource::probe(source); });
    result_ = task.get_future().share();
    std::thread(std::move(task)).detach();
}

ProbedDisc DiscProbe::result(std::chrono::milliseconds patience) const
{
    if (result_.wait_for(patience) != std::future_status::ready)
        throw AppError(ErrorNumbers::kUnreadableSource,
                       QStringLiteral("The drive of \"%1\" does not answer: it may still be "
                                      "reading a damaged disc. Try again in a moment.")
                           .arg(source_.directory.isEmpty() ? source_.path : source_.directory));
    return result_.get();
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
