#pragma once

#include "widgets/skinpalette.h"

#include <QRect>

class QPainter;
class SkinCaption;

// Button states as painted.
namespace SkinStates
{
constexpr int kUp = 0;
constexpr int kDown = 2;
} // namespace SkinStates

// Everything one painting of a button depends on.
struct SkinLook {
    int buttonType = 2;
    int width = 0;
    int height = 0;
    int state = SkinStates::kUp;
    bool enabled = true;
    bool isOver = false;
    bool hasFocus = false;
    bool showFocusRect = true;
    bool displayAsDefault = false;
    SkinPalette colors;
    QRect textRect;
    QRect textRectDown;
    QRect focusRect;
};

// Paints the whole face of a button of look.width x look.height from (0, 0).
void paintSkinButton(QPainter &painter, const SkinLook &look, const SkinCaption &caption);
