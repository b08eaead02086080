#include "engine/navigation/navigationcore.h"

#include "base/logging.h"
#include "engine/common/dvderrors.h"

#include <QDebug>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
// libdvdnav events in a row without a single data block before the reader is
// judged to be circling in the disc's commands.
constexpr int kMaxEventsWithoutData = 20000;

bool startCodeAt(const std::vector<uint8_t> &bytes, size_t at, uint8_t code)
{
    return at + 3 < bytes.size() && bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 1 &&
           bytes[at + 3] == code;
}

// Where the first picture of an MPEG video elementary stream ends: at the
// next picture, sequence or group start code after it.
size_t firstPictureEnd(const std::vector<uint8_t> &bytes)
{
    size_t at = 0;
    while (at + 3 < bytes.size() && !startCodeAt(bytes, at, 0x00))
        ++at;
    for (at += 4; at + 3 < bytes.size(); ++at) {
        if (startCodeAt(bytes, at, 0x00) || startCodeAt(bytes, at, 0xB3) ||
            startCodeAt(bytes, at, 0xB8) || startCodeAt(bytes, at, 0xB7))
            return at;
    }
    return bytes.size();
}
} // namespace

NavigationCore::NavigationCore(NavSession &session, MediaSink &sink)
    : session_(session), sink_(sink)
{
}

NavigationCore::Step NavigationCore::readNext()
{
    uint8_t *block = buffer_;
    int32_t event = 0;
    int32_t length = 0;
    if (session_.nextBlock(&block, &event, &length) != DVDNAV_STATUS_OK) {
        // A NAV packet that failed to decode is still held in the cache; a held
        // block keeps the whole cache alive after the session is closed.
        if (block != buffer_)
            dvdnav_free_cache_block(session_.handle(), block);
        return skipUnreadable();
    }
    lastEvent_ = event;
    Step step;
    try {
        if (event == DVDNAV_NAV_PACKET)
            skippedTo_.reset();
        if (event == DVDNAV_BLOCK_OK || event == DVDNAV_NAV_PACKET)
            eventsWithoutData_ = 0;
        else if (++eventsWithoutData_ > kMaxEventsWithoutData)
            throw DvdErrors::endlessCommandLoop();
        switch (event) {
        case DVDNAV_WAIT:
            step.result = Result::Wait;
            break;
        case DVDNAV_STILL_FRAME: {
            dvdnav_still_event_t still{};
            std::memcpy(&still, block, sizeof still);
            step = {Result::Still, still.length};
            break;
        }
        case DVDNAV_STOP:
            step.result = Result::Stop;
            break;
        default:
            step.progressed = event == DVDNAV_BLOCK_OK || event == DVDNAV_NAV_PACKET ||
                              event == DVDNAV_HOP_CHANNEL || event == DVDNAV_CELL_CHANGE ||
                              event == DVDNAV_VTS_CHANGE;
            handle(event, block);
        }
    } catch (...) {
        if (block != buffer_)
            dvdnav_free_cache_block(session_.handle(), block);
        throw;
    }
    if (block != buffer_)
        dvdnav_free_cache_block(session_.handle(), block);
    return step;
}

// A block that cannot be read, or a VOBU that does not begin with its NAV
// packet (a scratch, a damaged image), is stepped over in a title: the
// reader goes on at the next VOBU of the program chain whose NAV packet can
// be read. In menus the read error stands.
NavigationCore::Step NavigationCore::skipUnreadable()
{
    const AppError error = session_.failure(QStringLiteral("reading the disc"));
    const QString reason = session_.error();
    lastEvent_ = -1;
    dvdnav_t *nav = session_.handle();
    int32_t title = 0;
    int32_t chain = 0;
    int32_t program = 0;
    uint32_t position = 0;
    uint32_t length = 0;
    if (position_.domain != DvdDomain::kTitle ||
        dvdnav_current_title_program(nav, &title, &chain, &program) != DVDNAV_STATUS_OK ||
        title < 1 || dvdnav_get_position(nav, &position, &length) != DVDNAV_STATUS_OK)
        throw error;
    if (!readable_)
        readable_ = std::make_unique<ReadableVobus>(session_.path());
    if (skippedTo_)
        position = std::max(position, *skippedTo_);
    Step step;
    step.progressed = true;
    // What was read before the damage still plays, and the timeline closes
    // over the gap.
    steppingOver_ = true;
    const std::optional<uint32_t> next = readable_->nextAfter(position_.titleSet, chain, position);
    if (!next) {
        leaveUnreadableChain(title, chain, error);
        return step;
    }
    if (dvdnav_sector_search(nav, int64_t(*next), SEEK_SET) != DVDNAV_STATUS_OK)
        throw error;
    qCWarning(logEngine) << "navigation: stepped over an unreadable VOBU:" << reason;
    skippedTo_ = *next;
    return step;
}

