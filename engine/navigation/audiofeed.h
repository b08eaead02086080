#pragma once

#include "engine/common/playbacktaps.h"
#include "engine/decode/audiodecoder.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>

class AppError;
class AudioOutput;

// The sound output as the navigation thread reaches it. The session closes
// the gate when it ends, so that a navigation thread that outlives its
// session (one given up in an endless loop) never touches the output again.
class AudioGate
{
public:
    explicit AudioGate(AudioOutput *output);
    void close();
    // Runs call on the output unless the gate is closed; false when closed.
    bool use(const std::function<void(AudioOutput &)> &call);
    // Runs call unless the gate is closed (the session's observers go
    // quiet with its sound).
    void whileOpen(const std::function<void()> &call);

private:
    std::mutex mutex_;
    AudioOutput *output_;
    bool closed_ = false;
};

// The DVD audio stream the VM plays: its coding and physical number 0-7.
struct AudioSelection {
    AudioCoding coding = AudioCoding::Ac3;
    int physical = 0;
    bool operator==(const AudioSelection &) const = default;
};

// The navigation thread's sound: decodes the payloads of the selected stream
// into PCM and hands it to the output. A block the output has no room for
// waits here; the navigation thread reads on only once pump() has placed it,
// so sound and pictures leave the reader in step.
class AudioFeed
{
public:
    using ErrorHandler = std::function<void(const AppError &)>;

    AudioFeed(std::shared_ptr<AudioGate> gate, const PcmFormat &format,
              std::shared_ptr<const PlaybackTaps> taps, ErrorHandler onError);
    ~AudioFeed();

    // The stream whose payloads follow. Sound of the old stream already
    // queued still plays, so a switch leaves no gap.
    void select(std::optional<AudioSelection> selection);
    // unitStart: where in the payload the unit the PTS belongs to starts.
    void feed(std::span<const uint8_t> payload, int64_t pts90k, size_t unitStart = 0);
    // No more data for now (a still, a wait): lets the decoder's tail out.
    void drain();
    // A jump: everything decoded or queued belongs to the old place.
    void flush();
    // After a jump: the sound that follows waits for the first picture of
    // the media queue's segment.
    void holdForPictures(uint64_t segment);
    // While off (scanning) payloads are dropped and nothing is heard.
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }

    // Hands waiting blocks to the output; false while one finds no room.
    bool pump();
    bool waiting() const { return !waiting_.empty(); }

private:
    void openDecoder();
    void queue(std::vector<PcmBlock> &blocks);

    std::shared_ptr<AudioGate> gate_;
    PcmFormat format_;
    std::shared_ptr<const PlaybackTaps> taps_;
    ErrorHandler onError_;
    std::optional<AudioSelection> selection_;
    std::unique_ptr<AudioDecoder> decoder_;
    std::deque<PcmBlock> waiting_;
    std::vector<PcmBlock> decoded_;
    bool enabled_ = true;
    bool pushedSinceFlush_ = false;
};
