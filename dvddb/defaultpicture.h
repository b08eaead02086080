#pragma once

#include <QPixmap>

// The built-in picture of a record without one of its own: a small disc.
QPixmap defaultDiscPicture();
