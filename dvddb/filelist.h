#pragma once

#include <QString>
#include <QStringList>

#include <utility>

// A directory listing by pattern, as a hidden file list control keeps it: the
// names stay as they were until the next successful refresh.
class FileList
{
public:
    explicit FileList(QString pattern) : Pattern(std::move(pattern)) {}

    QString Pattern; // e.g. "*.dvd"; matched without regard to case
    QString Path;    // the directory listed

    // Lists Path anew: file names only, sorted by name without regard to
    // case. Throws AppError, keeping the old names, when Path cannot be listed.
    void Refresh();

    const QStringList &names() const { return names_; }

private:
    QStringList names_;
};
