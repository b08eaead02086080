#include "settings/colorscheme.h"

#include "base/errors.h"
#include "base/localpath.h"
#include "base/plainfile.h"
#include "platform/windows1252.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QFile>

#include <cerrno>
#include <cstring>

std::array<int32_t, 6> SchemeColors::colors() const
{
    return {BkCol, OverCol, BBackCol, BForCol, DBackCol, DForCol};
}

void SchemeColors::setColor(int index, int32_t value)
{
    const std::array<int32_t SchemeColors::*, 6> fields = {
        &SchemeColors::BkCol,   &SchemeColors::OverCol,  &SchemeColors::BBackCol,
        &SchemeColors::BForCol, &SchemeColors::DBackCol, &SchemeColors::DForCol};
    if (index >= 0 && index < int(fields.size()))
        this->*fields[size_t(index)] = value;
}

namespace ColorScheme
{

using namespace SettingsKeys;

const std::array<const char *, 6> kColorKeys = {kBackColor,        kOverColor,
                                                kButtonBackColor,  kButtonForeColor,
                                                kDisplayBackColor, kDisplayForeColor};

namespace
{

QString readKey(const char *key)
{
    return SettingsStore::Read(kPlayer, kColorsSection, key, QStringLiteral("0"));
}

void writeKey(const char *key, const QString &value)
{
    SettingsStore::Write(kPlayer, kColorsSection, key, value);
}

QByteArray colorLine(int32_t value)
{
    return (value < 0 ? QByteArray::number(value) : ' ' + QByteArray::number(value)) + ' ';
}

AppError fileError(const QString &path, const QString &reason)
{
    return AppError(ErrorNumbers::kFileError, QStringLiteral("\"%1\": %2").arg(path, reason));
}

// Lines of at most kFileLines, each without its CR LF (or LF). A last line
// without a line end counts; the empty rest after a final line end does not.
QList<QByteArray> splitLines(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size() && lines.size() < kFileLines) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.sliced(start, end - start).toByteArray();
        if (line.endsWith('\r'))
            line.chop(1);
        lines << line;
        start = end + 1;
    }
    return lines;
}

} // namespace

std::optional<int32_t> parseColor(const QString &text)
{
    // The number parser would stop at a NUL and take the digits before it.
    if (text.contains(QChar(u'\0')))
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

std::optional<int32_t> storedColor(const char *key)
{
    return parseColor(readKey(key));
}

bool isSchemeStored()
{
    return readKey(kBackColor) != QLatin1String("0");
}

SchemeColors readStored()
{
    SchemeColors scheme;
    for (int index = 0; index < int(kColorKeys.size()); ++index)
        if (const auto color = storedColor(kColorKeys[size_t(index)]))
            scheme.setColor(index, *color);
    scheme.Name = readKey(kSchemeName);
    scheme.Creator = readKey(kSchemeCreator);
    return scheme;
}

// Events run after the first two writes, as the window's other colour steps
// let them.
void store(const SchemeColors &scheme)
{
    const auto colors = scheme.colors();
    for (size_t index = 0; index < colors.size(); ++index) {
        writeKey(kColorKeys[index], QString::number(colors[index]));
        if (index < 2)
            QApplication::processEvents();
    }
    writeKey(kSchemeName, scheme.Name);
    writeKey(kSchemeCreator, scheme.Creator);
}

void storeDefault()
{
    for (const char *key : kColorKeys)
        writeKey(key, QStringLiteral("0"));
    writeKey(kSchemeName, QStringLiteral("Default"));
    writeKey(kSchemeCreator, QStringLiteral("KORVANE"));
}

QByteArray fileBytes(const SchemeColors &scheme)
{
    QByteArray bytes = QByteArray(kFileHeader) + "\r\n";
    for (const int32_t color : scheme.colors())
        bytes += colorLine(color) + "\r\n";
    bytes += Windows1252::encode(scheme.Name) + "\r\n";
    bytes += Windows1252::encode(scheme.Creator) + "\r\n";
    return bytes;
}

QString schemeFileName(const QString &chosen)
{
    const QString name = chosen.section(u'/', -1);
    if (name.isEmpty() || name.contains(u'.'))
        return chosen;
    return chosen + QStringLiteral(".cfx");
}

// Written through a temporary file, so a failed write leaves an older file
// whole; a pipe or a device in its place would block or be lost, and a link
// would have another file written.
void writeFile(const QString &path, const SchemeColors &scheme)
{
    if (path.isEmpty())
        throw fileError(path, QStringLiteral("Path/File access error"));
    if (const auto failure = PlainFile::replace(path, fileBytes(scheme)))
        throw fileError(path, *failure);
}

FileContent parse(QByteArrayView bytes)
{
    FileContent content;
    const QList<QByteArray> lines = splitLines(bytes.first(std::min(bytes.size(), kMaxFileBytes)));
    if (lines.size() < kFileLines || lines[0] != kFileHeader)
        return content;
    for (int index = 1; index <= int(kColorKeys.size()); ++index) {
        const QString text = Windows1252::decode(lines[index]);
        const auto color = parseColor(text);
        if (!color) {
            content.outcome = FileContent::Outcome::BadColor;
            content.badLine = text;
            return content;
        }
        content.colors << *color;
    }
    content.Name = Windows1252::decode(lines[7]);
    content.Creator = Windows1252::decode(lines[8]);
    content.outcome = FileContent::Outcome::Complete;
    return content;
}

FileContent readFile(const QString &path)
{
    if (path.isEmpty())
        throw fileError(path, QStringLiteral("Path/File access error"));
    if (LocalPath::exists(path) && !LocalPath::isPlainFile(path))
        return FileContent();
    QFile file;
    if (!LocalPath::openForReading(file, path))
        throw fileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    return parse(file.read(kMaxFileBytes));
}

} // namespace ColorScheme
