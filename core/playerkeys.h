#pragma once

class QWidget;

// The keys users of a desktop player try first, while the video window or the
// control bar is the active window: Ctrl+O opens a disc, Space pauses and
// resumes, Escape leaves full screen. A text box with the focus keeps its
// keys.
namespace PlayerKeys
{

void install(QWidget *window);

// Pauses a playing title; otherwise runs the play command, which resumes a
// paused one.
void PlayPause();

// Returns the video window from full screen to a framed window.
void LeaveFullScreen();

// The video window's poll of the keyboard, twice a second: the first key
// found down acts, one action per tick, so a held key repeats. Enter and the
// arrows work the disc's menu here; plus and minus are the window's zoom,
// returned for it to carry out. Keys count only while one of the program's
// own windows is active.
enum class Polled { Nothing, ZoomIn, ZoomOut, MenuKey };
Polled Poll();

} // namespace PlayerKeys
