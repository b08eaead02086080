#include "engine/demux/psdemuxer.h"

#include <algorithm>

namespace PsDemuxer
{

namespace
{

bool startCodeAt(const uint8_t *data, size_t size, size_t offset)
{
    return offset + 4 <= size && data[offset] == 0 && data[offset + 1] == 0 &&
           data[offset + 2] == 1;
}

int64_t readPts(const uint8_t *p)
{
    return (int64_t(p[0] & 0x0E) << 29) | (int64_t(p[1]) << 22) | (int64_t(p[2] & 0xFE) << 14) |
           (int64_t(p[3]) << 7) | (int64_t(p[4]) >> 1);
}

// The pack header: MPEG-2 (14 bytes plus stuffing) or MPEG-1 (12 bytes).
size_t skipPackHeader(const uint8_t *block, size_t size)
{
    if (!startCodeAt(block, size, 0) || block[3] != 0xBA || size < 12)
        return size;
    if ((block[4] & 0xC0) == 0x40) {
        if (size < 14)
            return size;
        return 14 + (block[13] & 0x07);
    }
    return 12;
}

// Bytes a private-stream-1 payload carries before its elementary data: the
// sub-id, and for audio the frame count and first-access pointer. LPCM keeps
// its own 3-byte header after these, which its decoder reads.
size_t privateHeaderSize(uint8_t subId)
{
    return (subId & 0xE0) == 0x20 ? 1 : 4;
}

// The first access unit pointer counts from its own last byte, so 1 is the
// first byte after the header; 0 means no unit starts in the packet.
size_t unitStartOf(const uint8_t *header, size_t payloadSize)
{
    const size_t pointer = (size_t(header[2]) << 8) | header[3];
    return pointer >= 1 && pointer - 1 < payloadSize ? pointer - 1 : 0;
}

bool carriesPayload(uint8_t streamId)
{
    return streamId == kVideoStream || streamId == kPrivateStream1 ||
           (streamId >= 0xC0 && streamId <= 0xDF);
}

// One PES packet at `offset`; returns the offset after it.
size_t parsePes(const uint8_t *block, size_t size, size_t offset, std::vector<Payload> &out)
{
    const uint8_t streamId = block[offset + 3];
    if (offset + 6 > size)
        return size;
    const size_t length = (size_t(block[offset + 4]) << 8) | block[offset + 5];
    const size_t end = std::min(size, offset + 6 + length);
    if (!carriesPayload(streamId) || offset + 9 > end)
        return end;

    Payload payload;
    payload.streamId = streamId;
    const uint8_t flags = block[offset + 6];
    payload.scrambled = (flags & 0x30) != 0;
    const size_t headerEnd = offset + 9 + block[offset + 8];
    if (headerEnd > end)
        return end;
    if ((block[offset + 7] & 0x80) && offset + 14 <= headerEnd)
        payload.pts = readPts(block + offset + 9);

    size_t dataStart = headerEnd;
    if (streamId == kPrivateStream1) {
        if (dataStart >= end)
            return end;
        payload.subId = block[dataStart];
        const size_t privateHeader = privateHeaderSize(payload.subId);
        if (dataStart + privateHeader > end)
            return end;
        if (privateHeader == 4)
            payload.unitStart = unitStartOf(block + dataStart, end - dataStart - privateHeader);
        dataStart += privateHeader;
    }
    payload.data = block + dataStart;
    payload.size = end - dataStart;
    out.push_back(payload);
    return end;
}

} // namespace

std::vector<Payload> split(const uint8_t *block, size_t size)
{
    std::vector<Payload> payloads;
    size_t offset = skipPackHeader(block, size);
    while (startCodeAt(block, size, offset)) {
        const uint8_t code = block[offset + 3];
        if (code < 0xB9)
            break;
        if (code == 0xB9)
            break; // program end
        offset = parsePes(block, size, offset, payloads);
    }
    return payloads;
}

bool isScrambled(const uint8_t *block, size_t size)
{
    for (const Payload &payload : split(block, size)) {
        if (payload.scrambled)
            return true;
    }
    return false;
}

bool isNavPack(const uint8_t *block)
{
    constexpr size_t kPciPacket = 0x26; // after the pack header and the system header
    return block[0] == 0 && block[1] == 0 && block[2] == 1 && block[3] == 0xBA &&
           block[kPciPacket] == 0 && block[kPciPacket + 1] == 0 && block[kPciPacket + 2] == 1 &&
           block[kPciPacket + 3] == kNavStream && block[kPciAt - 1] == 0;
}

} // namespace PsDemuxer
