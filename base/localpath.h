#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// File names are bytes on Linux and need not be valid UTF-8. A path keeps
// its bytes through a QString by carrying each byte that is not part of a
// valid character as a lone surrogate (U+DC80..U+DCFF), so that what the
// user typed opens exactly that file.
namespace LocalPath
{

QString fromBytes(const QByteArray &bytes);
QByteArray toBytes(const QString &path);

// What stat() says about the path (following links); false when it fails.
bool isDirectory(const QString &path);
bool isPlainFile(const QString &path);
bool exists(const QString &path);

// The path made absolute against the working directory, without resolving
// links or touching the file.
QString absolute(const QString &path);

// Opens the file for reading by its bytes, with no wait on a FIFO's writer;
// false (errno says why) when it cannot.
bool openForReading(QFile &file, const QString &path);

// The names in a folder (without "." and ".."); empty when it cannot be read.
QStringList entries(const QString &folder);

} // namespace LocalPath
