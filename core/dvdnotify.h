#pragma once

#include <cstdint>

class DVD;

// The handler of the DVD control's notifications, the program's only live
// source of playback state. Every notification, whatever its event, rewrites
// the control bar's display from the control, looks the disc up among the
// database records, shows its title, and, once between two stops, opens the
// record editor for an unknown disc or the browser with a known disc's record.
// Notifications that arrive while the disc is stopped change nothing.
namespace DvdNotify
{

// timeCode: the notification's first parameter, read as a packed time code.
void handle(DVD &window, int32_t timeCode);

// What a screen reader says of the video window: the disc title and chapter
// the bar shows while a disc plays, "Stopped" otherwise.
void describeVideoWindow(DVD &window, bool stopped);

} // namespace DvdNotify
