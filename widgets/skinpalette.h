#pragma once

#include <cstdint>

class QPalette;

// Colours are 0x00BBGGRR values throughout.

// Adds the delta to red, green and blue alike, each clamped to 0..255.
int32_t Shade(int32_t color, int delta);

// As Shade for red and green; blue moves by blue * delta / 192, so blue-heavy
// faces keep their tint when darkened or lightened.
int32_t ShadeBlue(int32_t color, int delta);

// How a button derives its seven colours.
namespace ColorSchemes
{
constexpr int32_t kSystem = 1;    // the desktop's button colours
constexpr int32_t kOwn = 2;       // BackColor, ForeColor, ForeOver
constexpr int32_t kClassic = 3;   // fixed grey
constexpr int32_t kContainer = 4; // the containing window's colours
} // namespace ColorSchemes

struct SkinPalette {
    int32_t colFace = 0;
    int32_t colLight = 0;
    int32_t colHighlight = 0;
    int32_t colShadow = 0;
    int32_t colDarkShadow = 0;
    int32_t colText = 0;
    int32_t colTextOver = 0;
};

struct SkinColors {
    int32_t colorScheme = ColorSchemes::kSystem;
    int32_t backColor = 0;
    int32_t foreColor = 0;
    int32_t foreOver = 0;
};

// system: the desktop's palette; container: the palette of the window that
// holds the button.
SkinPalette computeSkinPalette(const SkinColors &colors, const QPalette &system,
                               const QPalette &container);
