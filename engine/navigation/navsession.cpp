#include "engine/navigation/navsession.h"

#include "base/localpath.h"
#include "engine/common/dvderrors.h"
#include "engine/common/dvdtypes.h"
#include "engine/source/languagenames.h"

#include <QFile>

#include <algorithm>
#include <utility>

NavSession::NavSession(const QString &path, std::shared_ptr<BlockReader> reader)
    : path_(path), log_(std::make_unique<LibraryLog>()), reader_(std::move(reader))
{
    const QByteArray encoded = LocalPath::toBytes(path);
    if (dvdnav_open2(&nav_, log_.get(), LibraryLog::navigatorCallbacks(), encoded.constData()) !=
            DVDNAV_STATUS_OK ||
        !nav_) {
        const QString reason = log_->lastError();
        if (nav_)
            dvdnav_close(nav_);
        nav_ = nullptr;
        throw DvdErrors::unreadableSource(path, reason);
    }
    dvdnav_set_readahead_flag(nav_, 1);
    // Positions and time searches relative to the whole program chain, not
    // to the current program.
    dvdnav_set_PGC_positioning_flag(nav_, 1);
}

dvdnav_status_t NavSession::nextBlock(uint8_t **block, int32_t *event, int32_t *length)
{
    if (reader_)
        return reader_->next(nav_, block, event, length);
    return dvdnav_get_next_cache_block(nav_, block, event, length);
}

NavSession::~NavSession()
{
    if (nav_)
        dvdnav_close(nav_);
}

QString NavSession::error() const
{
    const QString library = QString::fromLocal8Bit(dvdnav_err_to_string(nav_));
    return library.isEmpty() ? log_->lastError() : library;
}

void NavSession::check(dvdnav_status_t status, const QString &what) const
{
    if (status != DVDNAV_STATUS_OK)
        throw failure(what);
}

AppError NavSession::failure(const QString &what) const
{
    return DvdErrors::unreadableSource(path_, QStringLiteral("%1: %2").arg(what, error()));
}

int NavSession::domain() const
{
    if (dvdnav_is_domain_vts(nav_) == 1)
        return DvdDomain::kTitle;
    if (dvdnav_is_domain_vtsm(nav_) == 1)
        return DvdDomain::kVideoTitleSetMenu;
    if (dvdnav_is_domain_vmgm(nav_) == 1)
        return DvdDomain::kVideoManagerMenu;
    return DvdDomain::kFirstPlay;
}

bool NavSession::titleAndChapter(int &title, int &chapter) const
{
    int32_t t = 0;
    int32_t part = 0;
    if (dvdnav_current_title_info(nav_, &t, &part) != DVDNAV_STATUS_OK)
        return false;
    title = t;
    chapter = part;
    return true;
}

int NavSession::currentButton() const
{
    int32_t button = 0;
    if (dvdnav_get_current_highlight(nav_, &button) != DVDNAV_STATUS_OK)
        return 0;
    return button;
}

std::vector<AudioStreamInfo> NavSession::audioStreams() const
{
    std::vector<AudioStreamInfo> streams;
    if (domain() != DvdDomain::kTitle)
        return streams;
    for (uint8_t i = 0; i < 8; ++i) {
        if (dvdnav_get_audio_logical_stream(nav_, i) < 0)
            continue;
        audio_attr_t attr{};
        if (dvdnav_get_audio_attr(nav_, i, &attr) != DVDNAV_STATUS_OK)
            continue;
        streams.push_back(audioStreamInfo(i, attr));
    }
    return streams;
}

std::vector<SubpictureStreamInfo> NavSession::subpictureStreams() const
{
    std::vector<SubpictureStreamInfo> streams;
    if (domain() != DvdDomain::kTitle)
        return streams;
    for (uint8_t i = 0; i < 32; ++i) {
        if (dvdnav_get_spu_logical_stream(nav_, i) < 0)
            continue;
        SubpictureStreamInfo info;
        info.stream = i;
        const uint16_t code = dvdnav_spu_stream_to_lang(nav_, i);
        info.lang = code == 0xFFFF ? QString() : LanguageNames::codeFromPacked(code);
        info.language = LanguageNames::nameForCode(info.lang);
        streams.push_back(info);
    }
    return streams;
}

// The audio register keeps a choice made in another title set, where it may
// name a stream this title lacks; the VM then plays its first stream. Streams
// of different codings can share a physical number: the preferred logical
// stream wins when it is one of them.
int NavSession::logicalAudioFor(int physical, int preferred) const
{
    if (domain() != DvdDomain::kTitle)
        return -1;
    if (preferred >= 0 && preferred < 8 &&
        dvdnav_get_audio_logical_stream(nav_, uint8_t(preferred)) == physical)
        return preferred;
    for (uint8_t i = 0; i < 8; ++i) {
        if (dvdnav_get_audio_logical_stream(nav_, i) == physical)
            return i;
    }
    return -1;
}

