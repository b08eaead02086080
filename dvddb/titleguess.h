#pragma once

#include <QString>

// A first guess at a new record's title from the disc's volume name:
// "STAR_WARS_EP1_D1" reads "Star Wars Ep1 D1". Names that say nothing of the
// film ("DVD_VIDEO", "DISC1", empty) give an empty guess.
QString titleFromVolumeName(const QString &volumeName);
