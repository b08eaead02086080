#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The whole database written out for use elsewhere: a CSV file for
// spreadsheets and other catalogues, or one web page that stands alone
// (pictures embedded), both sorted by title.
namespace CollectionExport
{

struct Record {
    QStringList lines; // the nine lines of the record file
    QString identifier;
};

struct Collection {
    std::vector<Record> records; // sorted by title, without regard to case
    QStringList unreadable;      // "NAME.dvd: why", in file name order
};

enum class Format { Csv, Html };

// Every "*.dvd" of the directory; a record that cannot be read is named in
// unreadable. Throws AppError when the directory cannot be listed.
Collection readCollection(const QString &directory);

// RFC 4180: a header line, CR LF line ends, UTF-8.
QByteArray toCsv(const Collection &collection);
// Pictures come from directory, scaled to thumbnails.
QByteArray toHtml(const Collection &collection, const QString &directory);

// ".htm" and ".html" (any case) make a web page, anything else CSV.
Format formatOf(const QString &fileName);
// A name without extension gets ".csv".
QString withExtension(const QString &fileName);

// Writes the collection of directory to fileName in the format its name
// asks for; returns the number of records that could not be read. Throws
// AppError when the folder cannot be listed or the file cannot be written
// (a link, a folder or a device in its place is refused).
int exportCollection(const QString &directory, const QString &fileName);

} // namespace CollectionExport
