#include "dvddb/recordfile.h"

#include "base/errors.h"
#include "base/plainfile.h"
#include "platform/windows1252.h"

#include <QFile>

namespace RecordFile
{

namespace
{

// No line of a record or scheme comes anywhere near this; a longer one is
// cut so that a stray large file cannot exhaust the memory.
constexpr qint64 kMaxLineBytes = 64 * 1024;
// Nor does a whole file: reading stops here, so that a huge stray file does
// not hold up the player.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

AppError fileError(const QString &path, const QString &reason)
{
    return AppError(ErrorNumbers::kFileError,
                    QStringLiteral("Cannot read \"%1\": %2").arg(path, reason));
}

// Reads one line, dropping what lies beyond kMaxLineBytes; false at the end.
bool readLine(QFile &file, const QString &path, QByteArray &line)
{
    if (file.atEnd() || file.pos() >= kMaxFileBytes)
        return false;
    line = file.readLine(kMaxLineBytes + 1);
    if (line.isEmpty() && file.error() != QFile::NoError)
        throw fileError(path, file.errorString());
    if (!line.endsWith('\n')) {
        char skipped = 0;
        while (file.pos() < kMaxFileBytes && file.getChar(&skipped) && skipped != '\n') {
        }
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

} // namespace

QStringList readLines(const QString &path, int maxLines)
{
    // A pipe or a device would block the reader or never end, and a link
    // would show the lines of a file outside the folder.
    QFile file;
    if (const auto failure = PlainFile::openForReading(file, path))
        throw fileError(path, *failure);
    QStringList lines;
    QByteArray line;
    while ((maxLines < 0 || lines.size() < maxLines) && readLine(file, path, line))
        lines << Windows1252::decode(line);
    return lines;
}

QString readTitle(const QString &path)
{
    return readLines(path, 1).value(0);
}

QStringList readRecord(const QString &path)
{
    QStringList lines = readLines(path, kRecordLines);
    while (lines.size() < kRecordLines)
        lines << QString();
    return lines;
}

} // namespace RecordFile
