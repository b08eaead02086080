#pragma once

#include "engine/common/dvdtypes.h"

#include <QString>

#include <optional>

// A title's place on screen, remembered until the disc is left.
struct LeftPlace {
    QString discId;
    DiscPlace place;
    int titleSeconds = 0; // the title's length
};

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
    // Where the disc playing stands, kept when it is left; the disc whose
    // continue question was asked.
    std::optional<LeftPlace> placeOnScreen;
    QString continueAskedFor;
};

PlayerState &playerState();
