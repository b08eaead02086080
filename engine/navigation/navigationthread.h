#pragma once

#include "engine/common/snapshotstore.h"
#include "engine/demux/mediaqueue.h"
#include "engine/navigation/audiofeed.h"
#include "engine/navigation/commandqueue.h"
#include "engine/navigation/loopguard.h"
#include "engine/present/playbackclock.h"
#include "engine/present/presentationlink.h"
#include "engine/navigation/navsession.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

class NavigationWorker;

// The navigation thread: the only thread that calls libdvdnav. It runs the
// block loop, honours waits and stills against what the screen shows, runs
// the commands the GUI posted, and publishes the VM's stream state.
class NavigationThread
{
public:
    struct Parts {
        QString path;                        // what libdvdnav opens
        std::shared_ptr<BlockReader> reader; // where blocks come from; null: libdvdnav
        std::shared_ptr<MediaQueue> queue;
        std::shared_ptr<CommandQueue> commands;
        std::shared_ptr<SnapshotWriter> store;
        std::shared_ptr<PresentationLink> link;
        std::shared_ptr<LoopGuard> guard;
        std::shared_ptr<AudioGate> audio;
        PcmFormat audioFormat;
        std::shared_ptr<const PlaybackTaps> taps;
        std::shared_ptr<PlaybackClock> clock; // its rate follows the scan
        // The VM's region mask, asked on the thread (it may read the drive);
        // 0 keeps the library's.
        std::function<int()> regionMask;
    };

    explicit NavigationThread(Parts parts);
    ~NavigationThread();

    void start();
    // Asks the thread to end and waits for it at most `patience`; a thread
    // still busy then (a read stuck on the drive) is abandoned. False when
    // it was.
    bool stop(std::chrono::milliseconds patience);
    // How long a teardown waits for the thread: long enough for any read
    // of a drive in order, short enough not to be felt.
    static constexpr std::chrono::milliseconds kTeardownPatience{300};
    // Gives up on a thread caught in an endless loop inside libdvdnav: it is
    // left running at idle priority, owning nothing anybody else uses.
    void abandon();

private:
    std::shared_ptr<NavigationWorker> worker_;
    std::thread thread_;
};
