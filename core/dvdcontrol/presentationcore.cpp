#include "core/dvdcontrol/presentationcore.h"

namespace
{
// Overloaded visitor for the media items.
template <class... Handlers> struct Visitor : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers> Visitor(Handlers...) -> Visitor<Handlers...>;
} // namespace

PresentationCore::PresentationCore() = default;

void PresentationCore::feed(MediaItem item)
{
    std::visit(Visitor{
                   [this](VideoData &video) {
                       decoder_.send(video.bytes.data(), video.bytes.size(), video.pts);
                   },
                   [](SubpictureData &) {},
                   [this](std::shared_ptr<const NavMarker> &marker) {
                       markers_.push_back(std::move(marker));
                   },
                   [this](PictureFormat &format) {
                       format_ = format;
                       decoder_.setFormat(QSize(720, format.planeHeight), format.framesPerSecond);
                   },
                   [this](SegmentStart &) {
                       reset();
                       segmentStarted_ = true;
                   },
                   [this](DrainRequest &request) {
                       decoder_.drain();
                       drain_ = request.id;
                   },
                   [this](PaletteChange &palette) { clut_ = palette.clut; },
                   [this](SubpictureMode &mode) { subpictureMode_ = mode; },
               },
               item);
}

void PresentationCore::reset()
{
    decoder_.reset();
    markers_.clear();
    lastBase_ = QImage();
    lastPts_ = -1;
}

bool PresentationCore::takeSegmentStart()
{
    return std::exchange(segmentStarted_, false);
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

ShownPicture PresentationCore::compose(const QImage &base, int64_t, const ButtonState &,
                                       const NavMarker *) const
{
    return {base, format_.wide};
}

FrameOnScreen PresentationCore::frameFor(const QImage &base, int64_t pts,
                                         const ButtonState &buttons)
{
    FrameOnScreen frame;
    frame.pts = pts;
    frame.marker = markerFor(pts);
    if (frame.marker) {
        frame.position = frame.marker->position;
        frame.position.titleTime90k += std::max<int64_t>(0, pts - frame.marker->vobuStart);
    }
    frame.picture = compose(base, pts, buttons, frame.marker.get());
    return frame;
}

FrameOnScreen PresentationCore::show(DecodedPicture picture, const ButtonState &buttons)
{
    lastBase_ = std::move(picture.image);
    lastPts_ = picture.pts;
    return frameFor(lastBase_, lastPts_, buttons);
}

std::optional<FrameOnScreen> PresentationCore::recompose(const ButtonState &buttons)
{
    if (lastBase_.isNull())
        return std::nullopt;
    return frameFor(lastBase_, lastPts_, buttons);
}
