#include "engine/decode/audiodecoder.h"

#include "base/errors.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
}

namespace
{

// A PES packet holds at most 64 KiB; anything far larger is not from a disc.
constexpr size_t kMaxPayload = 1 << 20;

AVCodecID codecIdOf(AudioCoding coding)
{
    switch (coding) {
    case AudioCoding::Ac3:
        return AV_CODEC_ID_AC3;
    case AudioCoding::Dts:
        return AV_CODEC_ID_DTS;
    case AudioCoding::Lpcm:
        return AV_CODEC_ID_PCM_DVD;
    case AudioCoding::Mpeg:
        return AV_CODEC_ID_MP2;
    }
    return AV_CODEC_ID_NONE;
}

// LPCM packets carry whole sample groups after their own header; the others
// are cut anywhere and need a parser to find frame boundaries.
bool needsParser(AudioCoding coding)
{
    return coding != AudioCoding::Lpcm;
}

} // namespace

std::optional<AudioCoding> audioCodingOf(uint8_t streamId, uint8_t subStreamId)
{
    if (streamId >= 0xC0 && streamId <= 0xC7)
        return AudioCoding::Mpeg;
    if (streamId != 0xBD)
        return std::nullopt;
    if (subStreamId >= 0x80 && subStreamId <= 0x87)
        return AudioCoding::Ac3;
    if (subStreamId >= 0x88 && subStreamId <= 0x8F)
        return AudioCoding::Dts;
    if (subStreamId >= 0xA0 && subStreamId <= 0xA7)
        return AudioCoding::Lpcm;
    return std::nullopt;
}

std::pair<uint8_t, uint8_t> audioStreamIds(AudioCoding coding, int physicalStream)
{
    const auto index = uint8_t(physicalStream & 7);
    switch (coding) {
    case AudioCoding::Ac3:
        return {0xBD, uint8_t(0x80 + index)};
    case AudioCoding::Dts:
        return {0xBD, uint8_t(0x88 + index)};
    case AudioCoding::Lpcm:
        return {0xBD, uint8_t(0xA0 + index)};
    case AudioCoding::Mpeg:
        return {uint8_t(0xC0 + index), 0};
    }
    return {0, 0};
}

QString audioCodingName(AudioCoding coding)
{
    switch (coding) {
    case AudioCoding::Ac3:
        return QStringLiteral("AC-3");
    case AudioCoding::Dts:
        return QStringLiteral("DTS");
    case AudioCoding::Lpcm:
        return QStringLiteral("LPCM");
    case AudioCoding::Mpeg:
        return QStringLiteral("MPEG audio");
    }
    return {};
}

AudioDecoder::AudioDecoder(AudioCoding coding, const PcmFormat &output)
    : coding_(coding), resampler_(output)
{
    try {
        open();
    } catch (...) {
        close();
        throw;
    }
}

AudioDecoder::~AudioDecoder()
{
    close();
}

void AudioDecoder::open()
{
    const AVCodec *codec = avcodec_find_decoder(codecIdOf(coding_));
    if (!codec)
        throw AppError(
            ErrorNumbers::kDecoderMissing,
            QStringLiteral("No %1 audio decoder is installed.").arg(audioCodingName(coding_)));
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!packet_ || !frame_)
        throw AppError(ErrorNumbers::kDecoderFailed, QStringLiteral("Out of memory for audio."));
    context_ = openContext(codec);
    if (!context_)
        throw AppError(
            ErrorNumbers::kDecoderFailed,
            QStringLiteral("The %1 audio decoder does not start.").arg(audioCodingName(coding_)));
    if (needsParser(coding_))
        openParser();
}

AVCodecContext *AudioDecoder::openContext(const AVCodec *codec) const
{
    AVCodecContext *context = avcodec_alloc_context3(codec);
    if (!context)
        return nullptr;
    context->thread_count = 1;
    context->pkt_timebase = AVRational{1, 90000};
    AVDictionary *options = nullptr;
    // Decoders that can downmix (AC-3) do it best, with the levels the stream
    // carries; the others leave it to the resampler.
    if (resampler_.outputFormat().channels <= 2)
        av_dict_set(&options, "downmix",
                    resampler_.outputFormat().channels == 1 ? "mono" : "stereo", 0);
    const int result = avcodec_open2(context, codec, &options);
    av_dict_free(&options);
    if (result < 0)
        avcodec_free_context(&context);
    return context;
}

