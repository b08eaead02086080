#pragma once

#include "engine/source/dvdsource.h"

#include <chrono>
#include <functional>
#include <future>
#include <memory>

class AppError;

// How a source is read for what its disc holds; tests give a slow one.
using DiscProber = std::function<ProbedDisc(const DiscSource &)>;

// Probes a source on a thread of its own, so that a slow or stuck drive
// never holds up the window: whoever needs the disc waits a bounded time, or
// asks to hear when the answer is there.
class DiscProbe
{
public:
    explicit DiscProbe(DiscSource source, const DiscProber &prober = DvdSource::probe);
    ~DiscProbe();

    const DiscSource &source() const { return source_; }
    // The disc; throws what probing threw, or that the drive does not answer
    // when it has not within patience (the probe goes on meanwhile).
    ProbedDisc result(std::chrono::milliseconds patience) const;
    // That the drive does not answer, for whoever stops waiting.
    AppError silence() const;
    // Done, whether the disc was read or not; read.
    bool answered() const;
    bool read() const;
    // Waits for the answer at most until deadline.
    void settle(std::chrono::steady_clock::time_point deadline) const;
    // Called once on the probe's thread when the answer comes, or at once
    // when it is there already; an empty listener stops the call. The call
    // runs under a lock, so that once the listener is cleared nothing calls
    // into whoever set it.
    void setListener(std::function<void()> listener);

private:
    struct Answer;
    DiscSource source_;
    std::shared_future<ProbedDisc> result_;
    std::shared_ptr<Answer> answer_;
};
