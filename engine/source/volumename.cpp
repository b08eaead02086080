#include "engine/source/volumename.h"

#include "base/errors.h"
#include "base/localpath.h"
#include "engine/source/dvdsource.h"
#include "engine/source/librarylog.h"

#include <QDir>
#include <QFileInfo>

#include <dvdread/dvd_reader.h>

#include <array>
#include <memory>

namespace
{

struct ReaderCloser {
    void operator()(dvd_reader_t *reader) const { DVDClose(reader); }
};

QString folderName(const DiscSource &source)
{
    return QFileInfo(QDir::cleanPath(source.path)).fileName();
}

QString recordedName(const DiscSource &source)
{
    LibraryLog log;
    std::unique_ptr<dvd_reader_t, ReaderCloser> reader(
        DVDOpen2(&log, LibraryLog::readerCallbacks(), LocalPath::toBytes(source.path).constData()));
    if (!reader)
        return {};
    std::array<char, 33> name{};
    std::array<unsigned char, 128> setName{};
    if (DVDUDFVolumeInfo(reader.get(), name.data(), name.size(), setName.data(), setName.size()) !=
            0 ||
        name[0] == '\0') {
        name.fill('\0');
        if (DVDISOVolumeInfo(reader.get(), name.data(), name.size(), setName.data(),
                             setName.size()) != 0)
            return {};
    }
    name.back() = '\0';
    return QString::fromLatin1(name.data()).trimmed();
}

} // namespace

QString discVolumeName(const QString &source)
{
    // An empty source would make the lookup try every drive.
    if (source.isEmpty())
        return {};
    try {
        const DiscSource disc = DvdSource::resolve(source);
        return disc.kind == SourceKind::Folder ? folderName(disc) : recordedName(disc);
    } catch (const AppError &) {
        return {};
    }
}
