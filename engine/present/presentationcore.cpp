#include "engine/present/presentationcore.h"

#include "engine/common/visitor.h"

namespace
{
// How far beyond a picture the stream is read before the picture is decoded.
constexpr int64_t kReadAhead90k = 90000 * 3 / 4;
} // namespace

PresentationCore::PresentationCore() = default;

void PresentationCore::feed(MediaItem item)
{
    if (std::holds_alternative<SegmentStart>(item)) {
        // What was read before it is dropped with the old segment.
        ahead_.clear();
        aheadVideoPts_.clear();
        pendingModes_ = 0;
        apply(item);
        return;
    }
    // Without a stream change waiting before it, a subpicture packet can
    // join its track at once.
    if (std::holds_alternative<SubpictureData>(item) && pendingModes_ == 0) {
        apply(item);
        return;
    }
    const bool drain = std::holds_alternative<DrainRequest>(item);
    if (const auto *video = std::get_if<VideoData>(&item); video && video->pts >= 0)
        aheadVideoPts_.push_back(video->pts);
    if (std::holds_alternative<SubpictureMode>(item))
        ++pendingModes_;
    ahead_.push_back(std::move(item));
    if (drain) {
        while (advance()) {
        }
    }
}

void PresentationCore::settle()
{
    while (readAheadFull())
        advance();
}

bool PresentationCore::readAheadFull() const
{
    return !aheadVideoPts_.empty() &&
           aheadVideoPts_.back() - aheadVideoPts_.front() >= kReadAhead90k;
}

bool PresentationCore::advance()
{
    if (ahead_.empty())
        return false;
    MediaItem item = std::move(ahead_.front());
    ahead_.pop_front();
    if (const auto *video = std::get_if<VideoData>(&item);
        video && video->pts >= 0 && !aheadVideoPts_.empty())
        aheadVideoPts_.pop_front();
    apply(item);
    if (std::holds_alternative<SubpictureMode>(item)) {
        --pendingModes_;
        releaseSubpictures();
    }
    return true;
}

// After a stream change, the packets read behind it up to the next change.
void PresentationCore::releaseSubpictures()
{
    for (auto it = ahead_.begin(); it != ahead_.end();) {
        if (std::holds_alternative<SubpictureMode>(*it))
            return;
        if (auto *data = std::get_if<SubpictureData>(&*it)) {
            subpictures_.feed(*data);
            it = ahead_.erase(it);
        } else {
            ++it;
        }
    }
}

void PresentationCore::apply(MediaItem &item)
{
    std::visit(Visitor{
                   [this](VideoData &video) {
                       decoder_.send(video.bytes.data(), video.bytes.size(), video.pts);
                   },
                   [this](SubpictureData &data) { subpictures_.feed(data); },
                   [this](std::shared_ptr<const NavMarker> &marker) {
                       markers_.push_back(std::move(marker));
                   },
                   [this](PictureFormat &format) {
                       format_ = format;
                       decoder_.setFormat(QSize(720, format.planeHeight), format.framesPerSecond);
                   },
                   [this](SegmentStart &start) {
                       reset();
                       segmentStarted_ = start.id;
                   },
                   [this](DrainRequest &request) {
                       decoder_.drain();
                       drain_ = request.id;
                   },
                   [this](PaletteChange &palette) { subpictures_.setPalette(palette.clut); },
                   [this](SubpictureMode &mode) { subpictures_.setMode(mode); },
               },
               item);
}

void PresentationCore::reset()
{
    decoder_.reset();
    subpictures_.reset();
    markers_.clear();
    lastPicture_ = {};
    lastBase_ = QImage();
    baseCurrent_ = false;
    lastPts_ = -1;
}

std::optional<uint64_t> PresentationCore::takeSegmentStart()
{
    return std::exchange(segmentStarted_, std::nullopt);
}

std::optional<uint64_t> PresentationCore::takeDrainRequest()
{
    return std::exchange(drain_, {});
}

