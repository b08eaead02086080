#pragma once

#include <QString>
#include <QStringList>

// Reading the database's 8-bit text files (records, colour schemes):
// Windows-1252 text with CR LF line ends; LF alone is accepted too.
namespace RecordFile
{

// A record has nine lines: title, director, company, year, actors,
// comments, subtitles, audio streams, picture file name ("0" for none).
constexpr int kRecordLines = 9;

// The file's lines without their line ends; at most maxLines when it is not
// negative. A line is cut after 64 KiB and reading stops after 1 MiB. Throws
// AppError when the file cannot be opened or read, or is not a plain file (a
// folder, a pipe, a device).
QStringList readLines(const QString &path, int maxLines = -1);

// Line 1 of a record, empty for an empty file. Throws like readLines.
QString readTitle(const QString &path);

// The nine lines of a record; lines missing from a short file are empty and
// lines after the ninth are ignored. Throws like readLines.
QStringList readRecord(const QString &path);

} // namespace RecordFile
