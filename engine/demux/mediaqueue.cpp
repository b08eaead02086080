#include "engine/demux/mediaqueue.h"

namespace
{
// Below this many bytes the time lead does not count: a few packets must
// always fit, whatever their timestamps say.
constexpr size_t kMinimumBytes = 64 * 1024;
// A producer that found the queue full hears of space once it is down to
// this share of its limits: it then reads a good stretch in one go instead
// of waking for every packet taken.
constexpr int kRefillPercent = 75;
} // namespace

MediaQueue::MediaQueue(size_t maxBytes, int64_t maxLead90k)
    : maxBytes_(maxBytes), maxLead90k_(maxLead90k)
{
}

size_t MediaQueue::sizeOf(const MediaItem &item)
{
    if (const auto *video = std::get_if<VideoData>(&item))
        return video->bytes.size();
    if (const auto *subpicture = std::get_if<SubpictureData>(&item))
        return subpicture->bytes.size();
    return 64;
}

bool MediaQueue::fullLocked() const
{
    return beyondLocked(maxBytes_, maxLead90k_);
}

bool MediaQueue::beyondLocked(size_t maxBytes, int64_t maxLead90k) const
{
    if (bytes_ >= maxBytes)
        return true;
    // Before the consumer has taken any video, the lead counts from the first
    // video of the segment.
    const int64_t reference = takenVideoPts_ >= 0 ? takenVideoPts_ : firstVideoPts_;
    const bool leading =
        newestVideoPts_ >= 0 && reference >= 0 && newestVideoPts_ - reference > maxLead90k;
    return leading && bytes_ >= kMinimumBytes;
}

bool MediaQueue::full() const
{
    std::lock_guard lock(mutex_);
    const bool full = fullLocked();
    producerWaits_ = producerWaits_ || full;
    return full;
}

// The consumer waits for items only on an empty queue: only then is it told.
void MediaQueue::push(MediaItem item)
{
    bool wasEmpty = false;
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        if (const auto *video = std::get_if<VideoData>(&item); video && video->pts >= 0) {
            newestVideoPts_ = video->pts;
            if (firstVideoPts_ < 0)
                firstVideoPts_ = video->pts;
        }
        bytes_ += sizeOf(item);
        wasEmpty = items_.empty();
        items_.push_back(std::move(item));
    }
    if (wasEmpty)
        ready_.notify_all();
}

void MediaQueue::startSegment()
{
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        items_.clear();
        bytes_ = 0;
        newestVideoPts_ = -1;
        firstVideoPts_ = -1;
        takenVideoPts_ = -1;
        ++segment_;
        items_.push_back(SegmentStart{segment_});
        producerWaits_ = false;
        listener = spaceListener_;
    }
    ready_.notify_all();
    if (listener)
        listener();
}

void MediaQueue::setSpaceListener(std::function<void()> listener)
{
    std::lock_guard lock(mutex_);
    spaceListener_ = std::move(listener);
}

std::optional<MediaItem> MediaQueue::pop(std::chrono::steady_clock::time_point deadline)
{
    std::function<void()> listener;
    std::optional<MediaItem> item;
    {
        std::unique_lock lock(mutex_);
        ready_.wait_until(lock, deadline, [&] { return !items_.empty() || woken_ || closed_; });
        woken_ = false;
        listener = takeFrontLocked(item);
    }
    if (listener)
        listener();
    return item;
}

std::optional<MediaItem> MediaQueue::tryPop()
{
    std::function<void()> listener;
    std::optional<MediaItem> item;
    {
        std::lock_guard lock(mutex_);
        listener = takeFrontLocked(item);
    }
    if (listener)
        listener();
    return item;
}

std::function<void()> MediaQueue::takeFrontLocked(std::optional<MediaItem> &item)
{
    if (items_.empty() || closed_)
        return {};
    item = std::move(items_.front());
    items_.pop_front();
    bytes_ -= std::min(bytes_, sizeOf(*item));
    if (const auto *video = std::get_if<VideoData>(&*item); video && video->pts >= 0)
        takenVideoPts_ = video->pts;
    if (producerWaits_ &&
        !beyondLocked(maxBytes_ * kRefillPercent / 100, maxLead90k_ * kRefillPercent / 100)) {
        producerWaits_ = false;
        return spaceListener_;
    }
    return {};
}

void MediaQueue::waitForWake(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    ready_.wait_until(lock, deadline, [&] { return woken_ || closed_; });
    woken_ = false;
}

void MediaQueue::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    ready_.notify_all();
}

void MediaQueue::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        items_.clear();
        bytes_ = 0;
    }
    ready_.notify_all();
}

bool MediaQueue::closed() const
{
    std::lock_guard lock(mutex_);
    return closed_;
}

bool MediaQueue::empty() const
{
    std::lock_guard lock(mutex_);
    return items_.empty();
}

uint64_t MediaQueue::segment() const
{
    std::lock_guard lock(mutex_);
    return segment_;
}