// The NAV packet of the VOBU a picture belongs to: the last one that starts
// at or before the picture. Older ones are no longer needed.
std::shared_ptr<const NavMarker> PresentationCore::markerFor(int64_t pts)
{
    while (markers_.size() > 1 && markers_[1]->vobuStart <= pts)
        markers_.pop_front();
    return markers_.empty() ? nullptr : markers_.front();
}

// The subpicture is blended at the picture's own size, before the picture is
// stretched to its display aspect; the menu highlight replaces the
// subpicture's colours inside the selected button.
SubpictureOverlay PresentationCore::overlayAt(int64_t pts, const ButtonState &buttons,
                                              const NavMarker *marker)
{
    SubpictureOverlay overlay;
    std::shared_ptr<const SubpictureUnit> unit = subpictures_.unitAt(pts);
    if (!unit)
        return overlay;
    if (marker)
        overlay.highlight = buttonHighlight(*marker, buttons.button, buttons.action);
    if (!subpictures_.shows(*unit) && !overlay.highlight)
        return overlay;
    overlay.unit = std::move(unit);
    overlay.palette = subpictures_.palette();
    return overlay;
}

bool PresentationCore::shownAny() const
{
    return !lastBase_.isNull() ||
           (lastPicture_.frame && PictureConverter::convertible(*lastPicture_.frame));
}

// A picture that cannot be converted leaves the last one standing.
ShownPicture PresentationCore::compose(const SubpictureOverlay &overlay, bool convert)
{
    const AVFrame *frame = lastPicture_.frame.get();
    if (!convert && !baseCurrent_ && frame && PictureConverter::convertible(*frame))
        return ShownPicture{
            QImage(), format_.wide,
            std::make_shared<const DeferredPicture>(lastPicture_.frame, decoder_.plane(), overlay)};
    if (!baseCurrent_) {
        if (QImage image = decoder_.toImage(lastPicture_); !image.isNull())
            lastBase_ = std::move(image);
        baseCurrent_ = true;
        // Converted, the frame is no longer needed: the decoder may reuse it.
        lastPicture_.frame.reset();
    }
    ShownPicture shown{lastBase_, format_.wide};
    shown.plain = lastBase_;
    if (!shown.image.isNull())
        overlay.drawOn(shown.image);
    return shown;
}

FrameOnScreen PresentationCore::frameFor(int64_t overlayPts, const ButtonState &buttons,
                                         bool convert)
{
    FrameOnScreen frame;
    frame.pts = lastPts_;
    frame.marker = markerFor(lastPts_);
    if (frame.marker) {
        frame.position = frame.marker->position;
        frame.position.titleTime90k += std::max<int64_t>(0, lastPts_ - frame.marker->vobuStart);
    }
    lastOverlayPts_ = overlayPts;
    frame.picture = compose(overlayAt(overlayPts, buttons, frame.marker.get()), convert);
    frame.picture.pts = lastPts_;
    return frame;
}

FrameOnScreen PresentationCore::show(const DecodedPicture &picture, const ButtonState &buttons,
                                     bool convert)
{
    lastPicture_ = picture;
    baseCurrent_ = false;
    lastPts_ = picture.pts;
    return frameFor(lastPts_, buttons, convert);
}

std::optional<FrameOnScreen> PresentationCore::recompose(const ButtonState &buttons, bool convert)
{
    if (!shownAny())
        return std::nullopt;
    return frameFor(lastOverlayPts_, buttons, convert);
}

std::optional<FrameOnScreen>
PresentationCore::refreshOverlay(int64_t pts, const ButtonState &buttons, bool convert)
{
    if (!shownAny())
        return std::nullopt;
    const uint64_t shown = subpictures_.lastShown();
    subpictures_.unitAt(pts);
    if (subpictures_.lastShown() == shown)
        return std::nullopt;
    return frameFor(pts, buttons, convert);
}
