#include "engine/source/ifoguard.h"

#include <dvdread/dvd_reader.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace
{

// Information files are a few hundred KiB at most; a larger one is not read
// here (libdvdread reads only the tables it needs).
constexpr int64_t kLargestFile = 32 * 1024 * 1024;
// Real files need a few thousand looks at their tables; a damaged one can
// list the same tables over and over, and is not walked for ever.
constexpr uint64_t kMostLooks = 2'000'000;

// Where the tables lie, as byte offsets in a block or table.
constexpr uint64_t kFirstPlayChain = 0x84; // byte offset of the first-play program chain
constexpr uint64_t kTitleTable = 0xC4;     // video manager: sector of the title table
constexpr uint64_t kManagerMenus = 0xC8;   // video manager: sector of the menu chains
constexpr uint64_t kTitleChains = 0xCC;    // title set: sector of the title chains
constexpr uint64_t kSetMenus = 0xD0;       // title set: sector of the menu chains
constexpr uint64_t kChainSize = 236;       // a program chain's fixed part
constexpr uint64_t kCommandTableAt = 0xE4; // in a program chain, followed by:
constexpr uint64_t kProgramMapAt = 0xE6;
constexpr uint64_t kCellPlaybackAt = 0xE8;
constexpr uint64_t kCellPositionAt = 0xEA;
constexpr uint64_t kCellPlaybackSize = 24;
constexpr uint64_t kCellPositionSize = 4;
constexpr uint64_t kHeaderSize = 8; // of every table, and of each of their entries
constexpr uint64_t kCommandSize = 8;
constexpr uint64_t kTitleSize = 12;

struct FileCloser {
    void operator()(dvd_file_t *file) const { DVDCloseFile(file); }
};

// The whole blocks of one information file, and which of them can be read:
// what libdvdread can read of it. A block that cannot be read (a damaged
// disc, or an image whose file runs past its end) fails libdvdread's read of
// any table on it just as the end of the file does.
class InfoFile
{
public:
    bool read(dvd_reader_t *reader, int number, dvd_read_domain_t domain)
    {
        std::unique_ptr<dvd_file_t, FileCloser> file(DVDOpenFile(reader, number, domain));
        if (!file)
            return false;
        const int64_t blocks = int64_t(DVDFileSize(file.get()));
        if (blocks <= 0 || blocks * DVD_VIDEO_LB_LEN > kLargestFile)
            return false;
        bytes_.assign(size_t(blocks) * DVD_VIDEO_LB_LEN, 0);
        readable_.assign(size_t(blocks), false);
        for (int64_t block = 0; block < blocks; ++block) {
            const int at = int(block * DVD_VIDEO_LB_LEN);
            readable_[size_t(block)] =
                DVDFileSeek(file.get(), at) == at &&
                DVDReadBytes(file.get(), bytes_.data() + at, DVD_VIDEO_LB_LEN) == DVD_VIDEO_LB_LEN;
            damaged_ = damaged_ || !readable_[size_t(block)];
        }
        return true;
    }

    // Whether `length` bytes at `offset` lie in the file and can be read;
    // nothing does once the file took too many looks.
    bool fits(uint64_t offset, uint64_t length) const
    {
        if (++looks_ > kMostLooks || offset > bytes_.size() || length > bytes_.size() - offset)
            return false;
        if (length == 0)
            return true;
        for (uint64_t block = offset / DVD_VIDEO_LB_LEN;
             block <= (offset + length - 1) / DVD_VIDEO_LB_LEN; ++block) {
            if (!readable_[block])
                return false;
        }
        return true;
    }
    // Some block of the file cannot be read.
    bool damaged() const { return damaged_; }
    // Its tables refer to each other too often to be those of a disc.
    bool tangled() const { return looks_ > kMostLooks; }
    // Only where fits() said so.
    uint64_t bytes(uint64_t at) const { return bytes_[at]; }
    uint64_t be16(uint64_t at) const { return uint64_t(bytes_[at]) << 8 | bytes_[at + 1]; }
    uint64_t be32(uint64_t at) const { return be16(at) << 16 | be16(at + 2); }

private:
    std::vector<uint8_t> bytes_;
    std::vector<bool> readable_;
    bool damaged_ = false;
    mutable uint64_t looks_ = 0;
};

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
    for (const dvd_read_domain_t domain : {DVD_READ_INFO_FILE, DVD_READ_INFO_BACKUP_FILE}) {
        InfoFile file;
        if (!file.read(reader, number, domain))
            continue;
        const bool cutOff = number == 0 ? managerCutOff(file) : titleSetCutOff(file);
        if (file.tangled())
            return QStringLiteral("%1 has tables that refer to each other endlessly")
                .arg(fileName(number, domain));
        if (!cutOff)
            continue;
        if (file.damaged())
            return QStringLiteral("part of %1 cannot be read").arg(fileName(number, domain));
        return QStringLiteral("%1 ends in the middle of a table").arg(fileName(number, domain));
    }
    return {};
}

} // namespace IfoGuard
