#include "engine/navigation/navigationworker.h"

// Scanning on the navigation thread. Sound is off throughout; leaving a scan
// reads on from the picture on screen, so that sound and pictures start
// together again.

namespace
{
using std::chrono::milliseconds;

// Up to this rate a forward scan reads and decodes everything.
constexpr int kMaxReadingRate = 4;
// A stepping scan shows a new picture this often, when the drive keeps up.
constexpr auto kStepInterval = milliseconds(100);
// A forward step this close to the end of the program chain plays the rest.
constexpr int64_t kEndMargin90k = 90000;
// Blocks and events read for one reference picture before giving up.
constexpr int kMaxCaptureReads = 4096;

int64_t ticksSince(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 from)
               .count() *
           9 / 100;
}
} // namespace

void NavigationWorker::changeScan(NavigationCore &core, const ScanChange &change)
{
    const int speed = change.speed;
    scan_.request = change.request;
    const int64_t onScreen = parts_.store->read().time90k;
    if (speed == 0) {
        leaveScan(core, onScreen);
        return;
    }
    const bool wasStepping = mode_.state() == ReaderMode::State::Stepping;
    const bool stepsNow = speed < 0 || speed > kMaxReadingRate;
    scan_.speed = speed;
    scan_.title = core.position().title;
    audio_.setEnabled(false);
    if (stepsNow) {
        if (mode_.startStepping() == ReaderMode::Action::LeaveStill)
            publishStill(false);
        parts_.clock->setRate(1);
        parts_.link->setScanRate(0);
        scan_.origin90k = onScreen;
        scan_.lastStep90k = onScreen;
        scan_.originAt = Clock::now();
        scan_.nextStep = scan_.originAt;
    } else {
        parts_.clock->setRate(speed);
        parts_.link->setScanRate(speed);
        mode_.stopStepping();
        if (wasStepping)
            seek(core, onScreen);
    }
}

bool NavigationWorker::seek(NavigationCore &core, int64_t time90k)
{
    LoopGuard::Section section(*parts_.guard);
    return core.seek(time90k);
}

void NavigationWorker::leaveScan(NavigationCore &core, std::optional<int64_t> resumeAt)
{
    if (scan_.speed == 0)
        return;
    publishScanEnd(scan_.request);
    scan_ = Scan{};
    mode_.stopStepping();
    parts_.clock->setRate(1);
    parts_.link->setScanRate(0);
    audio_.setEnabled(true);
    if (resumeAt)
        seek(core, *resumeAt);
}

// One turn of a stepping scan: once the last step's picture is on screen and
// its time is up, the next picture is read from where the scan has got to.
bool NavigationWorker::stepping(NavigationCore &core)
{
    if (mode_.state() != ReaderMode::State::Stepping)
        return false;
    const bool shown = parts_.link->drained() >= scan_.stepDrain;
    const Clock::time_point now = Clock::now();
    if (!shown || now < scan_.nextStep) {
        waitUntil(shown ? scan_.nextStep : now + kStepInterval);
        return true;
    }
    const int64_t target = scan_.origin90k + scan_.speed * ticksSince(scan_.originAt);
    const int64_t length = core.position().programChainLength90k;
    if (target <= 0) {
        leaveScan(core, 0);
        return true;
    }
    if (length > 0 && target >= length - kEndMargin90k) {
        leaveScan(core, scan_.lastStep90k);
        return true;
    }
    scan_.nextStep = now + kStepInterval;
    if (!seek(core, target) || !captureStep(core)) {
        leaveScan(core, std::nullopt);
        return true;
    }
    scan_.lastStep90k = target;
    return true;
}

// Reads from a jump until the reference picture is taken; false when the
// disc went elsewhere (a still, a wait, the end, another title).
bool NavigationWorker::captureStep(NavigationCore &core)
{
    core.captureReferencePicture();
    for (int read = 0; read < kMaxCaptureReads; ++read) {
        NavigationCore::Step step;
        {
            LoopGuard::Section section(*parts_.guard);
            step = core.readNext();
        }
        publish(core.state());
        const PositionTag &position = core.position();
        if (step.result != NavigationCore::Result::Continue ||
            position.domain != DvdDomain::kTitle || position.title != scan_.title)
            return false;
        switch (core.capture()) {
        case NavigationCore::Capture::Done:
            scan_.stepDrain = ++drainId_;
            parts_.queue->push(DrainRequest{drainId_});
            return true;
        case NavigationCore::Capture::Skipped:
            return true;
        case NavigationCore::Capture::Reading:
        case NavigationCore::Capture::Off:
            break;
        }
    }
    return false;
}

// A scan that reads everything ends where the title does.
void NavigationWorker::endScanAtTitleBounds(NavigationCore &core, NavigationCore::Result result)
{
    if (scan_.speed == 0 || mode_.state() == ReaderMode::State::Stepping)
        return;
    const PositionTag &position = core.position();
    if (result != NavigationCore::Result::Continue || position.domain != DvdDomain::kTitle ||
        position.title != scan_.title)
        leaveScan(core, std::nullopt);
}

void NavigationWorker::publishScanEnd(uint64_t request)
{
    parts_.store->update(
        [request](PlaybackSnapshot &snapshot) { snapshot.scanEndedRequest = request; });
}
