#include "engine/source/ifoguard.h"

#include "engine/source/ifoconsistency.h"
#include "engine/source/infofile.h"

#include <set>
#include <vector>

namespace
{

using namespace InfoLayout;

// A table whose header libdvdread reads but whose entries run past the end.
bool cutAfterHeader(const InfoFile &file, uint64_t table, uint64_t entrySize, uint64_t entries)
{
    return file.fits(table, kHeaderSize) && !file.fits(table + kHeaderSize, entrySize * entries);
}

// The command table of the program chain at `chain` is started and not
// finished: its pre-, post- and cell commands run past the end.
bool commandsCutOff(const InfoFile &file, uint64_t chain)
{
    if (!file.fits(chain, kChainSize) || file.be16(chain + kCommandTableAt) == 0)
        return false;
    const uint64_t table = chain + file.be16(chain + kCommandTableAt);
    if (!file.fits(table, kHeaderSize))
        return false;
    const uint64_t commands = file.be16(table) + file.be16(table + 2) + file.be16(table + 4);
    return cutAfterHeader(file, table, kCommandSize, commands);
}

// Whether libdvdread reads the whole program chain at `chain`: its fixed
// part, commands, program map and cell tables.
bool chainReadable(const InfoFile &file, uint64_t chain)
{
    if (!file.fits(chain, kChainSize))
        return false;
    const uint64_t programs = file.bytes(chain + 2);
    const uint64_t cells = file.bytes(chain + 3);
    const uint64_t commandTable = file.be16(chain + kCommandTableAt);
    const uint64_t programMap = file.be16(chain + kProgramMapAt);
    const uint64_t cellPlayback = file.be16(chain + kCellPlaybackAt);
    const uint64_t cellPosition = file.be16(chain + kCellPositionAt);
    if (commandTable != 0 &&
        (!file.fits(chain + commandTable, kHeaderSize) || commandsCutOff(file, chain)))
        return false;
    return (programMap == 0 || programs == 0 || file.fits(chain + programMap, programs)) &&
           (cellPlayback == 0 || cells == 0 ||
            file.fits(chain + cellPlayback, cells * kCellPlaybackSize)) &&
           (cellPosition == 0 || cells == 0 ||
            file.fits(chain + cellPosition, cells * kCellPositionSize));
}

// Any program chain of the chain table at `table` (title chains, or the
// menus of one language) whose commands are cut off; or one that cannot be
// read and is listed again (libdvdread then shares a chain it has dropped).
bool chainTableCutOff(const InfoFile &file, uint64_t table)
{
    if (!file.fits(table, kHeaderSize))
        return false;
    const uint64_t count = file.be16(table);
    std::set<uint64_t> unreadable;
    std::set<uint64_t> seen;
    for (uint64_t i = 0; i < count && file.fits(table + kHeaderSize * (i + 1), kHeaderSize); ++i) {
        const uint64_t chain = table + file.be32(table + kHeaderSize * (i + 1) + 4);
        if (unreadable.count(chain) || commandsCutOff(file, chain))
            return true;
        if (seen.insert(chain).second && !chainReadable(file, chain))
            unreadable.insert(chain);
    }
    return false;
}

// Any menu chain, of any language, of the menu table at sector `sector`.
bool menusCutOff(const InfoFile &file, uint64_t sector)
{
    const uint64_t table = sector * DVD_VIDEO_LB_LEN;
    if (sector == 0 || !file.fits(table, kHeaderSize))
        return false;
    const uint64_t languages = file.be16(table);
    for (uint64_t i = 0; i < languages && file.fits(table + kHeaderSize * (i + 1), kHeaderSize);
         ++i) {
        const uint64_t chains = table + file.be32(table + kHeaderSize * (i + 1) + 4);
        // A language whose list of chains is cut off fails, and libdvdread
        // then walks that missing list while freeing the menus it read.
        if (cutAfterHeader(file, chains, kHeaderSize,
                           file.fits(chains, 2) ? file.be16(chains) : 0) ||
            chainTableCutOff(file, chains))
            return true;
    }
    return false;
}

// The title table: its header, and the titles its size says follow it (a
// size of 0 counts the titles instead).
bool titlesCutOff(const InfoFile &file, uint64_t sector)
{
    const uint64_t table = sector * DVD_VIDEO_LB_LEN;
    if (sector == 0 || !file.fits(table, 0))
        return false;
    if (!file.fits(table, kHeaderSize))
        return true;
    const uint64_t lastByte = file.be32(table + 4);
    const uint64_t size =
        lastByte != 0 ? lastByte + 1 : file.be16(table) * kTitleSize + kHeaderSize;
    return size < kHeaderSize || !file.fits(table + kHeaderSize, size - kHeaderSize);
}

bool managerCutOff(const InfoFile &file)
{
    if (!file.fits(0, DVD_VIDEO_LB_LEN))
        return false;
    const uint64_t firstPlay = file.be32(kFirstPlayChain);
    return titlesCutOff(file, file.be32(kTitleTable)) ||
           (firstPlay != 0 && commandsCutOff(file, firstPlay)) ||
           menusCutOff(file, file.be32(kManagerMenus));
}

bool titleSetCutOff(const InfoFile &file)
{
    if (!file.fits(0, DVD_VIDEO_LB_LEN))
        return false;
    const uint64_t titleChains = file.be32(kTitleChains);
    return (titleChains != 0 && chainTableCutOff(file, titleChains * DVD_VIDEO_LB_LEN)) ||
           menusCutOff(file, file.be32(kSetMenus));
}

QString fileName(int number, dvd_read_domain_t domain)
{
    const QString extension =
        domain == DVD_READ_INFO_FILE ? QStringLiteral("IFO") : QStringLiteral("BUP");
    if (number == 0)
        return QStringLiteral("VIDEO_TS.") + extension;
    return QStringLiteral("VTS_%1_0.%2").arg(number, 2, 10, QLatin1Char('0')).arg(extension);
}

} // namespace

namespace IfoGuard
{

QString damage(dvd_reader_s *reader, int number)
{
    constexpr dvd_read_domain_t kVersions[] = {DVD_READ_INFO_FILE, DVD_READ_INFO_BACKUP_FILE};
    // A title set's titles are checked against both versions of the video
    // manager's file: libdvdread falls back on the backup.
    std::vector<InfoFile> managers;
    for (const dvd_read_domain_t domain : kVersions) {
        if (number > 0 && !managers.emplace_back().read(reader, 0, domain))
            managers.pop_back();
    }
    for (const dvd_read_domain_t domain : kVersions) {
        InfoFile file;
        if (!file.read(reader, number, domain))
            continue;
        const QString name = fileName(number, domain);
        const bool cutOff = number == 0 ? managerCutOff(file) : titleSetCutOff(file);
        QString fault;
        if (!cutOff && !file.tangled())
            fault = number == 0 ? IfoConsistency::managerFault(file)
                                : IfoConsistency::titleSetFault(file);
        for (const InfoFile &manager : managers) {
            if (fault.isEmpty() && !cutOff && !file.tangled())
                fault = IfoConsistency::titlesFault(manager, file, number);
        }
        if (file.tangled())
            return QStringLiteral("%1 has tables that refer to each other endlessly").arg(name);
        if (!fault.isEmpty())
            return QStringLiteral("%1 is inconsistent: %2").arg(name, fault);
        if (!cutOff)
            continue;
        if (file.damaged())
            return QStringLiteral("part of %1 cannot be read").arg(name);
        return QStringLiteral("%1 ends in the middle of a table").arg(name);
    }
    return {};
}

} // namespace IfoGuard
