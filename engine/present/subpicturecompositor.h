#pragma once

#include "engine/decode/subpicturedecoder.h"

#include <QImage>
#include <QRect>
#include <QRgb>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

// The colours of a selected or activated menu button: inside its rectangle
// they replace the subpicture's own CLUT indices and contrasts. The button's
// corners are inclusive: QRect(QPoint(sx, sy), QPoint(ex, ey)).
struct ButtonHighlight {
    QRect area;
    std::array<uint8_t, 4> color{};
    std::array<uint8_t, 4> contrast{};
};

// The disc's 16 CLUT entries, 0x00YYCrCb (Y bits 16-23, Cr 8-15, Cb 0-7),
// as opaque RGB (BT.601, limited range).
std::array<QRgb, 16> paletteFromClut(const uint32_t clut[16]);

// A button's highlight from its packed palette: the colour of pixel type i is
// (p >> (16 + 4i)) & 15, its contrast (p >> 4i) & 15.
ButtonHighlight highlightFromPalette(QRect area, uint32_t hlPalette);

// Blends the unit over the frame (RGB32 at picture size; other formats are
// converted to it first) with alpha = contrast / 15. Pixels outside the frame
// are skipped.
void composeSubpicture(QImage &frame, const SubpictureUnit &unit,
                       const std::array<QRgb, 16> &palette,
                       const std::optional<ButtonHighlight> &highlight);

// What goes over a picture: the subpicture display to draw (none: the
// picture shows as decoded), its colours, and the selected button's.
struct SubpictureOverlay {
    std::shared_ptr<const SubpictureUnit> unit;
    std::array<QRgb, 16> palette{};
    std::optional<ButtonHighlight> highlight;

    void drawOn(QImage &frame) const
    {
        if (unit)
            composeSubpicture(frame, *unit, palette, highlight);
    }
};
