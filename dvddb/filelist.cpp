#include "dvddb/filelist.h"

#include "core/errors.h"

#include <QDir>
#include <QFileInfo>

void FileList::Refresh()
{
    const QFileInfo directory(Path);
    if (Path.isEmpty() || !directory.isDir() || !directory.isReadable())
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("Cannot list the folder \"%1\".").arg(Path));
    QDir dir(Path);
    dir.setNameFilters({Pattern});
    // Without QDir::CaseSensitive the pattern "*.dvd" also lists "X.DVD".
    dir.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    names_ = dir.entryList();
}
