#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <variant>
#include <vector>

// Commands the GUI posts to the navigation thread after checking them
// against the published snapshot. They run between two block reads.
enum class ButtonDirection { Up, Down, Left, Right };

struct MenuCall {
    int menu = 0; // DvdMenu ids; 0 returns from a menu into the title (Resume)
};
struct ButtonMove {
    ButtonDirection direction = ButtonDirection::Down;
};
struct ButtonActivate {
};
// A pointer on the picture, in picture pixels: hover selects, click activates.
struct PointerButton {
    int x = 0;
    int y = 0;
    bool activate = false;
};
// The DVD's own stream registers (SPRM1 audio, SPRM2 subpicture with its
// display flag 0x40); -1 leaves a register alone. `choice` is the control's
// count of a user's choice, for the snapshot (0: not one).
struct StreamRegisters {
    int audio = -1;
    int subpicture = -1;
    uint64_t choice = 0;
};
struct AngleChange {
    int angle = 1;
    uint64_t choice = 0;
};
struct ChapterPlay {
    int title = 1;
    int chapter = 1;
};

// Scanning: times normal speed, negative backwards; 0 plays on at 1x from
// the picture on screen.
struct ScanChange {
    int speed = 0;
    uint64_t request = 0; // the control's count, for the scan's end in the snapshot
};

// A bookmark to go back to: the chapter, the time in its program chain, and
// the angle and stream registers (audio -1 or subpicture -1: left alone).
struct BookmarkJump {
    int title = 1;
    int chapter = 1;
    int64_t time90k = 0;
    int angle = 1;
    int audio = -1;
    int subpicture = -1; // with the display flag 0x40
};
// The VM's region mask (SPRM20): bit r-1 for region r.
struct RegionMask {
    int mask = 1;
};

using NavCommand =
    std::variant<MenuCall, ButtonMove, ButtonActivate, PointerButton, StreamRegisters, AngleChange,
                 ChapterPlay, ScanChange, BookmarkJump, RegionMask>;

// The command queue doubles as the navigation thread's wake-up: anything the
// thread may be waiting for (a command, queue space, a presented drain, the
// end of a still, stopping) wakes it here.
class CommandQueue
{
public:
    void post(NavCommand command);
    std::vector<NavCommand> takeAll();

    // Returns at the deadline, on a command, on wake() or on stop().
    void waitUntil(std::chrono::steady_clock::time_point deadline);
    void wake();
    void stop();
    bool stopping() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<NavCommand> commands_;
    bool woken_ = false;
    bool stopping_ = false;
};
