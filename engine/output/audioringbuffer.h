#pragma once

#include "engine/common/audiopcm.h"

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// The bounded queue of PCM between the thread that decodes (the producer) and
// the sink that plays (the consumer), safe across the two threads.
//
// Bytes are counted by stream position: every byte ever written has one, so
// "how far has the device got" is a single number. Each write leaves a mark
// (position, PTS of its first sample); the clock turns any position back into
// a PTS through the marks, across jumps in the timeline.
class AudioRingBuffer
{
public:
    enum class WriteResult {
        Written,  // all of it is queued
        Full,     // no room within the timeout; nothing was written
        Rejected, // not whole sample frames, or larger than the whole buffer
        Closed,   // the output is shutting down
    };

    // A PTS found for a stream position. The epoch changes wherever the
    // timeline does not continue (a flush, a jump in the written PTS), so a
    // reader can tell a real step back from measuring noise.
    struct Timestamp {
        int64_t pts90k = 0;
        uint32_t epoch = 0;
    };

    AudioRingBuffer(const PcmFormat &format, qsizetype capacityBytes);

    // Producer side. Waits up to timeout for room for the whole block.
    WriteResult write(const char *data, qsizetype size, int64_t pts90k,
                      std::chrono::milliseconds timeout);
    // Consumer side: takes up to maxSize bytes, whole frames only.
    qsizetype read(char *data, qsizetype maxSize);
    // True once after a read found nothing, so the consumer can be woken when
    // data comes again.
    bool takeStarved();

    // Called (on the consumer's thread) once a write found no room and
    // there is room for it and a quarter of the buffer free again: a producer that does not block
    // in write() sleeps until then.
    void setRoomListener(std::function<void()> listener);

    // Drops everything queued and every mark, and any hold; blocked writers
    // get room.
    void clear();

    // While held the consumer reads nothing: the sound of a new start waits
    // for its first picture. A hold is known by the id it was made with, so
    // that a late release of an older one leaves a newer one in place.
    void hold(uint64_t id);
    bool held() const;
    // The PTS of the oldest sample queued; nothing when nothing is.
    std::optional<int64_t> firstQueuedPts() const;
    // Ends the hold id, first dropping the samples queued before from (the
    // picture on screen has gone past them); false when id is not the hold
    // in place.
    bool release(uint64_t id, std::optional<int64_t> from = std::nullopt);
    // Wakes blocked writers for good; every later write returns Closed.
    void close();

    qsizetype capacity() const { return qsizetype(storage_.size()); }
    qsizetype queuedBytes() const;
    // Producers waiting in write() for room now.
    int waitingWriters() const;
    // Stream positions: bytes ever read (or dropped) and ever written.
    int64_t readPosition() const;
    int64_t writePosition() const;

    std::optional<Timestamp> timestampAt(int64_t position) const;
    // Marks wholly before position are no longer needed by the clock.
    void forgetMarksBefore(int64_t position);

    const PcmFormat &format() const { return format_; }

private:
    struct Mark {
        int64_t position = 0;
        int64_t pts90k = 0;
        uint32_t epoch = 0;
    };

    void addMark(int64_t pts90k);
    int64_t ticksBetween(int64_t from, int64_t to) const;
    int64_t positionOfLocked(int64_t pts90k) const;
    void dropLocked(qsizetype size);
    std::function<void()> takeRoomListenerLocked();
    void copyIn(const char *data, qsizetype size);
    void copyOut(char *data, qsizetype size);

    const PcmFormat format_;
    mutable std::mutex mutex_;
    std::condition_variable roomFreed_;
    std::vector<char> storage_;
    qsizetype head_ = 0; // index of the oldest queued byte
    qsizetype queued_ = 0;
    int64_t readPosition_ = 0;
    int64_t writePosition_ = 0;
    std::deque<Mark> marks_;
    uint32_t epoch_ = 0;
    bool closed_ = false;
    std::optional<uint64_t> hold_;
    bool starved_ = false;
    int waitingWriters_ = 0;
    qsizetype roomWanted_ = 0; // free bytes that wake the listener; 0: nobody waits
    std::function<void()> roomListener_;
};
