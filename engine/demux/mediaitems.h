#pragma once

#include "engine/common/dvdtypes.h"

#include <dvdread/nav_types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

// What the navigation thread hands to the presentation thread, in stream
// order: elementary data and the markers that must take effect exactly when
// the picture they belong to is shown. Timestamps are 90 kHz on one
// continuous timeline per segment (a segment ends at every flush).

// Where the VM was when a VOBU was read: the presentation thread publishes
// it when the first picture of that VOBU reaches the screen.
struct PositionTag {
    int domain = DvdDomain::kStop;
    int titleSet = 0;
    int title = 0;   // disc-wide title number; 0 in menus
    int chapter = 0; // 0 in menus
    int64_t programChainLength90k = 0;
    int64_t titleTime90k = 0; // title time at the start of the VOBU
    uint32_t prohibited = 0;  // user operations the disc prohibits here (user_ops_t bits)
    // The program chain, and the VOBU's first block counted from the chain's
    // start (as libdvdnav's positions count): where a menu call resumes.
    int programChain = 0;
    uint32_t chainBlock = 0;
};

struct NavMarker {
    pci_t pci{};
    int64_t vobuStart = 0; // timeline
    int64_t vobuEnd = 0;
    PositionTag position;

    bool hasButtons() const { return pci.hli.hl_gi.hli_ss != 0 && pci.hli.hl_gi.btn_ns > 0; }
};

struct VideoData {
    std::vector<uint8_t> bytes;
    int64_t pts = -1;
};

struct SubpictureData {
    std::vector<uint8_t> bytes;
    int64_t pts = -1;
};

// The picture geometry of the title set now playing.
struct PictureFormat {
    bool wide = false;     // 16:9 anamorphic
    int planeHeight = 576; // 576 PAL, 480 NTSC: the subpicture plane is 720 wide
    int framesPerSecond = 25;
};

// Everything queued before it is dropped; decoders start afresh.
struct SegmentStart {
    uint64_t id = 0; // the media queue's count of segments
};

// Decode and show everything queued so far, then report `id` as presented.
struct DrainRequest {
    uint64_t id = 0;
};

// The 16 subpicture colours, each 0x00YYCrCb.
struct PaletteChange {
    std::array<uint32_t, 16> clut{};
};

// Which subpicture stream's packets follow, and whether its ordinary
// (non-forced) displays are shown.
struct SubpictureMode {
    int physical = 0;
    bool visible = false;
};

using MediaItem =
    std::variant<VideoData, SubpictureData, std::shared_ptr<const NavMarker>, PictureFormat,
                 SegmentStart, DrainRequest, PaletteChange, SubpictureMode>;
