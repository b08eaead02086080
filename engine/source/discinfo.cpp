#include "engine/source/discinfo.h"

#include "engine/common/dvderrors.h"
#include "engine/source/ifoguard.h"
#include "engine/source/languagenames.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include <algorithm>
#include <memory>
#include <set>

namespace
{

struct IfoCloser {
    void operator()(ifo_handle_t *ifo) const { ifoClose(ifo); }
};
using IfoHandle = std::unique_ptr<ifo_handle_t, IfoCloser>;

int bcd(uint8_t value)
{
    const int high = value >> 4;
    const int low = value & 0x0F;
    return (high > 9 || low > 9) ? -1 : high * 10 + low;
}

const pgcit_t *firstMenuTable(const ifo_handle_t *ifo)
{
    if (!ifo->pgci_ut || ifo->pgci_ut->nr_of_lus == 0 || !ifo->pgci_ut->lu)
        return nullptr;
    return ifo->pgci_ut->lu[0].pgcit;
}

bool hasMenuEntry(const pgcit_t *table, int menuId)
{
    if (!table || !table->pgci_srp)
        return false;
    for (int i = 0; i < table->nr_of_pgci_srp; ++i) {
        const uint8_t entry = table->pgci_srp[i].entry_id;
        if ((entry & 0x80) && (entry & 0x0F) == menuId)
            return true;
    }
    return false;
}

SubpictureStreamInfo subpictureInfo(int stream, const subp_attr_t &attr)
{
    SubpictureStreamInfo info;
    info.stream = stream;
    info.lang = attr.type == 1 ? LanguageNames::codeFromPacked(attr.lang_code) : QString();
    info.language = LanguageNames::nameForCode(info.lang);
    return info;
}

const pgc_t *programChain(const ifo_handle_t *vts, int pgcn)
{
    const pgcit_t *table = vts->vts_pgcit;
    if (!table || !table->pgci_srp || pgcn < 1 || pgcn > table->nr_of_pgci_srp)
        return nullptr;
    return table->pgci_srp[pgcn - 1].pgc;
}

// The program chains a title plays, in chapter order, each once.
std::vector<const pgc_t *> titleChains(const ifo_handle_t *vts, int vtsTitle)
{
    std::vector<const pgc_t *> chains;
    const vts_ptt_srpt_t *parts = vts->vts_ptt_srpt;
    if (!parts || !parts->title || vtsTitle < 1 || vtsTitle > parts->nr_of_srpts)
        return chains;
    const ttu_t &unit = parts->title[vtsTitle - 1];
    std::set<int> seen;
    for (int i = 0; unit.ptt && i < unit.nr_of_ptts; ++i) {
        const int pgcn = unit.ptt[i].pgcn;
        if (seen.insert(pgcn).second) {
            if (const pgc_t *chain = programChain(vts, pgcn))
                chains.push_back(chain);
        }
    }
    return chains;
}

void fillTitleFromSet(TitleInfo &title, const ifo_handle_t *vts)
{
    const std::vector<const pgc_t *> chains = titleChains(vts, title.vtsTitle);
    for (const pgc_t *chain : chains)
        title.duration90k += dvdTimeTo90k(chain->playback_time);
    if (chains.empty()) {
        title.unreadable =
            QStringLiteral("its title set %1 has no program chain for it").arg(title.titleSet);
        return;
    }
    const pgc_t *first = chains.front();
    const vtsi_mat_t *mat = vts->vtsi_mat;
    const int audioCount = std::min<int>(mat->nr_of_vts_audio_streams, 8);
    for (int i = 0; i < audioCount; ++i) {
        if (first->audio_control[i] & 0x8000)
            title.audio.push_back(audioStreamInfo(i, mat->vts_audio_attr[i]));
    }
    const int subpictureCount = std::min<int>(mat->nr_of_vts_subp_streams, 32);
    for (int i = 0; i < subpictureCount; ++i) {
        if (first->subp_control[i] & 0x80000000u)
            title.subpictures.push_back(subpictureInfo(i, mat->vts_subp_attr[i]));
    }
}

TitleSetInfo readTitleSet(dvd_reader_t *reader, int number, std::vector<IfoHandle> &open)
{
    TitleSetInfo info;
    info.number = number;
    IfoHandle vts(ifoOpen(reader, number));
    if (!vts || !vts->vtsi_mat) {
        open.emplace_back();
        return info;
    }
    info.readable = true;
    const video_attr_t &video = vts->vtsi_mat->vts_video_attr;
    info.wide = video.display_aspect_ratio == 3;
    info.framesPerSecond = video.video_format == 1 ? 25 : 30;
    const pgcit_t *menus = firstMenuTable(vts.get());
    for (int id = 3; id <= 7; ++id)
        info.menus[size_t(id)] = hasMenuEntry(menus, id);
    open.push_back(std::move(vts));
    return info;
}

QString discIdText(dvd_reader_t *reader)
{
    unsigned char id[16];
    if (DVDDiscID(reader, id) < 0)
        return {};
    QString text;
    for (unsigned char byte : id)
        text += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
    return text;
}

// libdvdread must not see information files it cannot survive; libdvdnav
// later reads the same files.
void refuseFatalDamage(dvd_reader_t *reader, int number, const QString &sourceName)
{
    const QString damage = IfoGuard::damage(reader, number);
    if (!damage.isEmpty())
        throw DvdErrors::unreadableSource(sourceName, damage);
}

} // namespace

