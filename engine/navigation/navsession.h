#pragma once

#include "base/errors.h"
#include "engine/navigation/audiofeed.h"
#include "engine/source/discinfo.h"
#include "engine/source/librarylog.h"

#include <QString>

#include <dvdnav/dvdnav.h>

#include <functional>
#include <memory>
#include <vector>

// Exported by libdvdnav but not declared in its header.
extern "C" dvdnav_status_t dvdnav_jump_to_sector_by_time(dvdnav_t *self, uint64_t time_in_pts_ticks,
                                                         int32_t mode);

// Where the navigation thread takes its next block from libdvdnav: the
// library itself, or in tests a double that stalls like a scratched disc in
// a slow drive.
class BlockReader
{
public:
    virtual ~BlockReader() = default;
    virtual dvdnav_status_t next(dvdnav_t *nav, uint8_t **block, int32_t *event,
                                 int32_t *length) = 0;
};
using BlockReaderFactory = std::function<std::shared_ptr<BlockReader>()>;

// One open libdvdnav handle and the questions asked of its VM. Only the
// thread that owns the session may call it: libdvdnav is not thread-safe.
class NavSession
{
public:
    // Opens path; blocks come through reader when there is one. Throws AppError.
    explicit NavSession(const QString &path, std::shared_ptr<BlockReader> reader = {});
    ~NavSession();
    NavSession(const NavSession &) = delete;
    NavSession &operator=(const NavSession &) = delete;

    dvdnav_t *handle() const { return nav_; }
    // dvdnav_get_next_cache_block, through the reader.
    dvdnav_status_t nextBlock(uint8_t **block, int32_t *event, int32_t *length);
    const QString &path() const { return path_; }
    // The library's reason for the last failure.
    QString error() const;
    // Throws unreadableSource with the library's reason unless ok.
    void check(dvdnav_status_t status, const QString &what) const;
    // The error check() throws, for the library's last failure in `what`.
    AppError failure(const QString &what) const;

    // DvdDomain value of the VM; FirstPlay before the VM has started.
    int domain() const;
    // Title and chapter, when the VM can tell (not in the first menu).
    bool titleAndChapter(int &title, int &chapter) const;
    // The VM's program chain number in its domain; 0 when it cannot tell.
    int programChain() const;
    // The block read last, counted from the start of its program chain;
    // nothing while a jump has not been read yet.
    std::optional<uint32_t> chainBlock() const;
    int currentButton() const;

    // Streams of the program chain now playing (title domain only): the
    // logical numbers that are available, with their attributes.
    std::vector<AudioStreamInfo> audioStreams() const;
    std::vector<SubpictureStreamInfo> subpictureStreams() const;
    int logicalSubpictureFor(int physical) const;
    int logicalAudioFor(int physical, int preferred) const;
    // The stream to hear for a logical audio stream: its coding from the IFO
    // attributes, its physical number from the program chain (or the VM's
    // own choice when given). Nothing when the coding is not one we play.
    std::optional<AudioSelection> audioSelection(int logical, int physical) const;
    void angles(int &current, int &count) const;

    // Sets SPRM1/SPRM2 (audio, subpicture + display flag) the way a disc's own
    // SetSTN command does, so the VM knows the choice; -1 leaves one alone.
    void setStreamRegisters(int audio, int subpicture);

    uint32_t prohibitedOperations() const;

    // Moves the reader to the VOBU at a time of the program chain, by the
    // VOBU address map; false when the time lies outside it.
    bool jumpToTime(int64_t time90k);

private:
    dvdnav_t *nav_ = nullptr;
    QString path_;
    std::unique_ptr<LibraryLog> log_;
    std::shared_ptr<BlockReader> reader_;
};

// The disc's prohibited user operations (user_ops_t) as one 32-bit mask: bit n forbids operation n.
namespace UserOperation
{
constexpr uint32_t kTitleOrTimePlay = 1u << 0;
constexpr uint32_t kChapterSearchOrPlay = 1u << 1;
constexpr uint32_t kTitlePlay = 1u << 2;
constexpr uint32_t kStop = 1u << 3;
constexpr uint32_t kGoUp = 1u << 4;
constexpr uint32_t kTimeOrChapterSearch = 1u << 5;
constexpr uint32_t kPrevOrTopProgramSearch = 1u << 6;
constexpr uint32_t kNextProgramSearch = 1u << 7;
constexpr uint32_t kForwardScan = 1u << 8;
constexpr uint32_t kBackwardScan = 1u << 9;
constexpr uint32_t kTitleMenuCall = 1u << 10;
constexpr uint32_t kRootMenuCall = 1u << 11;
constexpr uint32_t kSubpictureMenuCall = 1u << 12;
constexpr uint32_t kAudioMenuCall = 1u << 13;
constexpr uint32_t kAngleMenuCall = 1u << 14;
constexpr uint32_t kChapterMenuCall = 1u << 15;
constexpr uint32_t kResume = 1u << 16;
constexpr uint32_t kButtonSelectOrActivate = 1u << 17;
constexpr uint32_t kStillOff = 1u << 18;
constexpr uint32_t kPauseOn = 1u << 19;
constexpr uint32_t kAudioStreamChange = 1u << 20;
constexpr uint32_t kSubpictureStreamChange = 1u << 21;
constexpr uint32_t kAngleChange = 1u << 22;

// The prohibition bit of ShowMenu(menu).
uint32_t forMenu(int menu);
} // namespace UserOperation
