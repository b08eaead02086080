#pragma once

#include <QString>

class QUrl;
class QWidget;

// Choosing what to play from the desktop: the "Open..." dialog and a folder or
// image dropped on one of the player's windows.
namespace OpenDisc
{

// The source the DVD control is given for a path the user chose or dropped:
// an ISO image as it is; a folder holding VIDEO_TS, the VIDEO_TS folder itself
// or its VIDEO_TS.IFO as the disc folder with a trailing "/". Empty when the
// path is none of these.
QString sourceFor(const QString &path);

// The path of a file address byte for byte: the name's bytes come
// percent-encoded, and QUrl::toLocalFile would lose those that are no valid
// UTF-8.
QString localPathOf(const QUrl &url);

// Makes the source the DVD control's and plays it with the play command; the
// command line, a hand-over and the desktop's choices all come here. A source
// the control refuses is reported by its name and nothing else is tried: a
// disc that was playing goes on. A disc of another source stops before the
// new one plays, so that the display and the once-per-disc database prompt
// start over for it; the same disc again is not prompted for again.
void play(const QString &source);

// Asks for an ISO image or a disc folder and plays it; nothing when cancelled.
void choose(QWidget *parent);

// Lets the window take a dropped ISO image or disc folder, which then plays.
void acceptDrops(QWidget *window);

} // namespace OpenDisc
