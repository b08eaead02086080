#pragma once

#include "engine/decode/videodecoder.h"
#include "engine/demux/mediaitems.h"
#include "engine/present/pictureslot.h"
#include "engine/present/presentationlink.h"
#include "engine/present/subpicturetrack.h"

#include <deque>
#include <memory>
#include <optional>

// A picture as it reaches the screen, with where the disc was when it did.
struct FrameOnScreen {
    ShownPicture picture;
    std::shared_ptr<const NavMarker> marker; // null before the first NAV packet
    PositionTag position;                    // titleTime90k is this picture's
    int64_t pts = -1;
};

// The presentation pipeline without its clock: consumes the reader's media
// in order, decodes pictures, and composes a picture for the screen from the
// decoded frame, the subpicture showing at its time, the menu highlight and
// the NAV data it belongs to. The player drives it from a thread against the
// clock; a one-off snapshot drives it directly.
//
// Discs multiplex a subtitle's packets well after the pictures of its start
// time (about 0.4 s). So media is read ahead of the decoder: pictures are
// decoded only once the stream beyond them has been seen, while subpicture
// packets go to their track as they arrive, each display waiting for its
// start time there.
class PresentationCore
{
public:
    PresentationCore(); // throws AppError when the decoder cannot start

    // Takes the next item of the stream into the read-ahead; a drain request
    // moves everything on to the decoder.
    void feed(MediaItem item);
    // Moves the oldest item read ahead on to the decoder; false when none is
    // held.
    bool advance();
    // Moves on what lies far enough behind the newest picture read.
    void settle();
    bool readingAhead() const { return !ahead_.empty(); }
    bool readAheadFull() const;
    // The id of the SegmentStart fed since the last call, if one was.
    std::optional<uint64_t> takeSegmentStart();
    // A DrainRequest was fed since the last call: its pictures are decoded.
    std::optional<uint64_t> takeDrainRequest();

    std::optional<DecodedPicture> nextPicture() { return decoder_.take(); }
    size_t bufferedPictures() const { return decoder_.ready(); }
    void setSkipNonReference(bool skip) { decoder_.setSkipNonReference(skip); }
    void setOnePerFrame(bool one) { decoder_.setOnePerFrame(one); }
    void setDeinterlacing(bool on) { decoder_.setDeinterlacing(on); }

    // Converts the picture and composes it with what shows over it; with
    // convert false (nobody looks at it now), the picture on screen is left
    // deferred, to be made only if somebody asks for it.
    FrameOnScreen show(const DecodedPicture &picture, const ButtonState &buttons,
                       bool convert = true);
    // The last picture shown, composed again (a new highlight during a still).
    std::optional<FrameOnScreen> recompose(const ButtonState &buttons, bool convert = true);
    // The last picture composed for a later time, when the subpicture due then
    // differs from the one shown (a subtitle that starts or ends in a still).
    std::optional<FrameOnScreen> refreshOverlay(int64_t pts, const ButtonState &buttons,
                                                bool convert = true);

    const PictureFormat &format() const { return format_; }

private:
    void apply(MediaItem &item);
    void releaseSubpictures();
    void reset();
    std::shared_ptr<const NavMarker> markerFor(int64_t pts);
    bool shownAny() const;
    SubpictureOverlay overlayAt(int64_t pts, const ButtonState &buttons, const NavMarker *marker);
    ShownPicture compose(const SubpictureOverlay &overlay, bool convert);
    FrameOnScreen frameFor(int64_t overlayPts, const ButtonState &buttons, bool convert);

    VideoDecoder decoder_;
    PictureFormat format_;
    std::deque<std::shared_ptr<const NavMarker>> markers_;
    std::deque<MediaItem> ahead_;
    std::deque<int64_t> aheadVideoPts_; // the timestamps of the pictures in ahead_
    int pendingModes_ = 0;              // subpicture stream changes in ahead_
    SubpictureTrack subpictures_;
    DecodedPicture lastPicture_; // the last one shown (its frame until converted)
    QImage lastBase_;            // the last one converted: lastPicture_'s, or an older one
    bool baseCurrent_ = false;   // lastBase_ is lastPicture_ converted
    int64_t lastPts_ = -1;
    int64_t lastOverlayPts_ = -1;
    std::optional<uint64_t> segmentStarted_;
    std::optional<uint64_t> drain_;
};
