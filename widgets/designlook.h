#pragma once

#include <cstdint>

class QString;
class QWidget;
class skinButton;

// The look the windows are drawn in before a colour scheme is applied: one
// dark grey for backgrounds and buttons, white captions, a light hover.
// Colours are 0x00BBGGRR values.
namespace DesignLook
{

constexpr int32_t kDarkGrey = 0x404040;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kSilver = 0xC0C0C0;
constexpr int32_t kGrey = 0x808080;
constexpr int32_t kBlack = 0x000000;

struct ButtonColors {
    int32_t back = kDarkGrey;
    int32_t fore = kWhite;
    int32_t over = kSilver;
};

// A button in the window's own colours (no scheme), without a focus frame.
skinButton *makeButton(QWidget *parent, const char *name, int32_t style, const QString &caption);

void setButtonColors(skinButton *button, const ButtonColors &colors = {});

// The window's background, filled.
void setBackground(QWidget *widget, int32_t color);
void setTextColor(QWidget *widget, int32_t color);

} // namespace DesignLook
