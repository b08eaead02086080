#pragma once

#include "engine/common/snapshotstore.h"
#include "engine/demux/mediaqueue.h"
#include "engine/navigation/commandqueue.h"
#include "engine/navigation/loopguard.h"
#include "engine/navigation/navigationthread.h"
#include "engine/present/pictureslot.h"
#include "engine/present/playbackclock.h"
#include "engine/present/presentationlink.h"
#include "engine/present/videopresenter.h"
#include "engine/source/dvdsource.h"

#include <chrono>
#include <functional>
#include <memory>

class AudioOutput;

// One disc playing, from Play to Stop: the navigation and presentation
// threads and what they share.
class PlaybackSession
{
public:
    struct Outputs {
        std::shared_ptr<PictureSlot> pictures;
        AudioOutput *sound = nullptr; // outlives the session
        std::shared_ptr<const PlaybackTaps> taps;
    };

    struct Reading {
        QString path;                        // what libdvdnav opens
        std::shared_ptr<BlockReader> reader; // where blocks come from; null: libdvdnav
        std::function<int()> regionMask;     // the VM's, asked on the navigation thread
    };

    PlaybackSession(Reading reading, std::shared_ptr<SnapshotWriter> store,
                    Outputs outputs); // throws AppError (decoder)
    ~PlaybackSession();

    void start();
    void post(NavCommand command);
    PlaybackClock &clock() { return *clock_; }
    // Freezes the pictures (the sound output pauses on its own), and lets
    // them go on where they stood.
    void pause();
    void resume();

    // The navigation thread is caught in an endless loop of the disc's
    // commands inside libdvdnav.
    bool stuckInLoop() const;
    // Ends the session without waiting for a stuck navigation thread.
    void abandon();

private:
    std::function<void(uint64_t)> startSoundWithPictures() const;

    std::shared_ptr<MediaQueue> queue_;
    std::shared_ptr<CommandQueue> commands_;
    std::shared_ptr<PresentationLink> link_;
    std::shared_ptr<LoopGuard> guard_;
    std::shared_ptr<PlaybackClock> clock_;
    std::shared_ptr<AudioGate> audio_;
    std::unique_ptr<VideoPresenter> presenter_;
    std::unique_ptr<NavigationThread> navigator_;
};