int NavSession::logicalSubpictureFor(int physical) const
{
    for (uint8_t i = 0; i < 32; ++i) {
        if (dvdnav_get_spu_logical_stream(nav_, i) == physical)
            return i;
    }
    return -1;
}

namespace
{
std::optional<AudioCoding> codingOfFormat(int formatCode)
{
    switch (formatCode) {
    case 0:
        return AudioCoding::Ac3;
    case 2:
    case 3:
        return AudioCoding::Mpeg;
    case 4:
        return AudioCoding::Lpcm;
    case 6:
        return AudioCoding::Dts;
    default:
        return std::nullopt;
    }
}
} // namespace

// Streams are numbered apart per coding (an AC-3 and an MPEG stream may both
// be physical 0), so the coding comes from the attributes, never the index.
std::optional<AudioSelection> NavSession::audioSelection(int logical, int physical) const
{
    const bool title = domain() == DvdDomain::kTitle;
    const auto stream = uint8_t(title ? std::clamp(logical, 0, 7) : 0);
    if (physical < 0)
        physical = dvdnav_get_audio_logical_stream(nav_, stream);
    audio_attr_t attr{};
    if (physical < 0 || dvdnav_get_audio_attr(nav_, stream, &attr) != DVDNAV_STATUS_OK)
        return std::nullopt;
    const std::optional<AudioCoding> coding = codingOfFormat(attr.audio_format);
    if (!coding)
        return std::nullopt;
    return AudioSelection{*coding, physical & 0x07};
}

void NavSession::angles(int &current, int &count) const
{
    int32_t now = 1;
    int32_t total = 1;
    if (dvdnav_get_angle_info(nav_, &now, &total) != DVDNAV_STATUS_OK) {
        now = 1;
        total = 1;
    }
    current = std::max(1, int(now));
    count = std::max(1, int(total));
}

void NavSession::setStreamRegisters(int audio, int subpicture)
{
    // SetSTN: system-set instruction with immediate values; a field's top bit
    // says whether that register is written.
    vm_cmd_t command{};
    command.bytes[0] = 0x51;
    if (audio >= 0)
        command.bytes[3] = uint8_t(0x80 | (audio & 0x07));
    if (subpicture >= 0)
        command.bytes[4] = uint8_t(0x80 | (subpicture & 0x7F));
    const int button = std::max(1, currentButton());
    check(dvdnav_button_activate_cmd(nav_, button, &command), QStringLiteral("stream change"));
}

uint32_t NavSession::prohibitedOperations() const
{
    const user_ops_t ops = dvdnav_get_restrictions(nav_);
    using namespace UserOperation;
    const std::pair<bool, uint32_t> bits[] = {
        {ops.title_or_time_play, kTitleOrTimePlay},
        {ops.chapter_search_or_play, kChapterSearchOrPlay},
        {ops.title_play, kTitlePlay},
        {ops.stop, kStop},
        {ops.go_up, kGoUp},
        {ops.time_or_chapter_search, kTimeOrChapterSearch},
        {ops.prev_or_top_pg_search, kPrevOrTopProgramSearch},
        {ops.next_pg_search, kNextProgramSearch},
        {ops.forward_scan, kForwardScan},
        {ops.backward_scan, kBackwardScan},
        {ops.title_menu_call, kTitleMenuCall},
        {ops.root_menu_call, kRootMenuCall},
        {ops.subpic_menu_call, kSubpictureMenuCall},
        {ops.audio_menu_call, kAudioMenuCall},
        {ops.angle_menu_call, kAngleMenuCall},
        {ops.chapter_menu_call, kChapterMenuCall},
        {ops.resume, kResume},
        {ops.button_select_or_activate, kButtonSelectOrActivate},
        {ops.still_off, kStillOff},
        {ops.pause_on, kPauseOn},
        {ops.audio_stream_change, kAudioStreamChange},
        {ops.subpic_stream_change, kSubpictureStreamChange},
        {ops.angle_change, kAngleChange},
    };
    uint32_t mask = 0;
    for (const auto &[prohibited, bit] : bits) {
        if (prohibited)
            mask |= bit;
    }
    return mask;
}

bool NavSession::jumpToTime(int64_t time90k)
{
    return time90k >= 0 &&
           dvdnav_jump_to_sector_by_time(nav_, uint64_t(time90k), 0) == DVDNAV_STATUS_OK;
}

namespace UserOperation
{
uint32_t forMenu(int menu)
{
    switch (menu) {
    case DvdMenu::kTitle:
        return kTitleMenuCall;
    case DvdMenu::kRoot:
        return kRootMenuCall;
    case DvdMenu::kSubpicture:
        return kSubpictureMenuCall;
    case DvdMenu::kAudio:
        return kAudioMenuCall;
    case DvdMenu::kAngle:
        return kAngleMenuCall;
    case DvdMenu::kChapter:
        return kChapterMenuCall;
    default:
        return 0;
    }
}
} // namespace UserOperation
