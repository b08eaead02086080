#pragma once

#include <QString>

class DvdControl;

// Continue where you left off, for every disc: while a title plays, the
// place on screen is remembered; when the disc is left (stop, the video
// window closed, the program's end, another disc) that place is kept for
// the disc, and playing the disc again asks whether to continue there.
// A place in a title's first or last 15 seconds is not worth a question:
// the first leaves what was kept before, the last (the title was seen to
// its end) forgets it. The Player option "Continue each disc where I left
// it" turns all of it off: no question, nothing kept.
namespace ContinueWatching
{

inline constexpr double kMarginSeconds = 15;

// With every notification of the control: asks once per disc, then
// remembers the place on screen.
void atNotification();
// The disc playing on control is being left: keeps or forgets its place.
void leave(DvdControl *control);

} // namespace ContinueWatching
