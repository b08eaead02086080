#include "engine/decode/deinterlacer.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
}

#include <cstdio>
#include <utility>

namespace
{
// A picture per field; only frames flagged interlaced are touched, with the
// field order each frame gives.
constexpr const char *kFilter = "yadif";
constexpr const char *kFilterOptions = "mode=send_field:parity=auto:deint=interlaced";

// The filter's timestamps: two ticks a frame, so that a picture out at tick
// 4n is frame n's first field (or frame n itself) and one at 4n + 2 its
// second field.
constexpr int64_t kTicksPerFrameIn = 2;
constexpr int64_t kTicksPerFrameOut = 4;
} // namespace

Deinterlacer::~Deinterlacer()
{
    close();
}

bool Deinterlacer::open(const AVFrame &frame)
{
    close();
    width_ = frame.width;
    height_ = frame.height;
    format_ = frame.format;
    const AVFilter *buffer = avfilter_get_by_name("buffer");
    const AVFilter *filter = avfilter_get_by_name(kFilter);
    const AVFilter *sink = avfilter_get_by_name("buffersink");
    graph_ = avfilter_graph_alloc();
    if (!buffer || !filter || !sink || !graph_) {
        close();
        return false;
    }
    // One picture at a time is as fast as the decoder; threads buy nothing.
    graph_->nb_threads = 1;
    char arguments[128];
    std::snprintf(arguments, sizeof arguments,
                  "video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=1/1", frame.width,
                  frame.height, frame.format, int(kTicksPerFrameIn));
    AVFilterContext *deinterlace = nullptr;
    if (avfilter_graph_create_filter(&source_, buffer, "in", arguments, nullptr, graph_) < 0 ||
        avfilter_graph_create_filter(&deinterlace, filter, "deinterlace", kFilterOptions, nullptr,
                                     graph_) < 0 ||
        avfilter_graph_create_filter(&sink_, sink, "out", nullptr, nullptr, graph_) < 0 ||
        avfilter_link(source_, 0, deinterlace, 0) < 0 ||
        avfilter_link(deinterlace, 0, sink_, 0) < 0 || avfilter_graph_config(graph_, nullptr) < 0) {
        close();
        return false;
    }
    return true;
}

void Deinterlacer::close()
{
    avfilter_graph_free(&graph_);
    source_ = nullptr;
    sink_ = nullptr;
    held_.clear();
    firstHeld_ = 0;
    sent_ = 0;
}

void Deinterlacer::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    flush();
    enabled_ = enabled;
}

void Deinterlacer::push(AVFrame *frame, int64_t pts, int64_t duration90k)
{
    if (!enabled_) {
        passOn(frame, pts, duration90k);
        return;
    }
    if (frame->width != width_ || frame->height != height_ || frame->format != format_) {
        flush();
        open(*frame);
    }
    if (!graph_) {
        passOn(frame, pts, duration90k);
        return;
    }
    held_.push_back(Held{pts, duration90k, frame->interlaced_frame != 0});
    frame->pts = sent_++ * kTicksPerFrameIn;
    // The source takes the reference, also when it fails.
    if (av_buffersrc_add_frame_flags(source_, frame, 0) < 0) {
        av_frame_unref(frame);
        return;
    }
    collect();
}

// A shape the filter refuses, or nobody looks: the frame is shown as it was
// decoded.
void Deinterlacer::passOn(AVFrame *frame, int64_t pts, int64_t duration90k)
{
    AVFrame *picture = av_frame_alloc();
    if (!picture) {
        av_frame_unref(frame);
        return;
    }
    av_frame_move_ref(picture, frame);
    ready_.push_back(DecodedPicture{
        std::shared_ptr<const AVFrame>(picture, [](AVFrame *done) { av_frame_free(&done); }), pts,
        duration90k});
}

void Deinterlacer::flush()
{
    // Without the end of stream the filter cannot take, the held frame is lost.
    if (graph_ && av_buffersrc_add_frame_flags(source_, nullptr, 0) >= 0)
        collect();
    close();
    // The next frame opens the filter anew, whatever its shape.
    width_ = 0;
    height_ = 0;
    format_ = -1;
}

void Deinterlacer::reset()
{
    close();
    width_ = 0;
    height_ = 0;
    format_ = -1;
    ready_.clear();
}

void Deinterlacer::collect()
{
    for (;;) {
        AVFrame *picture = av_frame_alloc();
        if (!picture)
            return;
        if (av_buffersink_get_frame(sink_, picture) < 0) {
            av_frame_free(&picture);
            return;
        }
        place(picture);
    }
}

// Gives the picture out the time of the field it shows.
void Deinterlacer::place(AVFrame *picture)
{
    const int64_t tick = picture->pts;
    const int64_t number = tick / kTicksPerFrameOut;
    while (!held_.empty() && firstHeld_ < number) {
        held_.pop_front();
        ++firstHeld_;
    }
    if (tick < 0 || held_.empty() || firstHeld_ != number) {
        av_frame_free(&picture);
        return;
    }
    Held &held = held_.front();
    // At the end of the stream the filter stamps a lone frame's second field
    // like its first.
    const bool second = tick % kTicksPerFrameOut != 0 || held.firstOut;
    held.firstOut = true;
    if (second && onePerFrame_) {
        av_frame_free(&picture);
        return;
    }
    const bool halves = held.interlaced && !onePerFrame_;
    DecodedPicture out;
    out.duration90k = halves ? held.duration90k / 2 : held.duration90k;
    out.pts = held.pts;
    if (second && held.pts >= 0)
        out.pts = held.pts + held.duration90k / 2;
    out.frame.reset(picture, [](AVFrame *done) { av_frame_free(&done); });
    ready_.push_back(std::move(out));
}

std::optional<DecodedPicture> Deinterlacer::take()
{
    if (ready_.empty())
        return std::nullopt;
    DecodedPicture picture = std::move(ready_.front());
    ready_.pop_front();
    return picture;
}
