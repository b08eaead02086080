#pragma once

#include <QColor>
#include <QRect>

#include <cstdint>

// Colours travel as 32-bit 0x00BBGGRR values (red in the low byte), the form
// stored in settings and scheme files; they become QColor only for painting.
inline QColor fromColorRef(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

inline int32_t toColorRef(const QColor &color)
{
    return int32_t(uint32_t(color.red()) | uint32_t(color.green()) << 8 |
                   uint32_t(color.blue()) << 16);
}

// Window layouts are given in twips: 15 twips make one pixel.
constexpr int twips(int value)
{
    return value / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
