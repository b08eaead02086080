#pragma once

// Watches a playing control from the outside: every paint that puts a
// picture on screen, with the count of pictures shown so far (a new count is
// a new picture) and the position of the picture; every picture presented,
// painted or not; and the moment sound is first heard, from the engine's
// picture tap.

#include "engine/control/dvdengine.h"
#include "engine/output/dvdview.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace bench
{

class PlaybackProbe : public QObject
{
public:
    using Clock = std::chrono::steady_clock;
    using PaintListener = std::function<void(uint64_t picture, double presentedSeconds)>;
    // Called once, on the engine's presentation thread.
    using SoundListener = std::function<void()>;
    // Called for each picture presented, with its count, on the engine's
    // presentation thread.
    using PresentListener = std::function<void(uint64_t presented)>;

    // Must be made before Play: the taps take effect when playback starts.
    PlaybackProbe(DvdEngine &engine, PaintListener onPaint, SoundListener onSound = {},
                  PresentListener onPresent = {})
        : engine_(engine), view_(qobject_cast<DvdView *>(engine.view())),
          onPaint_(std::move(onPaint))
    {
        view_->installEventFilter(this);
        auto taps = std::make_shared<PlaybackTaps>();
        taps->picture = [heard = heard_, lead = firstLead_,
                         presented = std::make_shared<uint64_t>(0), onSound = std::move(onSound),
                         onPresent = std::move(onPresent)](const PresentedPicture &shown) {
            if (onPresent)
                onPresent(++*presented);
            Clock::rep none = 0;
            if (shown.heard90k &&
                heard->compare_exchange_strong(none, shown.at.time_since_epoch().count())) {
                lead->store(*shown.heard90k - shown.pts);
                if (onSound)
                    onSound();
            }
        };
        // It counts pictures and reads the sound clock, never an image.
        taps->pictureImages = false;
        engine.setTaps(std::move(taps));
    }
    ~PlaybackProbe() override
    {
        if (view_)
            view_->removeEventFilter(this);
    }

    // The view as a top-level window of the given size, shown.
    void showWindow(int width, int height)
    {
        view_->resize(width, height);
        view_->show();
    }
    int paintedPictures() const { return painted_; }
    // When a picture was first presented while sound was heard.
    std::optional<Clock::time_point> soundHeardAt() const
    {
        const Clock::rep at = heard_->load();
        return at ? std::optional(Clock::time_point(Clock::duration(at))) : std::nullopt;
    }

    // How far the sound was ahead of the picture (behind: negative) when a
    // picture was first presented while sound was heard, in milliseconds.
    std::optional<double> soundAheadWhenFirstHeard() const
    {
        if (!soundHeardAt())
            return std::nullopt;
        return double(firstLead_->load()) / 90.0;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == view_ && event->type() == QEvent::Paint && !view_->pictureRect().isEmpty()) {
            ++painted_;
            onPaint_(engine_.picturesShown(), engine_.presentedSeconds());
        }
        return false;
    }

private:
    DvdEngine &engine_;
    QPointer<DvdView> view_;
    PaintListener onPaint_;
    std::shared_ptr<std::atomic<int64_t>> firstLead_ = std::make_shared<std::atomic<int64_t>>(0);
    std::shared_ptr<std::atomic<Clock::rep>> heard_ = std::make_shared<std::atomic<Clock::rep>>(0);
    int painted_ = 0;
};

} // namespace bench
