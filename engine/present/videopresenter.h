#pragma once

#include "engine/common/playbacktaps.h"
#include "engine/common/snapshotstore.h"
#include "engine/common/soundclock.h"
#include "engine/demux/mediaqueue.h"
#include "engine/present/pictureslot.h"
#include "engine/present/playbackclock.h"
#include "engine/present/presentationcore.h"
#include "engine/present/presentationlink.h"

#include <functional>
#include <memory>
#include <thread>

// The presentation thread: takes media from the queue, decodes it ahead by a
// few pictures, and shows each picture when the clock reaches it. Showing a
// picture publishes it to the view and its position to the snapshot.
class VideoPresenter
{
public:
    struct Parts {
        std::shared_ptr<MediaQueue> queue;
        std::shared_ptr<SnapshotWriter> store;
        std::shared_ptr<PictureSlot> output;
        std::shared_ptr<PresentationLink> link;
        std::shared_ptr<PlaybackClock> clock;
        const SoundClock *sound = nullptr; // what is heard, for the taps
        std::shared_ptr<const PlaybackTaps> taps;
        // Called with a segment's id once its first picture is on screen:
        // the sound of a new start waits for it.
        std::function<void(uint64_t segment)> firstPictureShown;
    };

    explicit VideoPresenter(Parts parts); // throws AppError when the decoder cannot start
    ~VideoPresenter();

    void start();
    void stop(); // closes the queue and joins

private:
    void run();
    void step();
    void presentDue();
    void waitUntil(PlaybackClock::Clock::time_point due);
    void decodeMore(PlaybackClock::Clock::time_point deadline);
    bool readQueued();
    bool wantsPictures();
    void noteSegmentAndDrain();
    void show(const DecodedPicture &picture);
    void publish(const FrameOnScreen &frame);
    bool looked() const;
    void tap(const FrameOnScreen &frame);
    void acknowledgeDrainIfDone();
    void recomposeIfButtonsChanged();
    void refreshOverlay();

    Parts parts_;
    PresentationCore core_;
    std::optional<DecodedPicture> pending_;
    std::optional<uint64_t> drainToAcknowledge_;
    // The segment whose first picture is to come; the session starts in 0.
    std::optional<uint64_t> soundWaitsFor_ = 0;
    uint64_t segment_ = 0;
    uint64_t buttonSerial_ = 0;
    int64_t shownPts_ = -1;
    int scanRate_ = 0;
    bool deinterlacing_ = true; // as the decoder starts
    bool decodingRun_ = false;  // decoding ahead until enough pictures wait
    PlaybackClock::Clock::time_point shownAt_{};
    std::thread thread_;
};
