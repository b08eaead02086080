#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Splits one 2048-byte DVD pack (MPEG-2 program stream) into its PES
// payloads. Malformed packs yield what could be parsed and nothing beyond.
namespace PsDemuxer
{

constexpr size_t kBlockSize = 2048;
constexpr uint8_t kVideoStream = 0xE0;
constexpr uint8_t kPrivateStream1 = 0xBD;
constexpr uint8_t kNavStream = 0xBF; // private stream 2: PCI and DSI

struct Payload {
    uint8_t streamId = 0; // PES stream id (0xE0 video, 0xBD private 1, 0xC0.. MPEG audio)
    uint8_t subId = 0;    // first payload byte of private stream 1 (0x20.. subpicture, 0x80.. AC-3)
    int64_t pts = -1;     // 90 kHz, -1 when the PES carries none
    const uint8_t *data = nullptr; // elementary stream bytes, sub-id and audio headers removed
    size_t size = 0;
    // Private-stream-1 audio: where in data the access unit the PTS belongs to
    // starts (the header's first access unit pointer); 0 elsewhere.
    size_t unitStart = 0;
    bool scrambled = false; // CSS-scrambled payload that nobody decrypted
};

std::vector<Payload> split(const uint8_t *block, size_t size = kBlockSize);

// True when the pack holds a CSS-scrambled PES packet.
bool isScrambled(const uint8_t *block, size_t size = kBlockSize);

// True when the pack is a VOBU's NAV pack: a pack header, the system
// header, then the PCI packet on private stream 2. Its PCI starts at
// kPciAt.
bool isNavPack(const uint8_t *block);
constexpr size_t kPciAt = 0x2D;

inline bool isSubpicture(const Payload &payload)
{
    return payload.streamId == kPrivateStream1 && (payload.subId & 0xE0) == 0x20;
}

} // namespace PsDemuxer
