#pragma once

#include "engine/demux/mediaitems.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

// The bounded queue between the navigation and presentation threads. The
// reader may run ahead of the picture by at most a byte budget and a time
// lead, so that menus answer quickly and Resume lands close to the picture.
class MediaQueue
{
public:
    MediaQueue(size_t maxBytes, int64_t maxLead90k);

    // Producer side. push() never blocks: the producer asks full() first and
    // waits for the space listener when it is.
    bool full() const;
    void push(MediaItem item);
    // Drops everything queued and begins a new segment with a SegmentStart.
    void startSegment();
    void setSpaceListener(std::function<void()> listener);

    // Consumer side: the next item, or nothing when the deadline passed,
    // wake() was called or the queue was closed.
    std::optional<MediaItem> pop(std::chrono::steady_clock::time_point deadline);
    // The next item if one is queued; never waits and leaves a wake() pending.
    std::optional<MediaItem> tryPop();
    // Waits for the deadline, wake() or close(), whatever is queued.
    void waitForWake(std::chrono::steady_clock::time_point deadline);
    void wake();
    void close();
    bool closed() const;
    bool empty() const;
    uint64_t segment() const;

private:
    bool fullLocked() const;
    bool beyondLocked(size_t maxBytes, int64_t maxLead90k) const;
    static size_t sizeOf(const MediaItem &item);
    // Takes the front item; returns the space listener to call once unlocked.
    std::function<void()> takeFrontLocked(std::optional<MediaItem> &item);

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<MediaItem> items_;
    std::function<void()> spaceListener_;
    size_t bytes_ = 0;
    size_t maxBytes_;
    int64_t maxLead90k_;
    int64_t newestVideoPts_ = -1;
    int64_t firstVideoPts_ = -1;
    int64_t takenVideoPts_ = -1;
    uint64_t segment_ = 0;
    mutable bool producerWaits_ = false; // full() said so; space is told once
    bool woken_ = false;
    bool closed_ = false;
};