void AudioDecoder::openParser()
{
    // The parser writes what it learns into its own context, never into the
    // open decoder's.
    av_parser_close(parser_);
    parser_ = av_parser_init(codecIdOf(coding_));
    if (!parserContext_)
        parserContext_ = avcodec_alloc_context3(nullptr);
    if (!parser_ || !parserContext_)
        throw AppError(
            ErrorNumbers::kDecoderFailed,
            QStringLiteral("The %1 audio parser does not start.").arg(audioCodingName(coding_)));
    parserFed_ = false;
    parserContext_->codec_type = AVMEDIA_TYPE_AUDIO;
    parserContext_->codec_id = codecIdOf(coding_);
}

void AudioDecoder::close()
{
    av_parser_close(parser_);
    parser_ = nullptr;
    avcodec_free_context(&parserContext_);
    avcodec_free_context(&context_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
}

std::vector<PcmBlock> AudioDecoder::decode(std::span<const uint8_t> payload,
                                           std::optional<int64_t> pts90k)
{
    std::vector<PcmBlock> out;
    decode(payload, pts90k, out);
    return out;
}

void AudioDecoder::decode(std::span<const uint8_t> payload, std::optional<int64_t> pts90k,
                          std::vector<PcmBlock> &out, size_t unitStart)
{
    if (payload.empty())
        return;
    if (payload.size() > kMaxPayload) {
        ++corrupt_;
        return;
    }
    const int64_t avPts = pts90k ? *pts90k : AV_NOPTS_VALUE;
    if (!parser_) {
        // LPCM packets start with their header and are decoded whole; their
        // stamps are placed on the running line instead (framePts).
        decodePacket(payload.data(), int(payload.size()), avPts, out);
        return;
    }
    // The tail of the frame before goes in without a PTS, so that the parser
    // gives the PTS to the frame starting at the pointer. A parser that has
    // seen nothing yet never saw that frame start: its tail is dropped.
    if (pts90k && unitStart > 0 && unitStart < payload.size()) {
        if (parserFed_)
            parseAndDecode(payload.first(unitStart), AV_NOPTS_VALUE, out);
        payload = payload.subspan(unitStart);
    }
    parseAndDecode(payload, avPts, out);
}

void AudioDecoder::parseAndDecode(std::span<const uint8_t> payload, int64_t avPts,
                                  std::vector<PcmBlock> &out)
{
    // Parsers may read a little past the end of their input.
    scratch_.assign(payload.begin(), payload.end());
    scratch_.resize(payload.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    const uint8_t *data = scratch_.data();
    int size = int(payload.size());
    parserFed_ = true;
    while (size > 0) {
        uint8_t *frameData = nullptr;
        int frameSize = 0;
        const int used = av_parser_parse2(parser_, parserContext_, &frameData, &frameSize, data,
                                          size, avPts, AV_NOPTS_VALUE, 0);
        if (used < 0) {
            ++corrupt_;
            return;
        }
        // The PES PTS belongs to the first frame starting in this payload; the
        // parser hands it on with that frame.
        avPts = AV_NOPTS_VALUE;
        data += used;
        size -= used;
        if (frameSize > 0)
            decodePacket(frameData, frameSize, parser_->pts, out);
        else if (used == 0)
            break;
    }
}

void AudioDecoder::decodePacket(const uint8_t *data, int size, int64_t avPts,
                                std::vector<PcmBlock> &out)
{
    av_packet_unref(packet_);
    if (av_new_packet(packet_, size) < 0)
        return;
    std::memcpy(packet_->data, data, size_t(size));
    packet_->pts = avPts;
    if (avPts != AV_NOPTS_VALUE)
        pendingPts_ = avPts;
    int result = avcodec_send_packet(context_, packet_);
    if (result == AVERROR(EAGAIN)) {
        receiveFrames(out);
        result = avcodec_send_packet(context_, packet_);
    }
    if (result < 0 && result != AVERROR(EAGAIN))
        ++corrupt_;
    av_packet_unref(packet_);
    receiveFrames(out);
}

void AudioDecoder::receiveFrames(std::vector<PcmBlock> &out)
{
    for (;;) {
        const int result = avcodec_receive_frame(context_, frame_);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result < 0) {
            ++corrupt_;
            return;
        }
        emitFrame(out);
    }
}

void AudioDecoder::emitFrame(std::vector<PcmBlock> &out)
{
    const int64_t pts = framePts();
    pendingPts_.reset();
    if (resampler_.convert(frame_, pts, out)) {
        sourceRate_ = frame_->sample_rate;
        sourceChannels_ = frame_->ch_layout.nb_channels;
        follow(pts);
    } else {
        ++corrupt_;
    }
    av_frame_unref(frame_);
}

int64_t AudioDecoder::framePts() const
{
    const bool sameRate = line_ && line_->sampleRate == frame_->sample_rate;
    // Without a PTS of its own a frame follows the one before; right after a
    // flush there is none, and the PTS of a packet that did not decode (the
    // tail of a frame cut by the jump) is the best there is.
    if (frame_->pts == AV_NOPTS_VALUE)
        return line_ ? line_->end90k() : pendingPts_.value_or(0);
    // An LPCM packet's PTS belongs to the first audio frame that starts in
    // it, anywhere in the packet, and muxers place it loosely (up to a whole
    // packet late). The samples themselves have no gaps: a stamp less than a
    // packet's length off the running line is that line.
    const int packet = sameRate ? std::max(line_->longestPacket, frame_->nb_samples) : 0;
    if (coding_ == AudioCoding::Lpcm && sameRate &&
        std::abs(frame_->pts - line_->end90k()) <= framesToTicks90k(packet, frame_->sample_rate))
        return line_->end90k();
    return frame_->pts;
}

void AudioDecoder::follow(int64_t pts)
{
    if (line_ && line_->sampleRate == frame_->sample_rate && pts == line_->end90k()) {
        line_->frames += frame_->nb_samples;
        line_->longestPacket = std::max(line_->longestPacket, frame_->nb_samples);
        return;
    }
    line_ = Line{pts, frame_->nb_samples, frame_->sample_rate, frame_->nb_samples};
}

void AudioDecoder::drain(std::vector<PcmBlock> &out)
{
    if (parser_) {
        uint8_t *frameData = nullptr;
        int frameSize = 0;
        av_parser_parse2(parser_, parserContext_, &frameData, &frameSize, nullptr, 0,
                         AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (frameSize > 0)
            decodePacket(frameData, frameSize, parser_->pts, out);
    }
    if (avcodec_send_packet(context_, nullptr) >= 0)
        receiveFrames(out);
    resampler_.drain(out);
    // Draining ends the decoder's stream; the next payload opens a new one.
    avcodec_flush_buffers(context_);
    restartParser();
}

void AudioDecoder::flush()
{
    restartParser();
    restartDecoder();
    resampler_.reset();
    line_.reset();
    pendingPts_.reset();
}

// The LPCM decoder keeps the bytes of a sample group cut off by the end of a
// packet even through a flush, and would read everything after a jump out of
// step; a new one forgets them. The others forget on a flush.
void AudioDecoder::restartDecoder()
{
    if (coding_ == AudioCoding::Lpcm) {
        if (AVCodecContext *fresh = openContext(context_->codec)) {
            avcodec_free_context(&context_);
            context_ = fresh;
            return;
        }
    }
    avcodec_flush_buffers(context_);
}

void AudioDecoder::restartParser()
{
    // A parser has no flush of its own; a new one forgets the partial frame.
    if (!parser_)
        return;
    av_parser_close(parser_);
    parser_ = av_parser_init(codecIdOf(coding_));
    parserFed_ = false;
}
