#pragma once

#include <QImage>
#include <QPixmap>

// The control bar's pictures, from the program's resources.
namespace Skin
{
// 578 x 117, 24 bits; its 0xC0C0C0 pixels are cut away from the bar. Scale 2
// gives the same skin drawn at double size, for a desktop scaled to 200%.
QImage controlBar(int scale = 1);
// The 48 x 48 disc logo of the display, drawn for the screen's pixel ratio.
QPixmap discLogo(qreal devicePixelRatio = 1.0);
} // namespace Skin
