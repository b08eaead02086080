#include "engine/output/audioringbuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace
{

// PTS of consecutive blocks may be off by rounding; a larger gap is a jump.
constexpr int64_t kContinuityTolerance90k = 180; // 2 ms
// Bounds the marks kept when nobody reads the clock.
constexpr size_t kMaxMarks = 4096;

} // namespace

AudioRingBuffer::AudioRingBuffer(const PcmFormat &format, qsizetype capacityBytes) : format_(format)
{
    const qsizetype frame = format_.bytesPerFrame();
    storage_.resize(size_t(std::max(frame, capacityBytes / frame * frame)));
}

AudioRingBuffer::WriteResult AudioRingBuffer::write(const char *data, qsizetype size,
                                                    int64_t pts90k,
                                                    std::chrono::milliseconds timeout)
{
    if (size <= 0 || size % format_.bytesPerFrame() != 0 || size > capacity())
        return WriteResult::Rejected;
    std::unique_lock lock(mutex_);
    ++waitingWriters_;
    const bool roomOrClosed =
        roomFreed_.wait_for(lock, timeout, [&] { return closed_ || capacity() - queued_ >= size; });
    --waitingWriters_;
    if (closed_)
        return WriteResult::Closed;
    if (!roomOrClosed) {
        roomWanted_ = std::max(size, capacity() / 4);
        return WriteResult::Full;
    }
    addMark(pts90k);
    copyIn(data, size);
    return WriteResult::Written;
}

void AudioRingBuffer::addMark(int64_t pts90k)
{
    if (!marks_.empty()) {
        const Mark &last = marks_.back();
        const int64_t expected = last.pts90k + ticksBetween(last.position, writePosition_);
        if (std::abs(pts90k - expected) > kContinuityTolerance90k)
            ++epoch_;
    }
    marks_.push_back(Mark{writePosition_, pts90k, epoch_});
    if (marks_.size() > kMaxMarks)
        marks_.pop_front();
}

int64_t AudioRingBuffer::ticksBetween(int64_t from, int64_t to) const
{
    return framesToTicks90k((to - from) / format_.bytesPerFrame(), format_.sampleRate);
}

void AudioRingBuffer::copyIn(const char *data, qsizetype size)
{
    const qsizetype total = capacity();
    const qsizetype tail = (head_ + queued_) % total;
    const qsizetype first = std::min(size, total - tail);
    std::memcpy(storage_.data() + tail, data, size_t(first));
    std::memcpy(storage_.data(), data + first, size_t(size - first));
    queued_ += size;
    writePosition_ += size;
}

qsizetype AudioRingBuffer::read(char *data, qsizetype maxSize)
{
    qsizetype size = 0;
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        const qsizetype frame = format_.bytesPerFrame();
        size = hold_ ? 0 : std::min(queued_, maxSize / frame * frame);
        if (size <= 0) {
            starved_ = true;
            return 0;
        }
        copyOut(data, size);
        listener = takeRoomListenerLocked();
    }
    roomFreed_.notify_all();
    if (listener)
        listener();
    return size;
}

void AudioRingBuffer::copyOut(char *data, qsizetype size)
{
    const qsizetype total = capacity();
    const qsizetype first = std::min(size, total - head_);
    std::memcpy(data, storage_.data() + head_, size_t(first));
    std::memcpy(data + first, storage_.data(), size_t(size - first));
    dropLocked(size);
}

void AudioRingBuffer::dropLocked(qsizetype size)
{
    head_ = (head_ + size) % capacity();
    queued_ -= size;
    readPosition_ += size;
}

// The listener, when a writer found no room and there is room for it now.
std::function<void()> AudioRingBuffer::takeRoomListenerLocked()
{
    if (roomWanted_ == 0 || capacity() - queued_ < roomWanted_)
        return {};
    roomWanted_ = 0;
    return roomListener_;
}

void AudioRingBuffer::setRoomListener(std::function<void()> listener)
{
    std::lock_guard lock(mutex_);
    roomListener_ = std::move(listener);
}

bool AudioRingBuffer::takeStarved()
{
    std::lock_guard lock(mutex_);
    return std::exchange(starved_, false);
}

void AudioRingBuffer::clear()
{
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        if (std::exchange(roomWanted_, 0) > 0)
            listener = roomListener_;
        readPosition_ = writePosition_;
        head_ = 0;
        queued_ = 0;
        marks_.clear();
        ++epoch_;
        hold_.reset();
    }
    roomFreed_.notify_all();
    if (listener)
        listener();
}

void AudioRingBuffer::hold(uint64_t id)
{
    std::lock_guard lock(mutex_);
    hold_ = id;
}

bool AudioRingBuffer::held() const
{
    std::lock_guard lock(mutex_);
    return hold_.has_value();
}

std::optional<int64_t> AudioRingBuffer::firstQueuedPts() const
{
    if (queuedBytes() == 0)
        return std::nullopt;
    const std::optional<Timestamp> first = timestampAt(readPosition());
    return first ? std::optional(first->pts90k) : std::nullopt;
}

bool AudioRingBuffer::release(uint64_t id, std::optional<int64_t> from)
{
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        if (hold_ != id)
            return false;
        hold_.reset();
        if (from) {
            const int64_t end = std::min<int64_t>(positionOfLocked(*from), readPosition_ + queued_);
            dropLocked(qsizetype(std::max<int64_t>(0, end - readPosition_)));
        }
        listener = takeRoomListenerLocked();
    }
    roomFreed_.notify_all();
    if (listener)
        listener();
    return true;
}

// The stream position of the sample due at pts: in the stretch of the last
// mark at or before pts, never past the next mark.
int64_t AudioRingBuffer::positionOfLocked(int64_t pts90k) const
{
    int64_t position = readPosition_;
    for (size_t index = 0; index < marks_.size(); ++index) {
        const Mark &mark = marks_[index];
        if (mark.pts90k > pts90k)
            continue;
        const int64_t frames = (pts90k - mark.pts90k) * format_.sampleRate / 90000;
        const int64_t end = index + 1 < marks_.size() ? marks_[index + 1].position : writePosition_;
        position =
            std::max(position, std::min(end, mark.position + frames * format_.bytesPerFrame()));
    }
    return position;
}

void AudioRingBuffer::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    roomFreed_.notify_all();
}

qsizetype AudioRingBuffer::queuedBytes() const
{
    std::lock_guard lock(mutex_);
    return queued_;
}

int AudioRingBuffer::waitingWriters() const
{
    std::lock_guard lock(mutex_);
    return waitingWriters_;
}

int64_t AudioRingBuffer::readPosition() const
{
    std::lock_guard lock(mutex_);
    return readPosition_;
}

int64_t AudioRingBuffer::writePosition() const
{
    std::lock_guard lock(mutex_);
    return writePosition_;
}

std::optional<AudioRingBuffer::Timestamp> AudioRingBuffer::timestampAt(int64_t position) const
{
    std::lock_guard lock(mutex_);
    for (auto mark = marks_.rbegin(); mark != marks_.rend(); ++mark) {
        if (mark->position <= position)
            return Timestamp{mark->pts90k + ticksBetween(mark->position, position), mark->epoch};
    }
    return std::nullopt;
}

void AudioRingBuffer::forgetMarksBefore(int64_t position)
{
    std::lock_guard lock(mutex_);
    while (marks_.size() >= 2 && marks_[1].position <= position)
        marks_.pop_front();
}
