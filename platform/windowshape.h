#pragma once

#include <QRegion>

class QWidget;

// Cuts a shown top-level window to an outline given in the screen's own
// pixels. Qt's window mask is in logical pixels and is blown up with the
// desktop's scale; this keeps a curved outline smooth at 200%. False where
// the window system offers no such call (anything but X11).
bool SetDeviceShape(QWidget *window, const QRegion &devicePixels);
