#pragma once

#include "engine/source/dvdsource.h"

#include <chrono>
#include <future>

// Probes a source on a thread of its own, so that a slow or stuck drive
// never holds up the window: whoever needs the disc waits a bounded time.
class DiscProbe
{
public:
    explicit DiscProbe(DiscSource source);

    const DiscSource &source() const { return source_; }
    // The disc; throws what probing threw, or that the drive does not answer
    // when it has not within patience (the probe goes on meanwhile).
    ProbedDisc result(std::chrono::milliseconds patience) const;
    // Done, whether the disc was read or not; read.
    bool answered() const;
    bool read() const;
    // Waits for the answer at most until deadline.
    void settle(std::chrono::steady_clock::time_point deadline) const;

private:
    DiscSource source_;
    std::shared_future<ProbedDisc> result_;
};
