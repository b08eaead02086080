#pragma once

#include "base/errors.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

// Writing, deleting and importing the database's files: one record per disc
// named by its identifier + ".dvd", and the pictures the records name, all
// directly inside the database directory. Reading is RecordFile's.
namespace RecordStore
{

// The eight free-text fields of a record come before its picture line.
constexpr int kFieldCount = 8;
// "0" in the picture line: the record has no picture.
inline const QString kNoPicture = QStringLiteral("0");
// An imported record larger than this is no record.
constexpr qint64 kMaxImportBytes = 1024 * 1024;

// The file name of a record: the identifier followed by ".dvd".
QString fileNameFor(const QString &identifier);
// The identifier a record file name carries: the name less its last four
// characters (the extension, in any letter case).
QString identifierOf(const QString &fileName);

// The disc's record files among the names of a listing of the database
// folder: those whose identifier is discId exactly; none for an empty id.
QStringList recordsOfDisc(const QStringList &names, const QString &discId);

// Throws AppError with a message for the user unless the name can be a file
// directly inside the database directory: not empty, no "/", not "." or "..".
// what names the thing in the message ("unique ID", "picture").
void checkFileName(const QString &name, const QString &what);

// Writes the record of identifier: the eight fields and the picture name,
// each on a CR LF line, in Windows-1252. The file is written under a
// temporary name and renamed over the old record, so a failure never leaves
// half a record. Throws AppError when the identifier is refused or the file
// cannot be written.
void writeRecord(const QString &directory, const QString &identifier, const QStringList &fields,
                 const QString &pictureName);

// Saves the picture as a bitmap under name, whatever the name's extension.
// Throws AppError when the name is refused or the file cannot be written.
void savePicture(const QString &directory, const QImage &picture, const QString &name);

// Loads a picture file, deciding the format from its content. Only plain files
// are read. Throws AppError with the reason when it cannot be loaded.
QImage loadPicture(const QString &path);

// Loads the picture a record's line 9 names. A name that is not a plain file
// directly inside the directory fails like a picture that cannot be loaded.
QImage loadRecordPicture(const QString &directory, const QString &name);

// Deletes the record at path and its picture, unless another record of the
// same folder names that picture too. A missing file is no failure; the last
// other failure is returned, and the steps after a failing one still run.
std::optional<AppError> deleteRecord(const QString &path);

// Copies a record file into the directory under its own name, replacing a
// record of that name. Throws AppError when the source is not a plain file,
// is larger than kMaxImportBytes, or cannot be read or written.
void importRecord(const QString &directory, const QString &source);

} // namespace RecordStore