// Nothing further of the program chain can be read: playback goes on as the
// chain says after its last program.
void NavigationCore::leaveUnreadableChain(int title, int chain, const AppError &error)
{
    dvdnav_t *nav = session_.handle();
    const int programs = readable_->programs(position_.titleSet, chain);
    if (programs < 1 || dvdnav_program_play(nav, title, chain, programs) != DVDNAV_STATUS_OK ||
        dvdnav_next_pg_search(nav) != DVDNAV_STATUS_OK)
        throw error;
    qCWarning(logEngine) << "navigation: the rest of title" << title << "cannot be read";
    unreadableRest_ = position_;
    skippedTo_.reset();
}

void NavigationCore::handle(int event, const uint8_t *data)
{
    switch (event) {
    case DVDNAV_BLOCK_OK:
        onBlock(data);
        break;
    case DVDNAV_NAV_PACKET:
        onNavPacket();
        break;
    case DVDNAV_HOP_CHANNEL:
        // Everything queued belongs to where the VM jumped from; but what was
        // read before an unreadable part stepped over still plays, and the
        // timeline closes over the gap.
        if (!steppingOver_)
            startSegment();
        steppingOver_ = false;
        break;
    case DVDNAV_CELL_CHANGE:
        onCellChange(data);
        break;
    case DVDNAV_VTS_CHANGE:
        onVtsChange(data);
        break;
    case DVDNAV_AUDIO_STREAM_CHANGE:
        onAudioStreamChange(data);
        break;
    case DVDNAV_SPU_STREAM_CHANGE:
        onSubpictureStreamChange(data);
        break;
    case DVDNAV_SPU_CLUT_CHANGE:
        onPalette(data);
        break;
    case DVDNAV_HIGHLIGHT:
        onHighlight();
        break;
    default:
        break;
    }
}

// libdvdnav's time jump may land in the first VOBU of the next cell while
// its VM stays in the cell it chose, which then reads the next cell as its
// own and tells wrong times. Once the VM has taken up the new cell, searching
// the same sector of the program chain again puts it where the VOBU belongs.
bool NavigationCore::seek(int64_t time90k)
{
    dvdnav_t *nav = session_.handle();
    steppingOver_ = false;
    if (!session_.jumpToTime(time90k))
        return false;
    readUntilCell();
    if (const std::optional<uint32_t> block = session_.chainBlock())
        dvdnav_sector_search(nav, *block, SEEK_SET);
    return true;
}

// The events of a jump, up to the cell it lands in: until then libdvdnav
// knows no position in the program chain.
void NavigationCore::readUntilCell()
{
    constexpr int kEventsBeforeCell = 16;
    for (int read = 0; read < kEventsBeforeCell; ++read) {
        readNext();
        if (lastEvent_ == DVDNAV_CELL_CHANGE || lastEvent_ == DVDNAV_NAV_PACKET)
            break;
    }
}

// The VM resumes a title where it was when a menu was called. A VM that has
// run on past the title's end, into another program chain, first goes back
// to the chapter on screen. libdvdnav seeks in no still, and a chapter play
// does not end the still of a menu the VM met after the title; going to the
// top of the chapter does.
bool NavigationCore::returnTo(const PositionTag &shown)
{
    if (shown.domain != DvdDomain::kTitle || shown.title <= 0 || shown.chapter <= 0)
        return false;
    dvdnav_t *nav = session_.handle();
    const bool sameChain = position_.domain == DvdDomain::kTitle &&
                           position_.titleSet == shown.titleSet &&
                           position_.programChain == shown.programChain;
    if (sameChain && dvdnav_sector_search(nav, shown.chainBlock, SEEK_SET) == DVDNAV_STATUS_OK)
        return true;
    if (dvdnav_part_play(nav, shown.title, shown.chapter) != DVDNAV_STATUS_OK ||
        dvdnav_top_pg_search(nav) != DVDNAV_STATUS_OK)
        return false;
    readUntilCell();
    return dvdnav_sector_search(nav, shown.chainBlock, SEEK_SET) == DVDNAV_STATUS_OK;
}

void NavigationCore::startSegment()
{
    firstPicture90k_ = -1;
    soundHeldBack_ = true;
    navPacketsInSegment_ = 0;
    offset_ = 0;
    previousVobuEnd_ = -1;
    sink_.startSegment();
    sink_.push(format_);
}

