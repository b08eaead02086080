#pragma once

#include <QRect>

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// One decoded subpicture display: the pixel types of its rectangle and the
// four CLUT indices and contrasts they map to. Colours stay indices so that a
// palette change or a button highlight can be applied when composing.
struct SubpictureUnit {
    QRect area;                        // in picture pixels (720x576 / 720x480)
    std::vector<uint8_t> pixelTypes;   // area.width()*area.height(), values 0..3
    std::array<uint8_t, 4> color{};    // CLUT index per pixel type
    std::array<uint8_t, 4> contrast{}; // 0..15 per pixel type
    bool forced = false;
    int64_t startPts = 0; // 90 kHz; -1 when the packet had no timestamp: show on arrival
    int64_t endPts = -1;  // -1: shown until the next unit
};

// Decodes one complete subpicture packet whose first PES carried `pts` (-1:
// none). A packet yields one unit per display it describes: a start, and
// every later change of colour, contrast or area while shown. A packet that
// only stops the display yields one empty unit that clears the screen; it is
// marked forced because clearing is right whether subtitles are on or off.
// A malformed packet yields nothing.
std::vector<SubpictureUnit> decodeSubpicturePacket(const uint8_t *data, size_t size, int64_t pts);

// Reassembles subpicture packets from the PES payloads of one stream and
// decodes them. A packet spans as many PES payloads as its size field says;
// the first payload's timestamp is the packet's.
class SubpictureAssembler
{
public:
    void feed(const uint8_t *data, size_t size, int64_t pts); // pts -1 when the PES had none
    std::optional<SubpictureUnit> take();                     // next complete unit, decoded
    void reset();

private:
    void finishPacket();

    std::vector<uint8_t> packet_;
    int64_t packetPts_ = -1;
    std::deque<SubpictureUnit> ready_;
};
