#pragma once

#include <QImage>

// A picture of two interlaced fields shows combs on motion when drawn as
// one frame. Blending each line with its neighbours (1/4, 1/2, 1/4) mixes
// the fields into one smooth picture at the cost of a little vertical detail.
namespace Deinterlacer
{

// Blends the lines of an RGB32 image in place.
void blendFields(QImage &image);

} // namespace Deinterlacer
