#include "engine/demux/psdemuxer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The input is a run of 2048-byte packs as they come off a disc; the last
// one is zero-filled to its full size, as a reader hands out whole blocks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> pack(PsDemuxer::kBlockSize);
    for (size_t at = 0; at < size; at += PsDemuxer::kBlockSize) {
        const size_t length = std::min(PsDemuxer::kBlockSize, size - at);
        std::fill(std::copy(data + at, data + at + length, pack.begin()), pack.end(), 0);
        PsDemuxer::isScrambled(pack.data());
        for (const PsDemuxer::Payload &payload : PsDemuxer::split(pack.data())) {
            // Every payload must lie inside the pack it came from.
            if (payload.size > 0 && (payload.data < pack.data() ||
                                     payload.data + payload.size > pack.data() + pack.size() ||
                                     payload.unitStart > payload.size))
                __builtin_trap();
        }
        // A short pack, as a truncated image ends.
        PsDemuxer::split(data + at, length);
    }
    return 0;
}
