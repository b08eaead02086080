#pragma once

#include "engine/common/dvdtypes.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Where each disc was left, so that playing it again can continue there:
// up to kMaxDiscs discs by identifier, the most recently left first, in one
// small JSON file of the user's data folder. Only a plain file is read, at
// most kMaxBytes of it; a damaged file is set aside and the store starts
// empty; the file is replaced whole, so it is never half written.
class ContinueStore
{
public:
    static constexpr int kMaxDiscs = 200;
    static constexpr qint64 kMaxBytes = 256 * 1024;

    struct Entry {
        QString discId;
        DiscPlace place;
    };

    explicit ContinueStore(QString filePath);
    static QString defaultFilePath();

    std::optional<DiscPlace> load(const QString &discId) const;
    // Puts the disc first; the least recently left beyond kMaxDiscs go.
    // Throws AppError when the file cannot be written.
    void save(const QString &discId, const DiscPlace &place);
    // Throws AppError when the file cannot be written.
    void remove(const QString &discId);

    // The entries a file's bytes hold, most recent first; nothing for bytes
    // that are no such file. Entries that are damaged are skipped.
    static std::optional<std::vector<Entry>> parse(const QByteArray &bytes);
    static QByteArray serialize(const std::vector<Entry> &entries);

private:
    std::vector<Entry> read() const;
    void write(const std::vector<Entry> &entries) const;

    QString filePath_;
};
