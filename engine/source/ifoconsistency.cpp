#include "engine/source/ifoconsistency.h"

#include "engine/source/infofile.h"

#include <dvdread/ifo_types.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

namespace
{

using namespace InfoLayout;

// Bytes [begin, end) of a file: the table something lies in.
struct Extent {
    uint64_t begin = 0;
    uint64_t end = 0;
};

bool inside(const InfoFile &file, const Extent &extent, uint64_t at, uint64_t length)
{
    return at >= extent.begin && at <= extent.end && length <= extent.end - at &&
           file.fits(at, length);
}

// A table of the common shape (a count, its last byte, then 8-byte
// entries), as the bytes it says it spans.
std::optional<Extent> tableAt(const InfoFile &file, uint64_t at)
{
    if (!file.fits(at, kHeaderSize))
        return std::nullopt;
    return Extent{at, at + file.be32(at + 4) + 1};
}

// What a program chain holds, for the tables that refer to it.
struct ChainFacts {
    uint64_t programs = 0;
    std::vector<uint64_t> angleBlocks; // the cells of each
};

struct Chain {
    uint64_t at = 0;
    Extent table;
    QString name;
};

class ChainCheck
{
public:
    ChainCheck(const InfoFile &file, const Chain &chain) : file_(file), chain_(chain) {}

    QString fault()
    {
        if (!inside(file_, chain_.table, chain_.at, kChainSize))
            return chain_.name + QStringLiteral(" lies outside its table");
        facts_.programs = file_.bytes(chain_.at + kPrograms);
        const uint64_t cells = file_.bytes(chain_.at + kCells);
        if (facts_.programs > cells || (cells > 0 && facts_.programs == 0))
            return QStringLiteral("%1 has %2 programs in %3 cells")
                .arg(chain_.name)
                .arg(facts_.programs)
                .arg(cells);
        QString fault = commandsFault();
        if (fault.isEmpty())
            fault = partFault(kProgramMapAt, facts_.programs, 1, QStringLiteral("program map"));
        if (fault.isEmpty())
            fault =
                partFault(kCellPlaybackAt, cells, kCellPlaybackSize, QStringLiteral("cell table"));
        if (fault.isEmpty())
            fault = partFault(kCellPositionAt, cells, kCellPositionSize,
                              QStringLiteral("cell position table"));
        if (fault.isEmpty())
            fault = programsFault(cells);
        if (fault.isEmpty())
            fault = blocksFault(cells);
        return fault;
    }
    const ChainFacts &facts() const { return facts_; }

private:
    // A part of the chain after its fixed part, inside the chain's table,
    // present whenever there is something to hold.
    QString partFault(uint64_t offsetAt, uint64_t entries, uint64_t entrySize, const QString &what)
    {
        const uint64_t offset = file_.be16(chain_.at + offsetAt);
        if (entries == 0)
            return {};
        if (offset < kChainSize ||
            !inside(file_, chain_.table, chain_.at + offset, entries * entrySize))
            return QStringLiteral("%1 has its %2 outside its table").arg(chain_.name, what);
        return {};
    }

    QString commandsFault()
    {
        const uint64_t offset = file_.be16(chain_.at + kCommandTableAt);
        if (offset == 0)
            return {};
        const uint64_t table = chain_.at + offset;
        if (offset < kChainSize || !inside(file_, chain_.table, table, kHeaderSize) ||
            !inside(file_, chain_.table, table + kHeaderSize,
                    (file_.be16(table) + file_.be16(table + 2) + file_.be16(table + 4)) *
                        kCommandSize))
            return chain_.name + QStringLiteral(" has its commands outside its table");
        return {};
    }

    // Each program starts at a cell of the chain, after the one before.
    QString programsFault(uint64_t cells)
    {
        const uint64_t map = chain_.at + file_.be16(chain_.at + kProgramMapAt);
        uint64_t previous = 0;
        for (uint64_t program = 0; program < facts_.programs; ++program) {
            const uint64_t cell = file_.bytes(map + program);
            if (cell <= previous || cell > cells)
                return QStringLiteral("program %1 of %2 starts at cell %3 of %4")
                    .arg(program + 1)
                    .arg(chain_.name)
                    .arg(cell)
                    .arg(cells);
            previous = cell;
        }
        return {};
    }

