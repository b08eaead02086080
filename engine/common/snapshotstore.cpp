#include "engine/common/snapshotstore.h"

int32_t PlaybackSnapshot::packedTime() const
{
    return TimeCode::fromSeconds(double(time90k) / 90000.0, framesPerSecond).pack();
}

int PlaybackSnapshot::currentAudio() const
{
    return audioChoice.pendingAfter(streamChoicesApplied) ? audioChoice.value : readerAudio;
}

int PlaybackSnapshot::currentSubpicture() const
{
    if (subpictureChoice.pendingAfter(streamChoicesApplied))
        return subpictureChoice.value & 0x1F;
    return readerSubpicture;
}

bool PlaybackSnapshot::subpictureOn() const
{
    if (subpictureChoice.pendingAfter(streamChoicesApplied))
        return (subpictureChoice.value & 0x40) != 0;
    return readerSubpictureOn;
}

int PlaybackSnapshot::currentAngle() const
{
    return angleChoice.pendingAfter(angleChoicesApplied) ? angleChoice.value : readerAngle;
}

PlaybackSnapshot SnapshotStore::read() const
{
    std::lock_guard lock(mutex_);
    return snapshot_;
}

void SnapshotStore::update(const std::function<void(PlaybackSnapshot &)> &change)
{
    updateFor(kAnySession, change);
}

void SnapshotStore::updateFor(uint64_t session,
                              const std::function<void(PlaybackSnapshot &)> &change)
{
    std::vector<PendingNotification> events;
    {
        std::lock_guard lock(mutex_);
        if (session != kAnySession && session != session_)
            return;
        const PlaybackSnapshot before = snapshot_;
        change(snapshot_);
        compare(before, snapshot_, events);
    }
    queue(std::move(events));
}

void SnapshotStore::compare(const PlaybackSnapshot &before, const PlaybackSnapshot &after,
                            std::vector<PendingNotification> &out)
{
    if (after.domain() != before.domain()) {
        out.push_back({DvdEvent::kDomainChange, after.domain()});
        if (after.domain() == DvdDomain::kStop)
            out.push_back({DvdEvent::kPlaybackStopped, 0});
    }
    if (after.domain() == DvdDomain::kStop)
        return;
    if (after.title != before.title && after.title > 0)
        out.push_back({DvdEvent::kTitleChange, after.title});
    if ((after.chapter != before.chapter || after.title != before.title) && after.chapter > 0)
        out.push_back({DvdEvent::kChapterStart, after.chapter});
    if (after.currentAudio() != before.currentAudio())
        out.push_back({DvdEvent::kAudioStreamChange, after.currentAudio()});
    if (after.currentSubpicture() != before.currentSubpicture() ||
        after.subpictureOn() != before.subpictureOn())
        out.push_back({DvdEvent::kSubpictureStreamChange, after.currentSubpicture()});
    if (after.currentAngle() != before.currentAngle())
        out.push_back({DvdEvent::kAngleChange, after.currentAngle()});
    if (after.button != before.button && after.menuButtons)
        out.push_back({DvdEvent::kButtonChange, after.button});
    if (after.still != before.still)
        out.push_back({after.still ? DvdEvent::kStillOn : DvdEvent::kStillOff, 0});
    const bool newSecond = after.time90k / 90000 != before.time90k / 90000 ||
                           after.domain() != before.domain() || after.title != before.title;
    if (after.domain() == DvdDomain::kTitle && newSecond)
        out.push_back({DvdEvent::kCurrentTime, 0});
}

void SnapshotStore::reportError(int number, const QString &description)
{
    reportErrorFor(kAnySession, number, description);
}

void SnapshotStore::reportProblem(int number, const QString &description)
{
    reportErrorFor(kAnySession, number, description, true);
}

void SnapshotStore::reportErrorFor(uint64_t session, int number, const QString &description,
                                   bool problem)
{
    {
        std::lock_guard lock(mutex_);
        if (session != kAnySession && session != session_)
            return;
        lastError_ = description;
    }
    queue({{DvdEvent::kError, number, problem ? description : QString()}});
}

QString SnapshotStore::lastError() const
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

// The wake runs under the lock, so that once setWake() has cleared it no
// worker thread can still be calling into a GUI object that is gone.
void SnapshotStore::queue(std::vector<PendingNotification> events)
{
    if (events.empty())
        return;
    std::lock_guard lock(mutex_);
    pending_.insert(pending_.end(), events.begin(), events.end());
    if (!wakePending_ && wake_) {
        wakePending_ = true;
        wake_();
    }
}

std::vector<PendingNotification> SnapshotStore::takeNotifications()
{
    std::lock_guard lock(mutex_);
    wakePending_ = false;
    std::vector<PendingNotification> taken;
    taken.swap(pending_);
    return taken;
}

void SnapshotStore::setWake(std::function<void()> wake)
{
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

uint64_t SnapshotStore::beginSession()
{
    std::lock_guard lock(mutex_);
    return ++session_;
}

void SnapshotStore::endSession()
{
    std::lock_guard lock(mutex_);
    ++session_;
}

void SnapshotWriter::update(const std::function<void(PlaybackSnapshot &)> &change)
{
    store_->updateFor(session_, change);
}

void SnapshotWriter::reportError(int number, const QString &description)
{
    store_->reportErrorFor(session_, number, description);
}

void SnapshotWriter::reportProblem(int number, const QString &description)
{
    store_->reportErrorFor(session_, number, description, true);
}
