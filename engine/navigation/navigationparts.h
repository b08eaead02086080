#pragma once

#include "engine/common/snapshotstore.h"
#include "engine/demux/mediaqueue.h"
#include "engine/navigation/audiofeed.h"
#include "engine/navigation/commandqueue.h"
#include "engine/navigation/loopguard.h"
#include "engine/navigation/navsession.h"
#include "engine/present/playbackclock.h"
#include "engine/present/presentationlink.h"

#include <QString>

#include <functional>
#include <memory>

// What the navigation thread is given for one session: the disc, the queues
// it fills and reads, the shared state it publishes, and the sound.
struct NavigationParts {
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
