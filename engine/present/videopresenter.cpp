#include "engine/present/videopresenter.h"

#include "base/logging.h"

#include <QDebug>

namespace
{
using Clock = PlaybackClock::Clock;
using std::chrono::milliseconds;

// Decoded pictures kept ahead of the screen. While nobody looks at them
// (nothing is converted), the decoder runs ahead to a few more once it
// starts: several pictures in a row find its tables and reference pictures
// still in the caches, one at a time every 40 ms they are cold each time.
// Shown pictures take the memory for RGB instead.
constexpr size_t kPicturesAhead = 2;
constexpr size_t kPicturesAheadUnseen = 5;
// A picture is shown this early at most.
constexpr int64_t kEarlyTolerance90k = 5 * 90;
// From this scan rate on only reference pictures are decoded.
constexpr int kSkipNonReferenceRate = 4;
// However far off a picture is due, the thread looks up this often (a pause
// stops the clock for as long as it lasts).
constexpr auto kLongestWait = std::chrono::milliseconds(500);
// A picture this late is dropped when another one is ready to take its place.
constexpr int64_t kDropLateness90k = 80 * 90;
// Further off than this, the timestamps jumped: the clock starts again.
constexpr int64_t kResyncLateness90k = 90000;
constexpr int64_t kResyncEarliness90k = 2 * 90000;
} // namespace

VideoPresenter::VideoPresenter(Parts parts) : parts_(std::move(parts)) {}

VideoPresenter::~VideoPresenter()
{
    stop();
}

void VideoPresenter::start()
{
    thread_ = std::thread([this] { run(); });
}

void VideoPresenter::stop()
{
    parts_.queue->close();
    if (thread_.joinable())
        thread_.join();
}

void VideoPresenter::run()
{
    while (!parts_.queue->closed()) {
        try {
            step();
        } catch (const std::exception &error) {
            qCWarning(logEngine) << "presentation:" << error.what();
        }
    }
}

// One turn: show what is due, keep a few pictures decoded ahead, and answer
// highlight changes and drain requests.
void VideoPresenter::step()
{
    if (parts_.queue->segment() != segment_) {
        // A jump happened: whatever is pending belongs to the old place.
        pending_.reset();
        segment_ = parts_.queue->segment();
    }
    recomposeIfButtonsChanged();
    const int scanRate = parts_.link->scanRate();
    if (scanRate != scanRate_) {
        scanRate_ = scanRate;
        core_.setSkipNonReference(scanRate >= kSkipNonReferenceRate);
        // Scans show pictures several times faster already: one a frame.
        core_.setOnePerFrame(scanRate > 1);
    }
    // Deinterlacing costs as much as decoding: only for pictures somebody sees.
    if (const bool seen = looked(); seen != deinterlacing_) {
        deinterlacing_ = seen;
        core_.setDeinterlacing(seen);
        qCDebug(logEngine) << "presentation: deinterlacing" << (seen ? "on" : "off");
    }
    if (!pending_)
        pending_ = core_.nextPicture();
    if (pending_) {
        presentDue();
        return;
    }
    acknowledgeDrainIfDone();
    refreshOverlay();
    decodeMore(Clock::now() + milliseconds(200));
}

void VideoPresenter::presentDue()
{
    // Subpicture packets queued since the last turn may be due with it.
    if (!readQueued())
        return;
    PlaybackClock &clock = *parts_.clock;
    if (!clock.anchored())
        clock.anchor(pending_->pts);
    int64_t lateness = clock.now() - pending_->pts;
    if (lateness > kResyncLateness90k || -lateness > kResyncEarliness90k) {
        clock.anchor(pending_->pts);
        lateness = 0;
    }
    if (lateness < -kEarlyTolerance90k) {
        waitUntil(clock.when(pending_->pts));
        return;
    }
    if (lateness > kDropLateness90k && core_.bufferedPictures() > 0) {
        pending_.reset();
        return;
    }
    show(*pending_);
    pending_.reset();
}

// Until a picture is due, what the reader has queued joins the read-ahead
// (the subpictures due with the coming pictures lie there) and a few
// pictures are decoded ahead; then the thread sleeps until the picture is
// due. The reader's packets do not wake it one by one: it takes whatever is
// queued at its next turn. A highlight change or a stop still wakes it.
void VideoPresenter::waitUntil(Clock::time_point due)
{
    if (!readQueued())
        return;
    if (wantsPictures() && core_.advance()) {
        noteSegmentAndDrain();
        return;
    }
    parts_.queue->waitForWake(std::min(due, Clock::now() + kLongestWait));
}

bool VideoPresenter::wantsPictures()
{
    const size_t buffered = core_.bufferedPictures();
    if (buffered < kPicturesAhead)
        decodingRun_ = true;
    if (buffered >= (looked() ? kPicturesAhead : kPicturesAheadUnseen))
        decodingRun_ = false;
    return decodingRun_;
}

