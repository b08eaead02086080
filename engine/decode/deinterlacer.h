#pragma once

#include <cstdint>

// A picture of two interlaced fields shows combs on motion when drawn as
// one frame. Blending each line with its neighbours (1/4, 1/2, 1/4) mixes
// the fields into one smooth picture at the cost of a little vertical detail.
// The blend works on the decoded planes, before colour conversion, where a
// sample is one byte and a line is contiguous.
namespace Deinterlacer
{

// Writes the blended lines of one 8-bit plane to target; the first and last
// lines take themselves as their missing neighbour.
void blendPlane(const uint8_t *source, int sourceStride, uint8_t *target, int targetStride,
                int width, int height);

} // namespace Deinterlacer
