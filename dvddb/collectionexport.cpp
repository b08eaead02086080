#include "dvddb/collectionexport.h"

#include "base/errors.h"
#include "base/plainfile.h"
#include "dvddb/filelist.h"
#include "dvddb/recordfile.h"
#include "dvddb/recordstore.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImage>

#include <algorithm>

namespace CollectionExport
{

namespace
{

constexpr int kThumbnailSide = 160;
constexpr int kJpegQuality = 80;

const char *const kCsvHeader[] = {"Title",   "Director",    "Company",   "Year",
                                  "Actors",  "Comments",    "Subtitles", "Audio streams",
                                  "Disc ID", "Picture file"};

// The web page's captions of the fields it shows, by record line.
struct PageField {
    int line;
    const char *caption;
};
const PageField kPageFields[] = {{1, "Director"}, {3, "Year"},      {2, "Company"}, {4, "Actors"},
                                 {5, "Comments"}, {6, "Subtitles"}, {7, "Audio"}};

QByteArray csvField(const QString &text)
{
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\r') ||
        field.contains('\n')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

QByteArray csvLine(const QStringList &fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += csvField(fields.at(i));
    }
    return line + "\r\n";
}

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

// A record's picture as an embedded JPEG address; empty without one.
// Pictures shared by records are scaled once.
class Thumbnails
{
public:
    explicit Thumbnails(QString directory) : directory_(std::move(directory)) {}

    QString address(const QString &pictureName)
    {
        if (pictureName.isEmpty() || pictureName == RecordStore::kNoPicture)
            return {};
        const auto found = made_.constFind(pictureName);
        if (found != made_.constEnd())
            return *found;
        return made_[pictureName] = make(pictureName);
    }

private:
    QString make(const QString &pictureName) const
    {
        QImage picture;
        try {
            picture = RecordStore::loadRecordPicture(directory_, pictureName);
        } catch (const AppError &) {
            return {};
        }
        const QImage thumbnail = picture.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio,
                                                Qt::SmoothTransformation);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!thumbnail.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", kJpegQuality))
            return {};
        return QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(jpeg.toBase64());
    }

    QString directory_;
    QHash<QString, QString> made_;
};

QString pageEntry(const Record &record, Thumbnails &thumbnails)
{
    QString entry = QStringLiteral("<section class=\"record\">\n");
    const QString picture = thumbnails.address(record.lines.value(RecordStore::kFieldCount));
    if (!picture.isEmpty())
        entry += QStringLiteral("<img src=\"%1\" alt=\"\">\n").arg(picture);
    entry += QStringLiteral("<h2>%1</h2>\n<dl>\n").arg(html(record.lines.value(0)));
    for (const PageField &field : kPageFields) {
        const QString value = record.lines.value(field.line);
        if (value.isEmpty())
            continue;
        entry += QStringLiteral("<dt>%1</dt><dd>%2</dd>\n")
                     .arg(QLatin1String(field.caption), html(value));
    }
    return entry + QStringLiteral("</dl>\n</section>\n");
}

const char kPageHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>DVD collection</title>
<style>
body { font-family: sans-serif; background: #f4f4f4; color: #202020; margin: 2em; }
.record { background: #fff; border: 1px solid #ccc; margin: 0 0 1em; padding: 1em; overflow: auto; }
.record img { float: left; margin: 0 1em 0.5em 0; max-width: 160px; }
.record h2 { margin: 0 0 0.5em; font-size: 1.2em; }
dl { margin: 0; display: grid; grid-template-columns: max-content auto; gap: 0.2em 1em; }
dt { font-weight: bold; }
dd { margin: 0; }
.unreadable { color: #a00000; }
</style>
</head>
<body>
)";

// The digit runs at i and j by value; both indexes move past their runs.
int compareNumbers(const QString &a, qsizetype &i, const QString &b, qsizetype &j)
{
    const auto digits = [](const QString &text, qsizetype &at) {
        while (at < text.size() && text.at(at) == QLatin1Char('0'))
            ++at;
        const qsizetype start = at;
        while (at < text.size() && text.at(at).isDigit())
            ++at;
        return QStringView(text).mid(start, at - start);
    };
    const QStringView numberA = digits(a, i);
    const QStringView numberB = digits(b, j);
    if (numberA.size() != numberB.size())
        return numberA.size() < numberB.size() ? -1 : 1;
    return numberA.compare(numberB);
}

// Without regard to case, and numbers by their value: "Part 9" before
// "Part 10", as a reader of the list expects.
int titleOrder(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            if (const int order = compareNumbers(a, i, b, j))
                return order;
            continue;
        }
        const QChar x = a.at(i).toCaseFolded();
        const QChar y = b.at(j).toCaseFolded();
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    return int(a.size() - i) - int(b.size() - j);
}

void writeWhole(const QString &fileName, const QByteArray &bytes)
{
    if (PlainFile::refusal(fileName))
        throw AppError(
            ErrorNumbers::kFileError,
            QStringLiteral("\"%1\" is not a plain file: nothing was written.").arg(fileName));
    if (const std::optional<QString> failed = PlainFile::replace(fileName, bytes))
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("Cannot write \"%1\": %2").arg(fileName, *failed));
}

} // namespace

