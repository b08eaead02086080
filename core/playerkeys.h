#pragma once

class QWidget;

// The keys users of a desktop player try first, while the video window or the
// control bar is the active window: Ctrl+O opens a disc, Space pauses and
// resumes, Escape leaves full screen. A text box with the focus keeps its
// keys.
namespace PlayerKeys
{

void install(QWidget *window);

// Pauses a playing title and resumes a paused one, leaving the window as it
// is; only a stopped disc starts with the play command.
void PlayPause();

// Returns the video window from full screen to a framed window.
void LeaveFullScreen();

} // namespace PlayerKeys
