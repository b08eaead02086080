#include "core/dvdcontrol/deinterlacer.h"

#include <vector>

namespace Deinterlacer
{

void blendFields(QImage &image)
{
    if (image.height() < 3 || image.depth() != 32)
        return;
    const int width = image.width();
    std::vector<uint32_t> previous(reinterpret_cast<const uint32_t *>(image.constScanLine(0)),
                                   reinterpret_cast<const uint32_t *>(image.constScanLine(0)) +
                                       width);
    std::vector<uint32_t> current(static_cast<size_t>(width));
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<uint32_t *>(image.scanLine(y));
        const auto *below = reinterpret_cast<const uint32_t *>(
            image.constScanLine(std::min(y + 1, image.height() - 1)));
        current.assign(line, line + width);
        for (int x = 0; x < width; ++x) {
            const uint32_t a = previous[size_t(x)];
            const uint32_t b = current[size_t(x)];
            const uint32_t c = below[x];
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t sum =
                    ((a >> shift) & 0xFF) + 2 * ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) + 2;
                out |= (sum / 4) << shift;
            }
            line[x] = out;
        }
        previous.swap(current);
    }
}

} // namespace Deinterlacer