    // Angle blocks: a first cell, then cells up to a last one, all in the
    // chain; libdvdnav walks a block until its last cell.
    QString blocksFault(uint64_t cells)
    {
        const uint64_t table = chain_.at + file_.be16(chain_.at + kCellPlaybackAt);
        uint64_t blockStart = 0;
        bool inBlock = false;
        for (uint64_t cell = 0; cell < cells; ++cell) {
            const uint64_t kind = file_.bytes(table + cell * kCellPlaybackSize);
            const uint64_t mode = kind >> 6;
            const bool angleBlock = ((kind >> 4) & 3) == 1;
            if (mode == 0 && !inBlock)
                continue;
            if (!angleBlock || (mode == 1) == inBlock || mode == 0)
                return QStringLiteral("%1 has a broken block of cells at cell %2")
                    .arg(chain_.name)
                    .arg(cell + 1);
            if (mode == 1) {
                blockStart = cell;
                inBlock = true;
            }
            if (mode == 3) {
                facts_.angleBlocks.push_back(cell - blockStart + 1);
                inBlock = false;
            }
        }
        if (inBlock)
            return chain_.name + QStringLiteral(" has a block of cells that does not end");
        return {};
    }

    const InfoFile &file_;
    Chain chain_;
    ChainFacts facts_;
};

// Every program chain of a table of chains (title chains, or the menus of
// one language); `facts` gets what each holds.
QString chainsFault(const InfoFile &file, uint64_t at, const QString &what,
                    std::vector<ChainFacts> *facts = nullptr)
{
    const std::optional<Extent> table = tableAt(file, at);
    if (!table)
        return {};
    const uint64_t count = file.be16(at);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t entry = at + kHeaderSize * (i + 1);
        if (!inside(file, *table, entry, kHeaderSize))
            return what + QStringLiteral(" list more chains than their table holds");
        ChainCheck check(file, {at + file.be32(entry + 4), *table,
                                QStringLiteral("program chain %1 of %2").arg(i + 1).arg(what)});
        const QString fault = check.fault();
        if (!fault.isEmpty() || file.tangled())
            return fault;
        if (facts)
            facts->push_back(check.facts());
    }
    return {};
}

// The menu chains of every language of the menu table at sector `sector`.
QString menusFault(const InfoFile &file, uint64_t sector)
{
    const uint64_t at = sector * DVD_VIDEO_LB_LEN;
    const std::optional<Extent> table = sector == 0 ? std::nullopt : tableAt(file, at);
    if (!table)
        return {};
    const uint64_t languages = file.be16(at);
    for (uint64_t i = 0; i < languages; ++i) {
        const uint64_t entry = at + kHeaderSize * (i + 1);
        if (!inside(file, *table, entry, kHeaderSize))
            return QStringLiteral("the menus list more languages than their table holds");
        const QString fault = chainsFault(file, at + file.be32(entry + 4),
                                          QStringLiteral("the menus of language %1").arg(i + 1));
        if (!fault.isEmpty() || file.tangled())
            return fault;
    }
    return {};
}

// The chapters of each title of a title set: the program chain and the
// program each starts.
struct Chapter {
    uint64_t chain = 0;
    uint64_t program = 0;
};
using TitleChapters = std::vector<std::vector<Chapter>>;

// The chapter table at sector `sector`: each title's entry points at its
// chapters, which run up to the next title's.
QString chaptersFault(const InfoFile &file, uint64_t sector, TitleChapters &titles)
{
    const uint64_t at = sector * DVD_VIDEO_LB_LEN;
    const std::optional<Extent> table = sector == 0 ? std::nullopt : tableAt(file, at);
    if (!table)
        return {};
    const uint64_t count = file.be16(at);
    const uint64_t firstChapter = at + kHeaderSize + kChapterSize * count;
    if (!inside(file, *table, at, firstChapter - at))
        return QStringLiteral("the chapter table lists more titles than it holds");
    uint64_t previous = firstChapter;
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t start = at + file.be32(at + kHeaderSize + kChapterSize * i);
        const uint64_t end =
            i + 1 < count ? at + file.be32(at + kHeaderSize + kChapterSize * (i + 1)) : table->end;
        if (start < previous || end < start || end > table->end || !file.fits(start, end - start))
            return QStringLiteral("the chapters of title %1 lie outside their table").arg(i + 1);
        previous = start;
        std::vector<Chapter> &chapters = titles.emplace_back();
        for (uint64_t chapter = start; chapter + kChapterSize <= end; chapter += kChapterSize)
            chapters.push_back({file.be16(chapter), file.be16(chapter + 2)});
    }
    return {};
}

// Every chapter starts a program that its program chain has.
QString chapterNumbersFault(const TitleChapters &titles, const std::vector<ChainFacts> &chains)
{
    for (size_t title = 0; title < titles.size(); ++title) {
        for (size_t i = 0; i < titles[title].size(); ++i) {
            const Chapter &chapter = titles[title][i];
            if (chapter.chain < 1 || chapter.chain > chains.size() || chapter.program < 1 ||
                chapter.program > chains[chapter.chain - 1].programs)
                return QStringLiteral("chapter %1 of title %2 starts program %3 of program chain "
                                      "%4, which is not there")
                    .arg(i + 1)
                    .arg(title + 1)
                    .arg(chapter.program)
                    .arg(chapter.chain);
        }
    }
    return {};
}

