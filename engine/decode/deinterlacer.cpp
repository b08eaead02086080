#include "engine/decode/deinterlacer.h"

#include <algorithm>
#include <cstddef>

namespace Deinterlacer
{
namespace
{
// Plain enough for the compiler to turn into vector code.
void blendLine(const uint8_t *__restrict above, const uint8_t *__restrict line,
               const uint8_t *__restrict below, uint8_t *__restrict out, int width)
{
    for (int x = 0; x < width; ++x)
        out[x] = uint8_t((above[x] + 2 * line[x] + below[x] + 2) >> 2);
}
} // namespace

void blendPlane(const uint8_t *source, int sourceStride, uint8_t *target, int targetStride,
                int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const uint8_t *line = source + std::ptrdiff_t(y) * sourceStride;
        const uint8_t *above = source + std::ptrdiff_t(std::max(y - 1, 0)) * sourceStride;
        const uint8_t *below = source + std::ptrdiff_t(std::min(y + 1, height - 1)) * sourceStride;
        blendLine(above, line, below, target + std::ptrdiff_t(y) * targetStride, width);
    }
}

} // namespace Deinterlacer