Collection readCollection(const QString &directory)
{
    FileList files(QStringLiteral("*.dvd"));
    files.Path = directory;
    files.Refresh();
    Collection collection;
    for (const QString &name : files.names()) {
        try {
            collection.records.push_back(
                {RecordFile::readRecord(directory + name), RecordStore::identifierOf(name)});
        } catch (const AppError &error) {
            collection.unreadable << name + QStringLiteral(": ") + error.description();
        }
    }
    std::stable_sort(collection.records.begin(), collection.records.end(),
                     [](const Record &a, const Record &b) {
                         return titleOrder(a.lines.value(0), b.lines.value(0)) < 0;
                     });
    return collection;
}

QByteArray toCsv(const Collection &collection)
{
    QStringList header;
    for (const char *name : kCsvHeader)
        header << QLatin1String(name);
    QByteArray csv = csvLine(header);
    for (const Record &record : collection.records) {
        QStringList fields = record.lines.mid(0, RecordStore::kFieldCount);
        while (fields.size() < RecordStore::kFieldCount)
            fields << QString();
        const QString picture = record.lines.value(RecordStore::kFieldCount);
        fields << record.identifier << (picture == RecordStore::kNoPicture ? QString() : picture);
        csv += csvLine(fields);
    }
    return csv;
}

QByteArray toHtml(const Collection &collection, const QString &directory)
{
    Thumbnails thumbnails(directory);
    QString page = QString::fromLatin1(kPageHead);
    page += QStringLiteral("<h1>DVD collection</h1>\n<p>%1 records</p>\n")
                .arg(collection.records.size());
    for (const Record &record : collection.records)
        page += pageEntry(record, thumbnails);
    if (!collection.unreadable.isEmpty()) {
        page +=
            QStringLiteral("<h2 class=\"unreadable\">Records that could not be read</h2>\n<ul>\n");
        for (const QString &entry : collection.unreadable)
            page += QStringLiteral("<li class=\"unreadable\">%1</li>\n").arg(html(entry));
        page += QStringLiteral("</ul>\n");
    }
    page += QStringLiteral("</body>\n</html>\n");
    return page.toUtf8();
}

Format formatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm") ? Format::Html
                                                                             : Format::Csv;
}

QString withExtension(const QString &fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".csv") : fileName;
}

int exportCollection(const QString &directory, const QString &fileName)
{
    const Collection collection = readCollection(directory);
    const QByteArray bytes =
        formatOf(fileName) == Format::Html ? toHtml(collection, directory) : toCsv(collection);
    writeWhole(fileName, bytes);
    return int(collection.unreadable.size());
}

} // namespace CollectionExport
