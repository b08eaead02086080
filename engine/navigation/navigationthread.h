#pragma once

#include "engine/navigation/navigationparts.h"

#include <chrono>
#include <memory>
#include <thread>

class NavigationWorker;

// The navigation thread: the only thread that calls libdvdnav. It runs the
// block loop, honours waits and stills against what the screen shows, runs
// the commands the GUI posted, and publishes the VM's stream state.
class NavigationThread
{
public:
    using Parts = NavigationParts;

    explicit NavigationThread(Parts parts);
    ~NavigationThread();

    void start();
    // Asks the thread to end and waits for it at most `patience`; a thread
    // still busy then (a read stuck on the drive) is abandoned. False when
    // it was.
    bool stop(std::chrono::milliseconds patience);
    // How long a teardown waits for the thread: long enough for any read
    // of a drive in order, short enough not to be felt.
    static constexpr std::chrono::milliseconds kTeardownPatience{300};
    // Gives up on a thread caught in an endless loop inside libdvdnav: it is
    // left running at idle priority, owning nothing anybody else uses.
    void abandon();

private:
    std::shared_ptr<NavigationWorker> worker_;
    std::thread thread_;
};
