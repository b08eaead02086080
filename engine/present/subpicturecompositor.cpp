#include "engine/present/subpicturecompositor.h"

#include <algorithm>
#include <cmath>

namespace
{

int clampToByte(double value)
{
    return std::clamp(int(std::lround(value)), 0, 255);
}

QRgb rgbFromYCrCb(uint32_t entry)
{
    const double y = 1.164 * (int((entry >> 16) & 0xFF) - 16);
    const int cr = int((entry >> 8) & 0xFF) - 128;
    const int cb = int(entry & 0xFF) - 128;
    return qRgb(clampToByte(y + 1.596 * cr), clampToByte(y - 0.813 * cr - 0.391 * cb),
                clampToByte(y + 2.018 * cb));
}

int blendChannel(int over, int under, int contrast)
{
    return (over * contrast + under * (15 - contrast) + 7) / 15;
}

QRgb blend(QRgb over, QRgb under, int contrast)
{
    return qRgb(blendChannel(qRed(over), qRed(under), contrast),
                blendChannel(qGreen(over), qGreen(under), contrast),
                blendChannel(qBlue(over), qBlue(under), contrast));
}

// The RGB colour and contrast of each pixel type: the unit's own, or the
// highlight's inside its rectangle.
struct TypeLook {
    std::array<QRgb, 4> rgb{};
    std::array<uint8_t, 4> contrast{};
};

TypeLook lookOf(const std::array<uint8_t, 4> &color, const std::array<uint8_t, 4> &contrast,
                const std::array<QRgb, 16> &palette)
{
    TypeLook look;
    for (size_t type = 0; type < 4; ++type) {
        look.rgb[type] = palette[color[type] & 0x0F];
        look.contrast[type] = std::min<uint8_t>(contrast[type], 15);
    }
    return look;
}

// Blends frame columns [from, to) of one line; typeLine starts at column left.
void blendSpan(QRgb *frameLine, const uint8_t *typeLine, int left, int from, int to,
               const TypeLook &look)
{
    for (int x = from; x < to; ++x) {
        const uint8_t type = typeLine[x - left] & 3;
        const int contrast = look.contrast[type];
        if (contrast != 0)
            frameLine[x] = blend(look.rgb[type], frameLine[x], contrast);
    }
}

} // namespace

std::array<QRgb, 16> paletteFromClut(const uint32_t clut[16])
{
    std::array<QRgb, 16> palette{};
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = rgbFromYCrCb(clut[i]);
    return palette;
}

ButtonHighlight highlightFromPalette(QRect area, uint32_t hlPalette)
{
    ButtonHighlight highlight;
    highlight.area = area;
    for (int type = 0; type < 4; ++type) {
        highlight.color[type] = uint8_t((hlPalette >> (16 + 4 * type)) & 0x0F);
        highlight.contrast[type] = uint8_t((hlPalette >> (4 * type)) & 0x0F);
    }
    return highlight;
}

void composeSubpicture(QImage &frame, const SubpictureUnit &unit,
                       const std::array<QRgb, 16> &palette,
                       const std::optional<ButtonHighlight> &highlight)
{
    const QRect area = unit.area;
    if (frame.isNull() || area.isEmpty() ||
        unit.pixelTypes.size() != size_t(area.width()) * size_t(area.height()))
        return;
    if (frame.format() != QImage::Format_RGB32)
        frame.convertTo(QImage::Format_RGB32);
    const QRect visible = area.intersected(frame.rect());
    const TypeLook own = lookOf(unit.color, unit.contrast, palette);
    const QRect lit = highlight ? highlight->area.intersected(visible) : QRect();
    const TypeLook hl = highlight ? lookOf(highlight->color, highlight->contrast, palette) : own;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        QRgb *frameLine = reinterpret_cast<QRgb *>(frame.scanLine(y));
        const uint8_t *types =
            unit.pixelTypes.data() + size_t(y - area.top()) * size_t(area.width());
        const int left = area.left();
        const int end = visible.right() + 1;
        if (lit.isEmpty() || y < lit.top() || y > lit.bottom()) {
            blendSpan(frameLine, types, left, visible.left(), end, own);
            continue;
        }
        blendSpan(frameLine, types, left, visible.left(), lit.left(), own);
        blendSpan(frameLine, types, left, lit.left(), lit.right() + 1, hl);
        blendSpan(frameLine, types, left, lit.right() + 1, end, own);
    }
}
