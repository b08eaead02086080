#pragma once

#include "engine/control/dvdcontrol.h"
#include "engine/source/discinfo.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// What the GUI reads: a copy of the playback state, published by the
// navigation thread (streams, angles) and by the presentation thread (the
// position of the picture on screen). Getters never touch the drive.
struct PlaybackSnapshot {
    std::shared_ptr<const DiscInfo> disc; // null until a disc was opened
    QString directory;

    int domain = DvdDomain::kStop;
    int titleSet = 0;
    int title = 0;
    int chapter = 0;
    int64_t programChainLength90k = 0;
    int64_t time90k = 0; // of the picture on screen, in its program chain
    uint32_t prohibited = 0;
    bool menuButtons = false; // the picture on screen has buttons
    int button = 0;
    bool still = false;
    bool resumable = false; // a title was left for a menu and can be resumed
    bool paused = false;
    int scanSpeed = 0;  // times normal speed while scanning, negative backwards; 0 at 1x
    int regionMask = 0; // the VM's: bit r-1 for region r

    std::vector<AudioStreamInfo> audio; // available in the program chain
    int currentAudio = 0;
    std::vector<SubpictureStreamInfo> subpictures;
    int currentSubpicture = 0;
    bool subpictureOn = false;
    int angles = 1;
    int currentAngle = 1;

    int framesPerSecond() const { return disc ? disc->framesPerSecond : 25; }
    int32_t packedTime() const;
};

// A DVDNotify waiting to be delivered on the GUI thread.
struct PendingNotification {
    int event = 0;
    int param2 = 0;
};

// The snapshot under a lock. Every update compares before and after and
// queues the notifications the change calls for; the wake function (set by
// the GUI side) is called once per batch.
class SnapshotStore
{
public:
    PlaybackSnapshot read() const;
    void update(const std::function<void(PlaybackSnapshot &)> &change);
    void reportError(int number, const QString &description);
    QString lastError() const;

    std::vector<PendingNotification> takeNotifications();
    void setWake(std::function<void()> wake);

private:
    static void compare(const PlaybackSnapshot &before, const PlaybackSnapshot &after,
                        std::vector<PendingNotification> &out);
    void queue(std::vector<PendingNotification> events);

    mutable std::mutex mutex_;
    PlaybackSnapshot snapshot_;
    std::vector<PendingNotification> pending_;
    std::function<void()> wake_;
    bool wakePending_ = false;
    QString lastError_;
};
