#pragma once

#include <QImage>
#include <QPixmap>

// The control bar's pictures, from the program's resources.
namespace Skin
{
// 578 x 117, 24 bits; its 0xC0C0C0 pixels are cut away from the bar.
QImage controlBar();
// The 48 x 48 disc logo of the display.
QPixmap discLogo();
} // namespace Skin
