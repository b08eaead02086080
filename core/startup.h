#pragma once

class QWidget;

// Chooses the X11 platform where an X display exists, unless the user chose
// a platform: placing windows, shaping the control bar and staying on top
// need it. Call before the application object exists.
void PreferX11Platform();

// The program's start: loads the control bar, places it three quarters down
// the screen, centred, and shows it (see ExitWhenShownIfAsked).
void Main();

// For the start-up benchmark: once the bar has painted for the first time,
// prints "shown" on standard output and ends the program. Only when the
// environment variable VIDORA_EXIT_WHEN_SHOWN is set.
void ExitWhenShownIfAsked(QWidget *bar);
