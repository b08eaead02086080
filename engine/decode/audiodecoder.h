#pragma once

#include "engine/common/audiopcm.h"
#include "engine/decode/audioresampler.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct AVCodec;
struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;

// The audio codings a DVD carries, each with its own place in the program
// stream.
enum class AudioCoding {
    Ac3,  // private stream 1, sub-stream ids 0x80-0x87
    Dts,  // private stream 1, sub-stream ids 0x88-0x8F
    Lpcm, // private stream 1, sub-stream ids 0xA0-0xA7
    Mpeg, // PES stream ids 0xC0-0xC7 (MPEG-1 layer II, MPEG-2 extension)
};

// The coding of a PES stream, or nothing when it is not DVD audio.
// subStreamId is the first payload byte and only matters for private
// stream 1 (0xBD).
std::optional<AudioCoding> audioCodingOf(uint8_t streamId, uint8_t subStreamId);
// The PES ids of the physical audio stream 0-7 in a coding: {stream id,
// sub-stream id}; the sub-stream id is 0 for MPEG audio.
std::pair<uint8_t, uint8_t> audioStreamIds(AudioCoding coding, int physicalStream);
QString audioCodingName(AudioCoding coding);

// Decodes one DVD audio stream into PCM in the output's format: downmixed to
// its channels, resampled to its rate. Single-threaded; one instance per
// selected stream, used by one thread at a time.
//
// What the caller passes to decode(): the PES payload, i.e. the bytes after
// the PES header (after PES_header_data_length), packet by packet in stream
// order, with the PES PTS when the header has one.
//  - Private stream 1 (AC-3, DTS, LPCM): without the sub-stream id byte and
//    the three bytes after it (number of frame headers, first access unit
//    pointer). For LPCM the three LPCM header bytes that follow (emphasis /
//    frame number, quantisation / rate / channels, dynamic range) stay at
//    the start of what is passed: the decoder reads the format from them.
//  - MPEG audio (0xC0-0xC7): the whole payload.
// Frames may be split across packets; the PTS applies to the first frame
// that starts in the packet, as on the disc. Where the header's first access
// unit pointer says that frame starts (unitStart, counted in what is passed)
// the PTS is tied to it exactly; a frame whose sync word straddles two
// packets would otherwise take the PTS of the frame after it.
//
// Corrupt data is skipped and counted, never thrown; only opening can fail.
class AudioDecoder
{
public:
    // Throws AppError: kDecoderMissing when this FFmpeg has no decoder for the
    // coding, kDecoderFailed when it does not open.
    AudioDecoder(AudioCoding coding, const PcmFormat &output);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder &) = delete;
    AudioDecoder &operator=(const AudioDecoder &) = delete;

    // Decodes one payload; appends the blocks it completes to out (often
    // none, sometimes several). pts90k is the PES PTS, if any; unitStart is
    // where the frame it belongs to starts, 0 when unknown.
    void decode(std::span<const uint8_t> payload, std::optional<int64_t> pts90k,
                std::vector<PcmBlock> &out, size_t unitStart = 0);
    std::vector<PcmBlock> decode(std::span<const uint8_t> payload, std::optional<int64_t> pts90k);
    // End of the data for now (a still, a WAIT, the end of a title): lets out
    // every sample still held in the parser, decoder and resampler.
    void drain(std::vector<PcmBlock> &out);
    // Drops everything held, for a channel hop or a stream switch; the next
    // payload starts a new timeline.
    void flush();

    AudioCoding coding() const { return coding_; }
    const PcmFormat &outputFormat() const { return resampler_.outputFormat(); }
    // Payloads or frames rejected as corrupt since opening.
    int64_t corruptCount() const { return corrupt_; }
    // Rate and channels of the stream as last decoded (0 before the first
    // frame), for stream information.
    int sourceSampleRate() const { return sourceRate_; }
    int sourceChannels() const { return sourceChannels_; }

private:
    void open();
    AVCodecContext *openContext(const AVCodec *codec) const; // nullptr when it does not open
    void openParser();
    void restartDecoder();
    void restartParser();
    void close();
    void parseAndDecode(std::span<const uint8_t> payload, int64_t avPts,
                        std::vector<PcmBlock> &out);
    void decodePacket(const uint8_t *data, int size, int64_t avPts, std::vector<PcmBlock> &out);
    void receiveFrames(std::vector<PcmBlock> &out);
    void emitFrame(std::vector<PcmBlock> &out);
    int64_t framePts() const;
    void follow(int64_t pts);

    // The sound decoded so far without a break: where it starts and how many
    // frames of one rate follow, so that a long run gathers no rounding.
    struct Line {
        int64_t start90k = 0;
        int64_t frames = 0;
        int sampleRate = 0;
        int longestPacket = 0; // in frames
        int64_t end90k() const { return start90k + framesToTicks90k(frames, sampleRate); }
    };

    AudioCoding coding_;
    AVCodecContext *context_ = nullptr;
    AVCodecParserContext *parser_ = nullptr;
    AVCodecContext *parserContext_ = nullptr;
    bool parserFed_ = false; // anything given to the parser since it started
    AVPacket *packet_ = nullptr;
    AVFrame *frame_ = nullptr;
    AudioResampler resampler_;
    std::vector<uint8_t> scratch_;
    // Where the next frame starts when it carries no PTS of its own, or (LPCM)
    // one that is only loosely placed.
    std::optional<Line> line_;
    // The last PTS handed to the decoder and not yet used by a frame.
    std::optional<int64_t> pendingPts_;
    int64_t corrupt_ = 0;
    int sourceRate_ = 0;
    int sourceChannels_ = 0;
};
