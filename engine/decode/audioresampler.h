#pragma once

#include "engine/common/audiopcm.h"

#include <cstdint>
#include <vector>

struct AVFrame;
struct SwrContext;

// Turns decoded frames of any layout, rate and sample format into the output
// PcmFormat: downmix to the output's channels, resample to its rate. The
// conversion is set up again whenever the input parameters change, after the
// samples still held for the old parameters have been let out.
class AudioResampler
{
public:
    explicit AudioResampler(const PcmFormat &output);
    ~AudioResampler();
    AudioResampler(const AudioResampler &) = delete;
    AudioResampler &operator=(const AudioResampler &) = delete;

    // Converts one frame whose first sample is due at pts90k; appends the
    // produced samples (if any) to out. Returns false when the frame cannot
    // be converted (unsupported or inconsistent parameters); it is dropped.
    bool convert(const AVFrame *frame, int64_t pts90k, std::vector<PcmBlock> &out);
    // Lets out the samples still held back by the filter (end of a stream).
    void drain(std::vector<PcmBlock> &out);
    // Forgets everything held; the next frame starts afresh.
    void reset();

    const PcmFormat &outputFormat() const { return output_; }

private:
    struct InputParams {
        int sampleRate = 0;
        int sampleFormat = -1;
        int channels = 0;
        uint64_t channelMask = 0;
        bool operator==(const InputParams &) const = default;
    };

    static InputParams paramsOf(const AVFrame *frame);
    bool configure(const InputParams &params, const AVFrame *frame);
    void run(const uint8_t *const *input, int inputFrames, int64_t firstOutputPts,
             std::vector<PcmBlock> &out);
    int64_t heldTicks() const;

    PcmFormat output_;
    SwrContext *swr_ = nullptr;
    InputParams input_;
    // Where the samples held inside the filter end, to time the drained tail.
    int64_t nextInputPts_ = 0;
};
