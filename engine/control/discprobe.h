#pragma once

#include "engine/source/dvdsource.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

class AppError;

// How a source is read for what its disc holds; tests give a slow one.
using DiscProber = std::function<ProbedDisc(const DiscSource &)>;

// The probe threads of one control that are still running, up to a cap: a
// drive that hangs every read cannot pile up threads without end.
class ProbeThreads
{
public:
    explicit ProbeThreads(int cap) : cap_(cap) {}
    bool tryTake();
    void giveBack();
    int running() const { return running_.load(); }

private:
    const int cap_;
    std::atomic<int> running_{0};
};

// Probes a source on a thread of its own, so that a slow or stuck drive
// never holds up the window: whoever needs the disc waits a bounded time, or
// asks to hear when the answer is there. A probe that goes before its answer
// leaves its thread to finish alone, holding its place among the threads.
// When they are all taken, the probe answers at once that the drive does not
// answer.
class DiscProbe
{
public:
    DiscProbe(DiscSource source, const DiscProber &prober, std::shared_ptr<ProbeThreads> threads);
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
    std::thread thread_;
};
