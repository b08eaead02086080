#include "engine/navigation/readablevobus.h"

#include "base/localpath.h"
#include "engine/demux/psdemuxer.h"
#include "engine/source/librarylog.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <algorithm>
#include <array>
#include <vector>

namespace
{

struct IfoCloser {
    void operator()(ifo_handle_t *ifo) const { ifoClose(ifo); }
};
struct FileCloser {
    void operator()(dvd_file_t *file) const { DVDCloseFile(file); }
};

// Cells that count in a program chain's positions: libdvdnav counts only
// the first cell of an angle block.
bool counted(const cell_playback_t &cell)
{
    return cell.block_type != BLOCK_TYPE_ANGLE_BLOCK || cell.block_mode == BLOCK_MODE_FIRST_CELL;
}

} // namespace

struct ReadableVobus::TitleSet {
    std::unique_ptr<ifo_handle_t, IfoCloser> ifo;
    std::unique_ptr<dvd_file_t, FileCloser> video;

    const pgc_t *chain(int number) const
    {
        const pgcit_t *chains = ifo ? ifo->vts_pgcit : nullptr;
        if (!chains || !chains->pgci_srp || number < 1 || number > chains->nr_of_pgci_srp)
            return nullptr;
        return chains->pgci_srp[number - 1].pgc;
    }

    std::vector<uint32_t> vobuStarts(uint32_t first, uint32_t last) const
    {
        const vobu_admap_t *map = ifo->vts_vobu_admap;
        if (!map || !map->vobu_start_sectors || map->last_byte < VOBU_ADMAP_SIZE)
            return {};
        const uint32_t *begin = map->vobu_start_sectors;
        const uint32_t *end = begin + (map->last_byte + 1 - VOBU_ADMAP_SIZE) / sizeof(uint32_t);
        return {std::lower_bound(begin, end, first), std::upper_bound(begin, end, last)};
    }

    bool navPackReads(uint32_t sector) const
    {
        std::array<unsigned char, DVD_VIDEO_LB_LEN> block{};
        return DVDReadBlocks(video.get(), int(sector), 1, block.data()) == 1 &&
               PsDemuxer::isNavPack(block.data());
    }
};

ReadableVobus::ReadableVobus(const QString &path)
    : path_(path), log_(std::make_unique<LibraryLog>())
{
    reader_ =
        DVDOpen2(log_.get(), LibraryLog::readerCallbacks(), LocalPath::toBytes(path_).constData());
}

ReadableVobus::~ReadableVobus()
{
    sets_.clear();
    if (reader_)
        DVDClose(reader_);
}

ReadableVobus::TitleSet *ReadableVobus::titleSet(int number)
{
    std::unique_ptr<TitleSet> &set = sets_[number];
    if (!set && reader_) {
        set = std::make_unique<TitleSet>();
        set->ifo.reset(ifoOpen(reader_, number));
        set->video.reset(DVDOpenFile(reader_, number, DVD_READ_TITLE_VOBS));
    }
    return set && set->ifo && set->video ? set.get() : nullptr;
}

std::optional<uint32_t> ReadableVobus::nextAfter(int titleSetNumber, int chainNumber,
                                                 uint32_t position)
{
    const TitleSet *set = titleSet(titleSetNumber);
    const pgc_t *chain = set ? set->chain(chainNumber) : nullptr;
    if (!chain || !chain->cell_playback)
        return std::nullopt;
    uint32_t cellStart = 0; // the cell's first sector, counted in the chain
    for (int i = 0; i < chain->nr_of_cells; ++i) {
        const cell_playback_t &cell = chain->cell_playback[i];
        if (!counted(cell) || cell.last_sector < cell.first_sector)
            continue;
        for (const uint32_t vobu :
             set->vobuStarts(cell.first_sector, cell.last_vobu_start_sector)) {
            const uint32_t at = cellStart + (vobu - cell.first_sector);
            if (at > position && set->navPackReads(vobu))
                return at;
        }
        cellStart += cell.last_sector - cell.first_sector + 1;
    }
    return std::nullopt;
}

int ReadableVobus::programs(int titleSetNumber, int chainNumber)
{
    const TitleSet *set = titleSet(titleSetNumber);
    const pgc_t *chain = set ? set->chain(chainNumber) : nullptr;
    return chain ? chain->nr_of_programs : 0;
}