void NavigationCore::onBlock(const uint8_t *block)
{
    if (capture_.state == Capture::Reading) {
        captureBlock(block);
        return;
    }
    for (const PsDemuxer::Payload &payload : PsDemuxer::split(block)) {
        if (payload.scrambled)
            throw DvdErrors::encryptedWithoutLibrary(session_.path());
        if (payload.streamId == PsDemuxer::kVideoStream) {
            if (firstPicture90k_ < 0 && payload.pts >= 0)
                firstPicture90k_ = onTimeline(payload.pts);
            sink_.push(
                VideoData{{payload.data, payload.data + payload.size}, onTimeline(payload.pts)});
        } else if (PsDemuxer::isSubpicture(payload) &&
                   int(payload.subId & 0x1F) == subpictureStream_) {
            sink_.push(SubpictureData{{payload.data, payload.data + payload.size},
                                      onTimeline(payload.pts)});
        } else if (isSelectedAudio(payload) && soundWithPictures(payload)) {
            sink_.pushAudio({payload.data, payload.size}, onTimeline(payload.pts),
                            payload.unitStart);
        }
    }
}

bool NavigationCore::isSelectedAudio(const PsDemuxer::Payload &payload) const
{
    if (!audio_ || payload.streamId != audioIds_.first)
        return false;
    return payload.streamId != PsDemuxer::kPrivateStream1 || payload.subId == audioIds_.second;
}

// The sound of a VOBU is often stored ahead of its pictures; after a jump it
// starts with the first picture, so that both start together. A VOBU without
// pictures lets its sound through.
bool NavigationCore::soundWithPictures(const PsDemuxer::Payload &payload)
{
    if (!soundHeldBack_)
        return true;
    if (firstPicture90k_ < 0) {
        soundHeldBack_ = navPacketsInSegment_ < 2;
        return !soundHeldBack_;
    }
    if (payload.pts >= 0 && onTimeline(payload.pts) >= firstPicture90k_)
        soundHeldBack_ = false;
    return !soundHeldBack_;
}

void NavigationCore::onNavPacket()
{
    ++navPacketsInSegment_;
    // A reference picture cannot reach past its VOBU, whatever the DSI says.
    if (capture_.state == Capture::Reading && capture_.started)
        finishCapture();
    const pci_t *pci = dvdnav_get_current_nav_pci(session_.handle());
    if (!pci)
        return;
    const int64_t start = pci->pci_gi.vobu_s_ptm;
    // A VOBU that does not continue where the last one ended (a seamless
    // branch, a menu that loops) is moved onto the running timeline.
    if (previousVobuEnd_ >= 0 && start + offset_ != previousVobuEnd_)
        offset_ = previousVobuEnd_ - start;
    auto marker = std::make_shared<NavMarker>();
    marker->pci = *pci;
    marker->vobuStart = start + offset_;
    marker->vobuEnd = int64_t(pci->pci_gi.vobu_e_ptm) + offset_;
    previousVobuEnd_ = marker->vobuEnd;
    position_.titleTime90k = dvdnav_get_current_time(session_.handle());
    position_.chainBlock = session_.chainBlock().value_or(0);
    position_.prohibited = session_.prohibitedOperations();
    marker->position = position_;
    sink_.push(std::shared_ptr<const NavMarker>(std::move(marker)));
    if (capture_.state == Capture::Reading && !capture_.started)
        startCapture();
}

void NavigationCore::captureReferencePicture()
{
    capture_ = ReferenceCapture{};
    capture_.state = Capture::Reading;
}

void NavigationCore::startCapture()
{
    capture_.started = true;
    const dsi_t *dsi = dvdnav_get_current_nav_dsi(session_.handle());
    capture_.blocksLeft = dsi ? int(dsi->dsi_gi.vobu_1stref_ea) : 0;
    if (capture_.blocksLeft <= 0 || position_.titleTime90k == lastCapturedTime90k_)
        capture_.state = Capture::Skipped;
}

void NavigationCore::captureBlock(const uint8_t *block)
{
    if (!capture_.started)
        return;
    for (const PsDemuxer::Payload &payload : PsDemuxer::split(block)) {
        if (payload.scrambled)
            throw DvdErrors::encryptedWithoutLibrary(session_.path());
        if (payload.streamId != PsDemuxer::kVideoStream)
            continue;
        if (capture_.pts < 0)
            capture_.pts = payload.pts;
        capture_.bytes.insert(capture_.bytes.end(), payload.data, payload.data + payload.size);
    }
    if (--capture_.blocksLeft <= 0)
        finishCapture();
}

void NavigationCore::finishCapture()
{
    std::vector<uint8_t> &bytes = capture_.bytes;
    bytes.resize(firstPictureEnd(bytes));
    bytes.insert(bytes.end(), {0x00, 0x00, 0x01, 0xB7});
    sink_.push(VideoData{std::move(bytes), onTimeline(capture_.pts)});
    lastCapturedTime90k_ = position_.titleTime90k;
    capture_ = ReferenceCapture{};
    capture_.state = Capture::Done;
}

