#include "base/localpath.h"

#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace
{

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 character at `at`, 0 when the bytes there
// are not one (overlong, surrogate, beyond U+10FFFF or cut short).
int validCharacterLength(const QByteArray &bytes, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    int length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if (!isContinuation(next))
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isEscapedByte(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

struct stat statusOf(const QString &path, bool &ok)
{
    struct stat status {
    };
    ok = ::stat(LocalPath::toBytes(path).constData(), &status) == 0;
    return status;
}

} // namespace

namespace LocalPath
{

QString fromBytes(const QByteArray &bytes)
{
    QString path;
    path.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const int length = validCharacterLength(bytes, at);
        if (length == 0) {
            path += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        path += QString::fromUtf8(bytes.constData() + at, length);
        at += length;
    }
    return path;
}

QByteArray toBytes(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        const bool pairedLow = i > 0 && path[i - 1].isHighSurrogate();
        if (!isEscapedByte(unit) || pairedLow)
            continue;
        bytes += QStringView(path).mid(runStart, i - runStart).toUtf8();
        bytes += char(unit - kEscapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(path).mid(runStart).toUtf8();
    return bytes;
}

bool isDirectory(const QString &path)
{
    bool ok = false;
    const struct stat status = statusOf(path, ok);
    return ok && S_ISDIR(status.st_mode);
}

bool isPlainFile(const QString &path)
{
    bool ok = false;
    const struct stat status = statusOf(path, ok);
    return ok && S_ISREG(status.st_mode);
}

bool exists(const QString &path)
{
    bool ok = false;
    statusOf(path, ok);
    return ok;
}

QString absolute(const QString &path)
{
    if (path.startsWith(u'/'))
        return path;
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return path;
    return fromBytes(QByteArray(buffer)) + u'/' + path;
}

bool openForReading(QFile &file, const QString &path)
{
    const int descriptor = ::open(toBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return false;
    if (file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(descriptor);
    return false;
}

QStringList entries(const QString &folder)
{
    QStringList names;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(toBytes(folder).constData()), ::closedir);
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << fromBytes(name);
    }
    return names;
}

} // namespace LocalPath
