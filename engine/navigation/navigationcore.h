#pragma once

#include "engine/demux/mediaitems.h"
#include "engine/demux/psdemuxer.h"
#include "engine/navigation/navsession.h"
#include "engine/navigation/readablevobus.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>

// Where the reader's media goes: a queue for the player, the renderer itself
// for a one-off picture.
class MediaSink
{
public:
    virtual ~MediaSink() = default;
    virtual void push(MediaItem item) = 0;
    virtual void startSegment() = 0;
    // The audio stream the VM plays now, and the payloads of that stream.
    virtual void selectAudio(std::optional<AudioSelection>) {}
    virtual void pushAudio(std::span<const uint8_t>, int64_t /*pts90k*/, size_t /*unitStart*/) {}
};

// The VM state the reader has met, for the snapshot: streams, angles, the
// selected button. Revision counts changes.
struct ReaderState {
    int domain = DvdDomain::kFirstPlay;
    std::vector<AudioStreamInfo> audio;
    int currentAudio = 0;
    std::vector<SubpictureStreamInfo> subpictures;
    int currentSubpicture = 0;
    bool subpictureOn = false;
    int angles = 1;
    int currentAngle = 1;
    int button = 0;
    uint64_t revision = 0;
};

// One step of libdvdnav's block loop: reads a block or event, demultiplexes
// data into the sink, turns NAV packets into position markers on a continuous
// timeline, and follows the VM's stream, palette and button changes. Waits,
// stills and the end of the disc go back to the caller, who decides how to
// honour them.
class NavigationCore
{
public:
    enum class Result { Continue, Wait, Still, Stop };
    struct Step {
        Result result = Result::Continue;
        int stillSeconds = 0;    // 255: until the user acts
        bool progressed = false; // the VM moved on: data, a new cell or a jump
    };

    NavigationCore(NavSession &session, MediaSink &sink);

    // Throws AppError: a read failure (one a title cannot step over), encrypted
    // data, an endless event loop.
    Step readNext();
    // Where the reader was when nothing further of a title could be read and
    // it went on after the title, once each time.
    std::optional<PositionTag> takeUnreadableRest() { return std::exchange(unreadableRest_, {}); }
    // The user acted: events since then are not a loop of the disc's own.
    void userActed()
    {
        eventsWithoutData_ = 0;
        steppingOver_ = false;
    }
    const ReaderState &state() const { return state_; }
    // Re-reads streams and angles from the VM (after a command changed them).
    void refreshStreams();
    // The values a SetSTN just wrote (-1: left alone), ahead of the VM's events.
    void noteStreamRegisters(int audio, int subpicture);
    // Moves the reader to the VOBU at a time of the program chain, reading
    // the events of the jump; false when the time lies outside the chain.
    bool seek(int64_t time90k); // throws AppError as readNext()
    // Puts the VM back on the VOBU of a picture of a title (the one on
    // screen), however far the reader has read on, even past the title's
    // end; false when it cannot. Throws AppError as readNext().
    bool returnTo(const PositionTag &shown);
    // Where the reader is: domain, title, chapter, time of the last VOBU.
    const PositionTag &position() const { return position_; }

    // Scans step through a title by pictures that decode on their own: from
    // the next VOBU on, only its first reference picture is kept, cut off
    // after its last slice and ended with a sequence end code. Sound and
    // subpictures are dropped meanwhile. Skipped: the VOBU has no picture
    // or is the one captured last.
    enum class Capture { Off, Reading, Done, Skipped };
    void captureReferencePicture();
    Capture capture() const { return capture_.state; }

private:
    Step skipUnreadable();
    void leaveUnreadableChain(int title, int chain, const AppError &error);
    void readUntilCell();
    void handle(int event, const uint8_t *data);
    void onBlock(const uint8_t *block);
    void onNavPacket();
    void onCellChange(const uint8_t *data);
    void onVtsChange(const uint8_t *data);
    void onAudioStreamChange(const uint8_t *data);
    bool isSelectedAudio(const PsDemuxer::Payload &payload) const;
    bool soundWithPictures(const PsDemuxer::Payload &payload);
    void onSubpictureStreamChange(const uint8_t *data);
    void onPalette(const uint8_t *data);
    void onHighlight();
    void startCapture();
    void captureBlock(const uint8_t *block);
    void finishCapture();
    void startSegment();
    int64_t onTimeline(int64_t pts) const { return pts < 0 ? -1 : pts + offset_; }

    NavSession &session_;
    MediaSink &sink_;
    ReaderState state_;
    PositionTag position_;
    PictureFormat format_;
    uint8_t buffer_[2048]{};
    int64_t offset_ = 0;
    int64_t previousVobuEnd_ = -1;
    int subpictureStream_ = -1;
    std::optional<AudioSelection> audio_;
    std::pair<uint8_t, uint8_t> audioIds_{0, 0};
    // After a jump, sound from before the first picture is not played.
    int64_t firstPicture90k_ = -1;
    bool soundHeldBack_ = true;
    int navPacketsInSegment_ = 0;
    int eventsWithoutData_ = 0;
    bool steppingOver_ = false;
    // Found on the first damage; the last position stepped to while no NAV
    // packet has been read since.
    std::unique_ptr<ReadableVobus> readable_;
    std::optional<uint32_t> skippedTo_;
    std::optional<PositionTag> unreadableRest_;
    int lastEvent_ = -1;
    struct ReferenceCapture {
        Capture state = Capture::Off;
        bool started = false; // its NAV packet was read
        int blocksLeft = 0;
        std::vector<uint8_t> bytes;
        int64_t pts = -1;
    } capture_;
    int64_t lastCapturedTime90k_ = -1;
};
