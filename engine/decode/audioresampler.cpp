#include "engine/decode/audioresampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace
{

// More channels than any DVD audio coding carries (LPCM and DTS stop at 8).
constexpr int kMaxInputChannels = 16;
// A DVD frame never holds more than this; anything larger is corrupt.
constexpr int kMaxFrameSamples = 1 << 16;

AVSampleFormat avSampleFormat(PcmSampleType type)
{
    switch (type) {
    case PcmSampleType::Int16:
        return AV_SAMPLE_FMT_S16;
    case PcmSampleType::Int32:
        return AV_SAMPLE_FMT_S32;
    case PcmSampleType::Float:
        return AV_SAMPLE_FMT_FLT;
    }
    return AV_SAMPLE_FMT_S16;
}

// Decoders that only know a channel count (LPCM) leave the order open; the
// usual layout for that count is the best guess for the downmix.
AVChannelLayout inputLayoutOf(const AVFrame *frame)
{
    AVChannelLayout layout{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE &&
        av_channel_layout_check(&frame->ch_layout)) {
        av_channel_layout_copy(&layout, &frame->ch_layout);
    } else {
        av_channel_layout_default(&layout, frame->ch_layout.nb_channels);
    }
    return layout;
}

} // namespace

AudioResampler::AudioResampler(const PcmFormat &output) : output_(output) {}

AudioResampler::~AudioResampler()
{
    swr_free(&swr_);
}

AudioResampler::InputParams AudioResampler::paramsOf(const AVFrame *frame)
{
    InputParams params;
    params.sampleRate = frame->sample_rate;
    params.sampleFormat = frame->format;
    params.channels = frame->ch_layout.nb_channels;
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
        params.channelMask = frame->ch_layout.u.mask;
    return params;
}

bool AudioResampler::configure(const InputParams &params, const AVFrame *frame)
{
    swr_free(&swr_);
    input_ = {};
    AVChannelLayout inLayout = inputLayoutOf(frame);
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, output_.channels);
    int result = swr_alloc_set_opts2(
        &swr_, &outLayout, avSampleFormat(output_.sampleType), output_.sampleRate, &inLayout,
        static_cast<AVSampleFormat>(params.sampleFormat), params.sampleRate, 0, nullptr);
    // A downmix adds channels together; scale the matrix so the sum never clips.
    if (result >= 0 && params.channels > output_.channels)
        av_opt_set_double(swr_, "rematrix_maxval", 1.0, 0);
    if (result >= 0)
        result = swr_init(swr_);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (result < 0) {
        swr_free(&swr_);
        return false;
    }
    input_ = params;
    return true;
}

bool AudioResampler::convert(const AVFrame *frame, int64_t pts90k, std::vector<PcmBlock> &out)
{
    const InputParams params = paramsOf(frame);
    if (params.sampleRate <= 0 || params.channels <= 0 || params.channels > kMaxInputChannels ||
        frame->nb_samples <= 0 || frame->nb_samples > kMaxFrameSamples ||
        av_get_bytes_per_sample(static_cast<AVSampleFormat>(params.sampleFormat)) <= 0)
        return false;
    if (!swr_ || !(params == input_)) {
        drain(out);
        if (!configure(params, frame))
            return false;
    }
    run(frame->extended_data, frame->nb_samples, pts90k - heldTicks(), out);
    nextInputPts_ = pts90k + framesToTicks90k(frame->nb_samples, params.sampleRate);
    return true;
}

void AudioResampler::drain(std::vector<PcmBlock> &out)
{
    if (!swr_)
        return;
    run(nullptr, 0, nextInputPts_ - heldTicks(), out);
    // A flushed context is not fed again; the next frame sets up a new one.
    reset();
}

void AudioResampler::reset()
{
    swr_free(&swr_);
    input_ = {};
}

int64_t AudioResampler::heldTicks() const
{
    return swr_ ? swr_get_delay(swr_, 90000) : 0;
}

void AudioResampler::run(const uint8_t *const *input, int inputFrames, int64_t firstOutputPts,
                         std::vector<PcmBlock> &out)
{
    const int capacity = swr_get_out_samples(swr_, inputFrames);
    if (capacity <= 0)
        return;
    const int bytesPerFrame = output_.bytesPerFrame();
    QByteArray buffer(qsizetype(capacity) * bytesPerFrame, Qt::Uninitialized);
    auto *target = reinterpret_cast<uint8_t *>(buffer.data());
    const int produced =
        swr_convert(swr_, &target, capacity, const_cast<const uint8_t **>(input), inputFrames);
    if (produced <= 0)
        return;
    buffer.truncate(qsizetype(produced) * bytesPerFrame);
    out.push_back(PcmBlock{std::move(buffer), firstOutputPts});
}