// Takes what is queued, without waiting, as far as the read-ahead goes;
// false when a new segment dropped the pending picture.
bool VideoPresenter::readQueued()
{
    while (!core_.readAheadFull()) {
        std::optional<MediaItem> item = parts_.queue->tryPop();
        if (!item)
            break;
        core_.feed(std::move(*item));
        noteSegmentAndDrain();
    }
    return pending_.has_value();
}

// Pictures are wanted: what lies far enough behind the newest picture read
// moves on to the decoder; else the reader is asked for more, and when it has
// nothing for now, what was read ahead moves on all the same.
void VideoPresenter::decodeMore(Clock::time_point deadline)
{
    if (core_.readAheadFull()) {
        core_.advance();
        noteSegmentAndDrain();
        return;
    }
    if (core_.readingAhead())
        deadline = Clock::now();
    std::optional<MediaItem> item = parts_.queue->pop(deadline);
    if (item)
        core_.feed(std::move(*item));
    else
        core_.advance();
    noteSegmentAndDrain();
}

void VideoPresenter::noteSegmentAndDrain()
{
    if (const std::optional<uint64_t> segment = core_.takeSegmentStart()) {
        soundWaitsFor_ = segment;
        pending_.reset();
        shownPts_ = -1;
        parts_.clock->unanchor();
    }
    if (const std::optional<uint64_t> drain = core_.takeDrainRequest())
        drainToAcknowledge_ = drain;
}

void VideoPresenter::show(const DecodedPicture &picture)
{
    shownPts_ = picture.pts;
    shownAt_ = Clock::now();
    const FrameOnScreen frame = core_.show(picture, parts_.link->buttons(), looked());
    publish(frame);
    tap(frame);
    if (soundWaitsFor_ && parts_.firstPictureShown)
        parts_.firstPictureShown(*std::exchange(soundWaitsFor_, std::nullopt));
}

// Whether anybody looks at the pictures as they are shown: a view showing
// them, or a tap that takes their images. If not, they are not converted.
bool VideoPresenter::looked() const
{
    return parts_.output->watched() ||
           (parts_.taps && parts_.taps->picture && parts_.taps->pictureImages);
}

void VideoPresenter::tap(const FrameOnScreen &frame)
{
    if (!parts_.taps || !parts_.taps->picture)
        return;
    PresentedPicture presented{frame.picture.image, frame.pts, frame.position.titleTime90k,
                               std::nullopt, shownAt_};
    if (parts_.sound)
        presented.heard90k = parts_.sound->audioClock90k();
    parts_.taps->picture(presented);
}

// While no new picture comes (a still), time still passes for the
// subpictures over the last one.
void VideoPresenter::refreshOverlay()
{
    if (shownPts_ < 0)
        return;
    const int64_t elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - shownAt_).count() * 9 /
        100;
    if (std::optional<FrameOnScreen> frame =
            core_.refreshOverlay(shownPts_ + elapsed, parts_.link->buttons(), looked()))
        publish(*frame);
}

void VideoPresenter::publish(const FrameOnScreen &frame)
{
    parts_.output->publish(frame.picture);
    parts_.link->setOnScreen(frame.marker);
    if (!frame.marker)
        return;
    const PositionTag &position = frame.position;
    const bool buttons = frame.marker->hasButtons();
    parts_.store->update([&](PlaybackSnapshot &snapshot) {
        if (snapshot.domain() == DvdDomain::kStop)
            return;
        // A title left for a menu can be resumed until another title plays.
        if (position.domain == DvdDomain::kTitle)
            snapshot.resumable = false;
        else if (snapshot.shownDomain == DvdDomain::kTitle)
            snapshot.resumable = true;
        snapshot.shownDomain = position.domain;
        snapshot.titleSet = position.titleSet;
        if (position.domain != DvdDomain::kTitle || position.title > 0) {
            snapshot.title = position.title;
            snapshot.chapter = position.chapter;
        }
        snapshot.programChainLength90k = position.programChainLength90k;
        snapshot.time90k = position.titleTime90k;
        snapshot.prohibited = position.prohibited;
        snapshot.menuButtons = buttons;
    });
}

// A drain is done when everything decoded before it has been shown; then the
// navigation thread may start a still's timer or skip a wait.
void VideoPresenter::acknowledgeDrainIfDone()
{
    if (!drainToAcknowledge_ || pending_ || core_.bufferedPictures() > 0)
        return;
    parts_.link->acknowledgeDrain(*drainToAcknowledge_);
    drainToAcknowledge_.reset();
    // After a still or a wait the timeline goes on from where the picture
    // stood, however long it stood there.
    parts_.clock->unanchor();
}

void VideoPresenter::recomposeIfButtonsChanged()
{
    const uint64_t serial = parts_.link->buttonSerial();
    if (serial == buttonSerial_)
        return;
    buttonSerial_ = serial;
    if (std::optional<FrameOnScreen> frame = core_.recompose(parts_.link->buttons(), looked()))
        publish(*frame);
}