const TitleInfo *DiscInfo::title(int number) const
{
    if (number < 1 || number > int(titles.size()))
        return nullptr;
    return &titles[size_t(number - 1)];
}

bool DiscInfo::anyTitleReadable() const
{
    return std::any_of(titles.begin(), titles.end(),
                       [](const TitleInfo &title) { return title.unreadable.isEmpty(); });
}

const TitleSetInfo *DiscInfo::titleSet(int number) const
{
    if (number < 1 || number > int(titleSets.size()))
        return nullptr;
    return &titleSets[size_t(number - 1)];
}

AudioStreamInfo audioStreamInfo(int stream, const audio_attr_t &attr)
{
    AudioStreamInfo info;
    info.stream = stream;
    info.formatCode = attr.audio_format;
    info.lang = attr.lang_type == 1 ? LanguageNames::codeFromPacked(attr.lang_code) : QString();
    info.language = LanguageNames::nameForCode(info.lang);
    info.format = audioFormatName(attr.audio_format);
    info.channels = attr.channels + 1;
    return info;
}

QString audioFormatName(int formatCode)
{
    switch (formatCode) {
    case 0:
        return QStringLiteral("AC-3");
    case 2:
    case 3:
        return QStringLiteral("MPEG");
    case 4:
        return QStringLiteral("LPCM");
    case 6:
        return QStringLiteral("DTS");
    default:
        return QStringLiteral("Unknown");
    }
}

int64_t dvdTimeTo90k(const dvd_time_t &time)
{
    const int hours = bcd(time.hour);
    const int minutes = bcd(time.minute);
    const int seconds = bcd(time.second);
    const int frames = bcd(time.frame_u & 0x3F);
    if (hours < 0 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 || frames < 0)
        return 0;
    const int64_t whole = (int64_t(hours) * 3600 + minutes * 60 + seconds) * 90000;
    const bool ntsc = (time.frame_u >> 6) == 3;
    return whole + (ntsc ? int64_t(frames) * 3003 : int64_t(frames) * 3600);
}

DiscInfo readDiscInfo(dvd_reader_t *reader, const QString &sourceName)
{
    refuseFatalDamage(reader, 0, sourceName);
    IfoHandle vmg(ifoOpen(reader, 0));
    if (!vmg || !vmg->vmgi_mat || !vmg->tt_srpt || !vmg->tt_srpt->title)
        throw DvdErrors::unreadableSource(sourceName,
                                          QStringLiteral("its VIDEO_TS.IFO is missing or damaged"));
    DiscInfo info;
    info.discId = discIdText(reader);
    info.discSide = vmg->vmgi_mat->disc_side == 2 ? 2 : 1;
    info.hasTitleMenu = hasMenuEntry(firstMenuTable(vmg.get()), 2);
    // The category's region byte has a bit set for every region the disc
    // refuses.
    const int refused = int((vmg->vmgi_mat->vmg_category >> 16) & 0xFF);
    info.allowedRegions = (~refused & 0xFF) ? (~refused & 0xFF) : 0xFF;

    std::vector<IfoHandle> sets;
    const int setCount = std::min<int>(vmg->vmgi_mat->vmg_nr_of_title_sets, 99);
    for (int number = 1; number <= setCount; ++number) {
        refuseFatalDamage(reader, number, sourceName);
        info.titleSets.push_back(readTitleSet(reader, number, sets));
    }
    if (!info.titleSets.empty())
        info.framesPerSecond = info.titleSets.front().framesPerSecond;

    const tt_srpt_t *table = vmg->tt_srpt;
    for (int i = 0; i < std::min<int>(table->nr_of_srpts, 99); ++i) {
        const title_info_t &entry = table->title[i];
        TitleInfo title;
        title.title = i + 1;
        title.titleSet = entry.title_set_nr;
        title.vtsTitle = entry.vts_ttn;
        title.chapters = entry.nr_of_ptts;
        title.angles = std::max<int>(1, entry.nr_of_angles);
        if (title.titleSet >= 1 && title.titleSet <= int(sets.size()) &&
            sets[size_t(title.titleSet - 1)])
            fillTitleFromSet(title, sets[size_t(title.titleSet - 1)].get());
        else
            title.unreadable =
                QStringLiteral("the information file of its title set %1 and its backup cannot "
                               "be read")
                    .arg(title.titleSet);
        info.titles.push_back(std::move(title));
    }
    return info;
}
