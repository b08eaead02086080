#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// The user's own files (records, pictures, schemes, the bookmark) are read
// and written only as plain files where they are named: a symbolic link, a
// FIFO, a device or a folder in their place is refused, never followed, so
// that a file planted in the folder cannot make the program write or show
// another one. Paths are taken byte for byte (LocalPath).
namespace PlainFile
{

// What stands at the path itself; a link is not followed.
enum class Kind { Missing, Plain, Link, Other };
Kind kindOf(const QString &path);

// Why the path cannot be used as a plain file ("it is a symbolic link"),
// or nothing when it is one or is missing.
std::optional<QString> refusal(const QString &path);

// Creates or replaces the file with bytes: they go to a new file beside it,
// synced and renamed over it, so that a failure leaves the old file whole and
// a link put in its place meanwhile is replaced, never written through. A
// replaced file keeps its permissions. Returns why it failed, or nothing.
std::optional<QString> replace(const QString &path, const QByteArray &bytes);

// Opens a plain file for reading, with no wait on a FIFO and no link
// followed in its last component. Returns why it failed, or nothing.
std::optional<QString> openForReading(QFile &file, const QString &path);

} // namespace PlainFile
