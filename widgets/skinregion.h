#pragma once

#include <QRegion>

// The window region of a button of the given style and client size: some
// styles cut their corners so the face looks rounded.
QRegion skinRegion(int buttonType, int width, int height);
