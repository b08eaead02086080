#pragma once

// Qt gives a window made from a plain QWidget the role of a client area, which
// screen readers announce as a "filler" and skip when they list the desktop's
// windows. The program's windows are plain QWidgets: this makes each of them a
// window (a frame to AT-SPI). Call once, after the application exists.
namespace WindowAccessible
{
void install();
}
