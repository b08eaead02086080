#pragma once

#include "engine/decode/decodedpicture.h"

#include <cstdint>
#include <deque>
#include <optional>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

// Interlaced pictures made whole at field rate: each field becomes a picture
// of its own, 20 ms (PAL) or 16.7 ms (NTSC) after the one before, its missing
// lines filled in from its neighbours in space and in time by FFmpeg's
// motion-adaptive filter. Pictures coded as progressive (film, most menus)
// pass through untouched, one per frame, so a title that mixes both changes
// rate picture by picture.
//
// The filter looks one frame ahead to see motion: a frame's pictures come
// out once the next frame went in, or at flush(), when nothing follows (a
// still, the end of a title). A frame the filter cannot take (a size it
// refuses) is passed on as it is.
class Deinterlacer
{
public:
    Deinterlacer() = default;
    ~Deinterlacer();
    Deinterlacer(const Deinterlacer &) = delete;
    Deinterlacer &operator=(const Deinterlacer &) = delete;

    // Takes the frame's reference (the frame is left blank) with the time
    // and length of the whole frame.
    void push(AVFrame *frame, int64_t pts, int64_t duration90k);
    // Lets the held frame out: nothing follows it for now.
    void flush();
    // Drops everything held, for a jump elsewhere.
    void reset();
    // One picture per frame instead of one per field (scans, where pictures
    // already come several times too fast), each lasting the whole frame.
    void setOnePerFrame(bool one) { onePerFrame_ = one; }
    // Off, every frame passes untouched, one picture each (nobody sees the
    // pictures); what the filter holds comes out first.
    void setEnabled(bool enabled);

    std::optional<DecodedPicture> take();
    size_t ready() const { return ready_.size(); }

private:
    // What went into the filter, in order: the filter's timestamps count
    // frames, so that each picture out names the frame and field it is.
    struct Held {
        int64_t pts = -1;
        int64_t duration90k = 0;
        bool interlaced = false;
        bool firstOut = false; // its first picture came out
    };

    bool open(const AVFrame &frame);
    void close();
    void passOn(AVFrame *frame, int64_t pts, int64_t duration90k);
    void collect();
    void place(AVFrame *picture);

    AVFilterGraph *graph_ = nullptr;
    AVFilterContext *source_ = nullptr;
    AVFilterContext *sink_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    std::deque<Held> held_;
    int64_t firstHeld_ = 0; // the number of held_.front() among the frames sent
    int64_t sent_ = 0;
    bool onePerFrame_ = false;
    bool enabled_ = true;
    std::deque<DecodedPicture> ready_;
};