// What the title set's tables hold: its title chains and its titles' chapters.
struct TitleSetTables {
    std::vector<ChainFacts> chains;
    TitleChapters titles;
    QString fault;
};

TitleSetTables titleSetTables(const InfoFile &file)
{
    TitleSetTables tables;
    const uint64_t chainsSector = file.be32(kTitleChains);
    if (chainsSector != 0)
        tables.fault = chainsFault(file, chainsSector * DVD_VIDEO_LB_LEN,
                                   QStringLiteral("the titles"), &tables.chains);
    if (tables.fault.isEmpty())
        tables.fault = chaptersFault(file, file.be32(kChapterTable), tables.titles);
    if (tables.fault.isEmpty())
        tables.fault = chapterNumbersFault(tables.titles, tables.chains);
    return tables;
}

// The angles every angle block of a title's chains offers; 1 without any.
uint64_t anglesOffered(const std::vector<Chapter> &chapters, const TitleSetTables &tables)
{
    std::optional<uint64_t> fewest;
    std::set<uint64_t> seen;
    for (const Chapter &chapter : chapters) {
        if (!seen.insert(chapter.chain).second || chapter.chain < 1 ||
            chapter.chain > tables.chains.size())
            continue;
        for (uint64_t cells : tables.chains[chapter.chain - 1].angleBlocks)
            fewest = std::min(fewest.value_or(cells), cells);
    }
    return fewest.value_or(1);
}

} // namespace

namespace IfoConsistency
{

QString managerFault(const InfoFile &manager)
{
    if (!manager.fits(0, DVD_VIDEO_LB_LEN))
        return {};
    const uint64_t firstPlay = manager.be32(kFirstPlayChain);
    if (firstPlay != 0) {
        // It follows the header, inside the part the header says is its own.
        const Extent header{sizeof(vmgi_mat_t), manager.be32(kManagerEnd) + 1};
        QString fault =
            ChainCheck(manager, {firstPlay, header, QStringLiteral("the first-play program chain")})
                .fault();
        if (!fault.isEmpty())
            return fault;
    }
    return menusFault(manager, manager.be32(kManagerMenus));
}

QString titleSetFault(const InfoFile &titleSet)
{
    if (!titleSet.fits(0, DVD_VIDEO_LB_LEN))
        return {};
    const QString fault = titleSetTables(titleSet).fault;
    if (!fault.isEmpty())
        return fault;
    return menusFault(titleSet, titleSet.be32(kSetMenus));
}

// A title set whose file is no title set at all is one libdvdread cannot
// open: its titles are marked unreadable, the rest of the disc plays.
bool isTitleSetFile(const InfoFile &titleSet)
{
    static constexpr char kMagic[] = "DVDVIDEO-VTS";
    for (uint64_t i = 0; i + 1 < sizeof(kMagic); ++i) {
        if (titleSet.bytes(i) != uint64_t(uint8_t(kMagic[i])))
            return false;
    }
    return true;
}

QString titlesFault(const InfoFile &manager, const InfoFile &titleSet, int number)
{
    if (!manager.fits(0, DVD_VIDEO_LB_LEN) || !titleSet.fits(0, DVD_VIDEO_LB_LEN) ||
        !isTitleSetFile(titleSet))
        return {};
    const uint64_t table = manager.be32(kTitleTable) * DVD_VIDEO_LB_LEN;
    if (table == 0 || !manager.fits(table, kHeaderSize))
        return {};
    const TitleSetTables tables = titleSetTables(titleSet);
    const uint64_t count = manager.be16(table);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t entry = table + kHeaderSize + kTitleSize * i;
        if (!manager.fits(entry, kTitleSize))
            break;
        if (manager.bytes(entry + 6) != uint64_t(number))
            continue;
        const uint64_t inSet = manager.bytes(entry + 7);
        if (inSet < 1 || inSet > tables.titles.size())
            return QStringLiteral("title %1 is title %2 of title set %3, which has %4")
                .arg(i + 1)
                .arg(inSet)
                .arg(number)
                .arg(tables.titles.size());
        const std::vector<Chapter> &chapters = tables.titles[inSet - 1];
        if (manager.be16(entry + 2) > chapters.size())
            return QStringLiteral("title %1 has %2 chapters where its title set lists %3")
                .arg(i + 1)
                .arg(manager.be16(entry + 2))
                .arg(chapters.size());
        const uint64_t angles = anglesOffered(chapters, tables);
        if (manager.bytes(entry + 1) > angles)
            return QStringLiteral("title %1 has %2 angles where its program chains offer %3")
                .arg(i + 1)
                .arg(manager.bytes(entry + 1))
                .arg(angles);
    }
    return {};
}

} // namespace IfoConsistency
