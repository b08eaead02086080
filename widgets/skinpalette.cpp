#include "widgets/skinpalette.h"

#include "platform/units.h"

#include <QPalette>

#include <algorithm>

namespace
{

int channel(int32_t color, int shift)
{
    return int((uint32_t(color) >> shift) & 0xFF);
}

int32_t fromChannels(int red, int green, int blue)
{
    const auto clamp = [](int value) { return uint32_t(std::clamp(value, 0, 255)); };
    return int32_t(clamp(red) | clamp(green) << 8 | clamp(blue) << 16);
}

int32_t colorRef(const QPalette &palette, QPalette::ColorRole role)
{
    return toColorRef(palette.color(QPalette::Active, role));
}

SkinPalette shadedFrom(int32_t face, int32_t text, int32_t textOver)
{
    return {face, Shade(face, 31), Shade(face, 47), Shade(face, -64), Shade(face, -192),
            text, textOver};
}

} // namespace

int32_t Shade(int32_t color, int delta)
{
    return fromChannels(channel(color, 0) + delta, channel(color, 8) + delta,
                        channel(color, 16) + delta);
}

int32_t ShadeBlue(int32_t color, int delta)
{
    const int blue = channel(color, 16);
    return fromChannels(channel(color, 0) + delta, channel(color, 8) + delta,
                        blue + blue * delta / 192);
}

SkinPalette computeSkinPalette(const SkinColors &colors, const QPalette &system,
                               const QPalette &container)
{
    switch (colors.colorScheme) {
    case ColorSchemes::kOwn:
        return shadedFrom(colors.backColor, colors.foreColor, colors.foreOver);
    case ColorSchemes::kClassic:
        return {0xC0C0C0, 0xDFDFDF, 0xFFFFFF, 0x808080, 0, 0, 0};
    case ColorSchemes::kContainer: {
        const int32_t text = colorRef(container, QPalette::WindowText);
        return shadedFrom(colorRef(container, QPalette::Window), text, text);
    }
    default: {
        const int32_t text = colorRef(system, QPalette::ButtonText);
        return {colorRef(system, QPalette::Button),
                colorRef(system, QPalette::Midlight),
                colorRef(system, QPalette::Light),
                colorRef(system, QPalette::Dark),
                colorRef(system, QPalette::Shadow),
                text,
                text};
    }
    }
}
