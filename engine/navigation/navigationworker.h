#pragma once

#include "engine/navigation/navigationcore.h"
#include "engine/navigation/navigationparts.h"
#include "engine/navigation/readermode.h"

#include <chrono>
#include <future>
#include <optional>

// The navigation thread's work, kept apart from its handle so that an
// abandoned thread still owns everything it touches.
class NavigationWorker
{
public:
    explicit NavigationWorker(NavigationParts parts);
    void run();
    void requestStop();
    // Set once run() has returned; ended() is its other end.
    std::promise<void> &finished() { return finished_; }
    std::shared_future<void> ended() const { return ended_; }

private:
    using Clock = ReaderMode::Clock;

    void loop(NavSession &session, NavigationCore &core);
    bool holding(NavSession &session);
    void read(NavigationCore &core);
    void requestDrain();
    void playOutQueued();
    bool soundPlayedOut();
    void waitUntil(Clock::time_point deadline);
    void act(NavSession &session, ReaderMode::Action action);
    void publishStill(bool still);
    void runCommands(NavSession &session, NavigationCore &core);
    void execute(NavSession &session, NavigationCore &core, const NavCommand &command);
    void noteApplied(const NavCommand &command);
    void callMenu(NavSession &session, NavigationCore &core, int menu);
    void moveButton(NavSession &session, ButtonDirection direction);
    void activateButton(NavSession &session);
    void pointAt(NavSession &session, const PointerButton &pointer);
    void restoreBookmark(NavSession &session, NavigationCore &core, const BookmarkJump &jump);
    void setRegionMask(NavSession &session, int mask);
    void publish(const ReaderState &state);
    void changeScan(NavigationCore &core, const ScanChange &change);
    void leaveScan(NavigationCore &core, std::optional<int64_t> resumeAt);
    bool stepping(NavigationCore &core);
    bool captureStep(NavigationCore &core);
    bool seek(NavigationCore &core, int64_t time90k);
    void endScanAtTitleBounds(NavigationCore &core, NavigationCore::Result result);
    void publishScanEnd(uint64_t request);
    void tellUnreadableRest(NavigationCore &core);
    void fail(int number, const QString &description);
    pci_t onScreenButtons() const;

    NavigationParts parts_;
    std::promise<void> finished_;
    std::shared_future<void> ended_ = finished_.get_future().share();
    AudioFeed audio_;
    ReaderMode mode_;
    uint64_t drainId_ = 0;
    uint64_t publishedRevision_ = 0;
    bool toldUnreadable_ = false;
    std::vector<StreamRegisters> deferred_;
    // The counts of the last user's choices the VM was given, published with
    // the streams they changed.
    struct AppliedChoices {
        uint64_t streams = 0;
        uint64_t angles = 0;
    };
    AppliedChoices applied_;

    // A scan: 2x and 4x forward read everything on a faster clock; faster
    // and backward scans step from reference picture to reference picture
    // by the time that has passed.
    struct Scan {
        int speed = 0; // times normal, negative backwards; 0: not scanning
        uint64_t request = 0;
        int title = 0;
        int64_t origin90k = 0; // program chain time the steps count from
        Clock::time_point originAt{};
        Clock::time_point nextStep{};
        int64_t lastStep90k = 0;
        uint64_t stepDrain = 0; // the drain that shows the last step's picture
    };
    Scan scan_;
};
