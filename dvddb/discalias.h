#pragma once

#include <QString>

// Several discs, one record: a box set's discs or a re-pressing of a film
// have identifiers of their own. "<disc id>.alias" beside the records holds
// the identifier of the record that disc shares. Records stay the only
// "*.dvd" files, so earlier versions see the database unchanged.
namespace DiscAlias
{

// ".alias"
QString fileNameFor(const QString &discId);

// The identifier of the record that describes the disc: its own when
// "<disc id>.dvd" exists, else the one its alias names when that record
// exists; else discId itself. A damaged or dangling alias is ignored.
QString recordIdentifierFor(const QString &directory, const QString &discId);

// Makes the disc share the record of recordId. Throws AppError when either
// identifier is refused, the record is missing, the disc has a record of its
// own, or the file cannot be written (a link or device in its place is
// refused, never followed).
void link(const QString &directory, const QString &discId, const QString &recordId);

// Removes every alias that names recordId; the failures are skipped.
void removeLinksTo(const QString &directory, const QString &recordId);

} // namespace DiscAlias
