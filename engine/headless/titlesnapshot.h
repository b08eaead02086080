#pragma once

#include <QImage>
#include <QString>

// The picture the player shows at a point of a title, subpicture included,
// at the display aspect; made without a window or threads of playback: the
// title is played from a little before that point, decoded as fast as it
// reads, and the picture due at that point is kept.
struct SnapshotRequest {
    QString source;
    int title = 1;
    double seconds = 0;
    int subtitle = -1; // shown subtitle stream; -1 leaves the disc's choice
};

// Throws AppError (source, title, time or subtitle that does not exist, a
// disc that cannot be read or loops endlessly).
QImage renderTitleSnapshot(const SnapshotRequest &request);
