#pragma once

#include "engine/common/dvdtypes.h"
#include "engine/common/streaminfo.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct DiscInfo;

// A value the user chose, posted to the navigation thread as the
// `request`th choice (0: none yet).
struct UserChoice {
    int value = 0;
    uint64_t request = 0;
    bool pendingAfter(uint64_t applied) const { return request > applied; }
};

// What the GUI reads: a copy of the playback state. Each field has one
// writer: the control (session, pause, scan and streams asked for), the
// navigation thread (streams, angles, stills, the end of the disc, which of
// the user's choices it applied) or the presentation thread (the position of
// the picture on screen). Getters never touch the drive.
struct PlaybackSnapshot {
    std::shared_ptr<const DiscInfo> disc; // null until a disc was opened
    QString directory;
    int framesPerSecond = 25; // the disc's

    bool playing = false;                    // control: from Play to Stop
    bool readerEnded = false;                // navigation: the disc ended or failed
    int shownDomain = DvdDomain::kFirstPlay; // presentation: of the picture on screen
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
    bool paused = false;    // control
    // control: times normal speed while scanning, negative backwards; 0 at
    // 1x. The navigation thread ends a scan at a title's end by itself.
    int scanSpeed = 0;
    uint64_t scanRequest = 0;      // control: the scan asked for last
    uint64_t scanEndedRequest = 0; // navigation: the scan it ended by itself
    int regionMask = 0;            // the VM's: bit r-1 for region r

    // navigation: the streams of the program chain, and the ones the VM plays.
    std::vector<AudioStreamInfo> audio;
    int readerAudio = 0;
    std::vector<SubpictureStreamInfo> subpictures;
    int readerSubpicture = 0;
    bool readerSubpictureOn = false;
    int angles = 1;
    int readerAngle = 1;

    // control: the user's last choices, each under the count it was posted
    // with; navigation: the counts of the last choices it applied. Until the
    // VM has a choice, the choice is what the window reads.
    UserChoice audioChoice;
    UserChoice subpictureChoice; // with the display flag 0x40
    UserChoice angleChoice;
    uint64_t streamChoicesApplied = 0;
    uint64_t angleChoicesApplied = 0;

    int currentAudio() const;
    int currentSubpicture() const;
    bool subpictureOn() const;
    int currentAngle() const;
    int32_t packedTime() const;
    int domain() const { return playing && !readerEnded ? shownDomain : DvdDomain::kStop; }
    int scanning() const { return scanEndedRequest == scanRequest ? 0 : scanSpeed; }
};

// A DVDNotify waiting to be delivered on the GUI thread.
struct PendingNotification {
    PendingNotification(int code, int parameter, QString told = {})
        : event(code), param2(parameter), problem(std::move(told))
    {
    }
    int event = 0;
    int param2 = 0;
    QString problem; // what the user must be told of, besides the notification
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
    // An error the user is told of: playback went on without part of the disc.
    void reportProblem(int number, const QString &description);
    QString lastError() const;

    std::vector<PendingNotification> takeNotifications();
    void setWake(std::function<void()> wake);

    // Sessions: only the one begun last may write through its writer.
    uint64_t beginSession();
    void endSession();

private:
    friend class SnapshotWriter;
    static constexpr uint64_t kAnySession = 0;
    void updateFor(uint64_t session, const std::function<void(PlaybackSnapshot &)> &change);
    void reportErrorFor(uint64_t session, int number, const QString &description,
                        bool problem = false);

    static void compare(const PlaybackSnapshot &before, const PlaybackSnapshot &after,
                        std::vector<PendingNotification> &out);
    void queue(std::vector<PendingNotification> events);

    mutable std::mutex mutex_;
    PlaybackSnapshot snapshot_;
    std::vector<PendingNotification> pending_;
    std::function<void()> wake_;
    bool wakePending_ = false;
    QString lastError_;
    uint64_t session_ = 0;
};

// One session's hand on the store. A thread the control gave up on (stuck
// on the drive or in the disc's endless commands) may still write when it
// wakes; by then the snapshot belongs to another session, or to none, and
// its writes are dropped.
class SnapshotWriter
{
public:
    SnapshotWriter(std::shared_ptr<SnapshotStore> store, uint64_t session)
        : store_(std::move(store)), session_(session)
    {
    }
    PlaybackSnapshot read() const { return store_->read(); }
    void update(const std::function<void(PlaybackSnapshot &)> &change);
    void reportError(int number, const QString &description);
    void reportProblem(int number, const QString &description);

private:
    std::shared_ptr<SnapshotStore> store_;
    uint64_t session_;
};
