#pragma once

#include <QString>

// What the program remembers between its windows, in one plain place that
// the windows read and write, so that naming a window shows that window and
// changes nothing else. The form registry holds it; unloading every window
// starts it afresh.
struct PlayerState {
    // The DVD database folder; always ends in "/".
    QString databaseFolder;
    // The disc's name as the database knows it, "None" without one; the
    // settings window's "DVD Name:" box shows it.
    QString discName = QStringLiteral("None");
    // A database window was opened for the disc now playing; the stop
    // command and the program's start clear it.
    bool databaseWindowShown = false;
    // A pause of the playing title holds, until the play or stop command.
    bool paused = false;
    // The next click on the picture brings the control bar forward rather
    // than the video window.
    bool barComesNext = false;
};

PlayerState &playerState();
