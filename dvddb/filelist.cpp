#include "dvddb/filelist.h"

#include "base/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace
{

// "*.dvd" and the like are matched by their ending; anything else goes
// through a wildcard expression. Both ignore case.
class NameMatcher
{
public:
    explicit NameMatcher(const QString &pattern)
    {
        const QString rest = pattern.mid(1);
        if (pattern.startsWith(QLatin1Char('*')) && !rest.contains(QLatin1Char('*')) &&
            !rest.contains(QLatin1Char('?')) && !rest.contains(QLatin1Char('[')))
            ending_ = rest;
        else
            expression_ =
                QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    }

    bool matches(const QString &name) const
    {
        if (!ending_.isNull())
            return name.endsWith(ending_, Qt::CaseInsensitive);
        return expression_.match(name).hasMatch();
    }

private:
    QString ending_;
    QRegularExpression expression_;
};

// A plain file, or a link to one; the entry's type saves a stat where the
// file system reports it.
bool isPlainFile(const QByteArray &directory, const dirent &entry)
{
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat status {
    };
    return ::stat((directory + entry.d_name).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

// Listed with readdir rather than QDir: the notification handler lists the
// folder several times a second, and QDir's per-entry file information
// costs tens of milliseconds with ten thousand records.
void FileList::Refresh()
{
    const QFileInfo directory(Path);
    if (Path.isEmpty() || !directory.isDir() || !directory.isReadable())
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("Cannot list the folder \"%1\".").arg(Path));
    QByteArray encoded = QFile::encodeName(Path);
    if (!encoded.endsWith('/'))
        encoded += '/';
    const std::unique_ptr<DIR, int (*)(DIR *)> folder(::opendir(encoded.constData()), ::closedir);
    if (!folder)
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("Cannot list the folder \"%1\".").arg(Path));

    const NameMatcher matcher(Pattern);
    // Hidden files are left out, as a file list control leaves them out.
    std::vector<std::pair<QString, QString>> found; // lower-case key, name
    while (const dirent *entry = ::readdir(folder.get())) {
        if (entry->d_name[0] == '.')
            continue;
        QString name = QFile::decodeName(entry->d_name);
        if (matcher.matches(name) && isPlainFile(encoded, *entry))
            found.emplace_back(name.toLower(), std::move(name));
    }
    std::sort(found.begin(), found.end());
    QStringList names;
    names.reserve(qsizetype(found.size()));
    for (auto &entry : found)
        names << std::move(entry.second);
    names_ = std::move(names);
}
