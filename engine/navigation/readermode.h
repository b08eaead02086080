#pragma once

#include <chrono>
#include <optional>

// What the navigation thread does between two turns of its loop: read on, or
// hold for the screen, a still or a scan step. One state at a time; the
// worker carries out what each transition asks of the VM and the snapshot.
class ReaderMode
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kEndlessStill = 255;

    enum class State {
        Reading,       // the next block is read
        DrainForWait,  // a wait: until the screen has shown all that was read
        DrainForStill, // a still met: until its picture is on screen
        Still,         // a still on screen until its time is over; a pause stops its time
        StillLeft,     // a command ran in a still: reads on; met again the still keeps its time
        Stepping,      // a scan from reference picture to reference picture
    };

    // What the worker does on a transition.
    enum class Action {
        None,
        SkipWait,   // the VM's wait is over
        ShowStill,  // the still is on screen: publish it
        SkipStill,  // its time is over: the VM goes on, the still is left
        LeaveStill, // the still is over without the VM's skip
    };

    State state() const { return state_; }
    // Stream changes wait while the screen or a still holds the reader.
    bool holding() const;

    Action metWait();
    // True when the screen must drain first (a new still); a still left by a
    // command and met again goes on with the time it had.
    bool metStill(int seconds);
    Action drained(Clock::time_point now);
    // The reader read on: a still left by a command is over.
    Action progressed();
    Action commandRan();
    Action startStepping();
    void stopStepping();

    // In a still: whether its time is over (then Still -> Reading), and
    // until when to sleep otherwise (nothing: until a command).
    Action tick(Clock::time_point now, bool paused);
    std::optional<Clock::time_point> stillEnds() const;

private:
    Action leaveStillState(State next);

    State state_ = State::Reading;
    int stillSeconds_ = 0;
    Clock::time_point stillEnds_{};
    std::optional<Clock::time_point> pausedAt_;
};