void NavigationCore::onCellChange(const uint8_t *data)
{
    dvdnav_cell_change_event_t cell{};
    std::memcpy(&cell, data, sizeof cell);
    position_.domain = session_.domain();
    position_.programChainLength90k = cell.pgc_length;
    position_.programChain = session_.programChain();
    int title = 0;
    int chapter = 0;
    if (position_.domain != DvdDomain::kTitle) {
        position_.title = 0;
        position_.chapter = 0;
    } else if (session_.titleAndChapter(title, chapter)) {
        position_.title = title;
        position_.chapter = chapter;
    }
    if (state_.domain != position_.domain) {
        state_.domain = position_.domain;
        ++state_.revision;
    }
    refreshStreams();
}

void NavigationCore::onVtsChange(const uint8_t *data)
{
    dvdnav_vts_change_event_t change{};
    std::memcpy(&change, data, sizeof change);
    // The title set stays loaded when the VM goes back to the video manager,
    // and its menus stay reachable from there.
    if (change.new_vtsN > 0)
        position_.titleSet = change.new_vtsN;
    uint32_t width = 0;
    uint32_t height = 0;
    dvdnav_get_video_resolution(session_.handle(), &width, &height);
    format_.wide = dvdnav_get_video_aspect(session_.handle()) == 3;
    format_.planeHeight = (height == 480 || height == 240) ? 480 : 576;
    format_.framesPerSecond = format_.planeHeight == 480 ? 30 : 25;
    sink_.push(format_);
    refreshStreams();
}

void NavigationCore::refreshStreams()
{
    state_.audio = session_.audioStreams();
    state_.subpictures = session_.subpictureStreams();
    // A stream chosen in another title set that this one lacks is not what
    // plays: the VM falls back to the first stream.
    const bool chosenExists =
        std::any_of(state_.audio.begin(), state_.audio.end(), [&](const AudioStreamInfo &info) {
            return info.stream == state_.currentAudio;
        });
    if (!chosenExists && !state_.audio.empty())
        state_.currentAudio = state_.audio.front().stream;
    session_.angles(state_.currentAngle, state_.angles);
    ++state_.revision;
}

void NavigationCore::noteStreamRegisters(int audio, int subpicture)
{
    if (audio >= 0)
        state_.currentAudio = audio;
    if (subpicture >= 0) {
        state_.currentSubpicture = subpicture & 0x1F;
        state_.subpictureOn = (subpicture & 0x40) != 0;
    }
    ++state_.revision;
}

void NavigationCore::onAudioStreamChange(const uint8_t *data)
{
    dvdnav_audio_stream_change_event_t change{};
    std::memcpy(&change, data, sizeof change);
    // The event's logical number is the register, which may name a stream
    // this title lacks (15: unset): the stream heard is the physical one.
    int logical =
        change.physical >= 0 ? session_.logicalAudioFor(change.physical, change.logical) : -1;
    if (logical < 0)
        logical = change.logical;
    if (logical < 0 || logical >= 8)
        logical = state_.audio.empty() ? 0 : state_.audio.front().stream;
    state_.currentAudio = logical;
    ++state_.revision;
    const std::optional<AudioSelection> selection =
        session_.audioSelection(logical, change.physical);
    if (selection != audio_) {
        audio_ = selection;
        if (audio_)
            audioIds_ = audioStreamIds(audio_->coding, audio_->physical);
        sink_.selectAudio(audio_);
    }
}

void NavigationCore::onSubpictureStreamChange(const uint8_t *data)
{
    dvdnav_spu_stream_change_event_t change{};
    std::memcpy(&change, data, sizeof change);
    // The subpicture is blended before the picture is unsqueezed, so a 16:9
    // title takes its "wide" stream.
    const int physical = format_.wide ? change.physical_wide : change.physical_letterbox;
    if (physical < 0) {
        subpictureStream_ = -1;
        state_.subpictureOn = false;
    } else {
        subpictureStream_ = physical & 0x1F;
        state_.subpictureOn = (physical & 0x80) == 0;
        const int logical = session_.logicalSubpictureFor(subpictureStream_);
        if (logical >= 0)
            state_.currentSubpicture = logical;
    }
    sink_.push(SubpictureMode{subpictureStream_, state_.subpictureOn});
    ++state_.revision;
}

void NavigationCore::onPalette(const uint8_t *data)
{
    PaletteChange palette;
    std::memcpy(palette.clut.data(), data, sizeof(uint32_t) * 16);
    sink_.push(palette);
}

void NavigationCore::onHighlight()
{
    state_.button = session_.currentButton();
    ++state_.revision;
}
