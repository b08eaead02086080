#include "engine/navigation/loopguard.h"

#include <pthread.h>

void LoopGuard::attachCurrentThread()
{
    if (pthread_getcpuclockid(pthread_self(), &cpuClock_) == 0)
        attached_ = true;
}

int64_t LoopGuard::threadCpuNs() const
{
    timespec now{};
    if (clock_gettime(cpuClock_, &now) != 0)
        return -1;
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool LoopGuard::stuck(int64_t cpuLimitMs) const
{
    if (!attached_ || !inside_)
        return false;
    const int64_t now = threadCpuNs();
    return now >= 0 && now - cpuAtEntry_ > cpuLimitMs * 1000000;
}

LoopGuard::Section::Section(LoopGuard &guard) : guard_(guard)
{
    if (guard_.attached_ && !guard_.inside_) {
        outermost_ = true;
        guard_.cpuAtEntry_ = guard_.threadCpuNs();
        guard_.inside_ = true;
    }
}

LoopGuard::Section::~Section()
{
    if (outermost_)
        guard_.inside_ = false;
}
