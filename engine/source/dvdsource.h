#pragma once

#include "engine/source/discinfo.h"

#include <QString>
#include <QStringList>

// Where a disc comes from, and the checks made before it plays: the source
// is found and opened, its IFO files read, and an encrypted disc refused
// when nothing can decrypt it.
enum class SourceKind { Folder, Image, Device };

struct DiscSource {
    QString path;      // what libdvdread opens: the folder above VIDEO_TS, the image or the device
    QString directory; // what DVDDirectory reports
    SourceKind kind = SourceKind::Folder;
};

struct ProbedDisc {
    DiscSource source;
    DiscInfo info;
};

namespace DvdSource
{

// Turns what the user gave (a folder holding VIDEO_TS, the VIDEO_TS folder
// itself, an ISO image or a device node) into a source; an empty text picks
// the first drive holding a DVD-Video disc. Throws AppError.
DiscSource resolve(const QString &requested);

// Opens the source, reads its IFO files and checks that its video can be
// read. Throws AppError (unreadable, encrypted without libdvdcss).
ProbedDisc probe(const DiscSource &source);

// Device nodes that may be DVD drives, in the order they are tried.
QStringList candidateDrives();

} // namespace DvdSource
