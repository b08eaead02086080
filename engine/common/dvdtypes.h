#pragma once

#include <cstdint>

// The values the control speaks in, known to every stage of the engine.

// Domains of the DVD virtual machine, as the rest of the program reads them.
namespace DvdDomain
{
constexpr int kFirstPlay = 1;
constexpr int kVideoManagerMenu = 2;
constexpr int kVideoTitleSetMenu = 3;
constexpr int kTitle = 4;
constexpr int kStop = 5;
} // namespace DvdDomain

// Menu identifiers for ShowMenu.
namespace DvdMenu
{
constexpr int kTitle = 2;
constexpr int kRoot = 3;
constexpr int kSubpicture = 4;
constexpr int kAudio = 5;
constexpr int kAngle = 6;
constexpr int kChapter = 7;
} // namespace DvdMenu

// Event codes of DVDNotify. Handlers may ignore them: parameter 1 is always
// the packed time code of the position on screen.
namespace DvdEvent
{
constexpr int kDomainChange = 0x101; // p2: new domain
constexpr int kTitleChange = 0x102;  // p2: new title
constexpr int kChapterStart = 0x103; // p2: new chapter
constexpr int kAudioStreamChange = 0x104;
constexpr int kSubpictureStreamChange = 0x105;
constexpr int kAngleChange = 0x106;
constexpr int kButtonChange = 0x107;
constexpr int kStillOn = 0x10D;
constexpr int kStillOff = 0x10E;
constexpr int kCurrentTime = 0x11A; // once a second while a title plays
constexpr int kPlaybackStopped = 0x112;
constexpr int kError = 0x10F; // p2: error number
} // namespace DvdEvent

// Where on a disc playback stood, with the streams the viewer chose: what a
// bookmark keeps, and what the program comes back to.
struct DiscPlace {
    int title = 1;
    int chapter = 1;
    double seconds = 0; // position in the title
    int angle = 1;
    int audioStream = 0;      // logical stream 0..7, or 15 when none was chosen
    int subpictureStream = 0; // 0..31, or 62/63 as the player keeps it when none was chosen
    bool subpictureOn = false;

    bool operator==(const DiscPlace &) const = default;
};

// A time code packs hours, minutes, seconds and frames into one 32-bit value,
// one byte each, hours in the lowest byte.
struct TimeCode {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;

    static TimeCode unpack(int32_t packed)
    {
        const auto value = static_cast<uint32_t>(packed);
        return {int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF),
                int((value >> 24) & 0xFF)};
    }
    int32_t pack() const
    {
        const uint32_t value = uint32_t(hours & 0xFF) | uint32_t(minutes & 0xFF) << 8 |
                               uint32_t(seconds & 0xFF) << 16 | uint32_t(frames & 0xFF) << 24;
        return static_cast<int32_t>(value);
    }
    static TimeCode fromSeconds(double seconds, int framesPerSecond);
};
