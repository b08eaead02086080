#pragma once

#include "engine/common/dvdtypes.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// One bookmark per disc, kept per user in a file of the control's own and
// keyed by the disc's unique identifier (32 hexadecimal characters).
class BookmarkStore
{
public:
    using Record = DiscPlace;

    // The file is the caller's choice: the program keeps it in its own folder.
    explicit BookmarkStore(QString filePath);
    const QString &filePath() const { return filePath_; }

    // Replaces the disc's bookmark. A damaged file is first moved aside, to
    // "<file>.damaged" or the first free "<file>.damaged-N". Throws AppError
    // for a malformed disc id or record, or when the file cannot be read,
    // moved aside or written; a file that is not plain or over 1 MiB is
    // neither read nor replaced.
    void save(const QString &discId, const Record &record);
    // The disc's bookmark; nothing when there is none or its entry was
    // damaged by hand. Throws AppError for a malformed disc id or when the
    // file cannot be read or is not a bookmark file at all.
    std::optional<Record> load(const QString &discId) const;
    // Removes the disc's bookmark; false when there was none.
    bool remove(const QString &discId);

    static bool isDiscId(const QString &text);
    static bool isValid(const Record &record);

private:
    void writeDiscs(const QJsonObject &discs) const;

    QString filePath_;
};
