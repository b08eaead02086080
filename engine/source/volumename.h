#pragma once

#include <QString>

// The name the disc was given when it was made: the UDF volume identifier
// of a disc or image (the ISO 9660 one when the UDF has none), or the name of
// the folder that holds VIDEO_TS. Empty when the source cannot be opened or
// has no name.
QString discVolumeName(const QString &source);
