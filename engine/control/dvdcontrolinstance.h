#pragma once

#include "engine/control/dvdcontrol.h"
#include "engine/control/regionchange.h"

#include <memory>

// The one DVD control of the program (DVDw). Created on first use; tests
// install a double before anything refers to it.
DvdControl *dvdControl();
void installDvdControl(std::unique_ptr<DvdControl> control);
void releaseDvdControl();

// Creates the real control on libdvdnav and FFmpeg; chooser is the window
// its ChangeRegion opens, bookmarkFile where it keeps its bookmarks (none:
// the bookmark calls fail).
std::unique_ptr<DvdControl> createRealDvdControl(RegionChooser chooser = {},
                                                 const QString &bookmarkFile = {});
