#include "engine/decode/subpicturedecoder.h"

#include <cstddef>
#include <cstdint>

// The input is one subpicture stream: its first two bytes say how long the
// payloads the stream is cut into are, as a demuxer hands them over, so that
// reassembly across payloads is tried as well as decoding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    decodeSubpicturePacket(data + 2, size - 2, 0);
    const size_t piece = 1 + ((size_t(data[0]) << 8 | data[1]) % 2048);
    SubpictureAssembler assembler;
    int64_t pts = 0;
    for (size_t at = 2; at < size; at += piece) {
        assembler.feed(data + at, std::min(piece, size - at), at == 2 ? pts : -1);
        while (std::optional<SubpictureUnit> unit = assembler.take())
            pts += 3600;
    }
    return 0;
}
