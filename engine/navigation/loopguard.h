#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>

// Detects a thread stuck in an endless loop inside a library call: a disc's
// navigation commands can jump in a circle that libdvdnav follows forever
// without returning. A thread marks its library calls with Section; another
// thread asks stuck(), which holds once a single call has burnt more CPU time
// than any real call needs (a call blocked on a slow drive burns none).
class LoopGuard
{
public:
    // Called on the guarded thread before its first Section.
    void attachCurrentThread();
    bool stuck(int64_t cpuLimitMs = 2000) const;

    // Sections may nest; the outermost one counts.
    class Section
    {
    public:
        explicit Section(LoopGuard &guard);
        ~Section();
        Section(const Section &) = delete;
        Section &operator=(const Section &) = delete;

    private:
        LoopGuard &guard_;
        bool outermost_ = false;
    };

private:
    int64_t threadCpuNs() const;

    clockid_t cpuClock_{};
    std::atomic<bool> attached_{false};
    std::atomic<bool> inside_{false};
    std::atomic<int64_t> cpuAtEntry_{0};
};
