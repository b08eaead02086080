#pragma once

#include <QPixmap>
#include <QSize>

// The built-in picture of a record without one of its own: a disc, drawn at
// the size it is shown at, so that it stays round and sharp.
QPixmap defaultDiscPicture(const QSize &size);
