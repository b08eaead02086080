#pragma once

#include "core/dvdcontrol/navigationcore.h"
#include "core/dvdcontrol/navigationthread.h"

#include <chrono>
#include <optional>

// The navigation thread's work, kept apart from its handle so that an
// abandoned thread still owns everything it touches.
class NavigationWorker
{
public:
    explicit NavigationWorker(NavigationThread::Parts parts);
    void run();
    void requestStop();

private:
    using Clock = std::chrono::steady_clock;
    enum class Hold { None, DrainForWait, DrainForStill, Still };

    void loop(NavSession &session, NavigationCore &core);
    bool holding(NavSession &session);
    void read(NavigationCore &core);
    void requestDrain(Hold hold);
    void leaveStill();
    void runCommands(NavSession &session, NavigationCore &core);
    void execute(NavSession &session, NavigationCore &core, const NavCommand &command);
    void callMenu(NavSession &session, int menu);
    void moveButton(NavSession &session, ButtonDirection direction);
    void activateButton(NavSession &session);
    void pointAt(NavSession &session, const PointerButton &pointer);
    void publish(const ReaderState &state);
    void fail(int number, const QString &description);
    pci_t onScreenButtons() const;

    NavigationThread::Parts parts_;
    AudioFeed audio_;
    Hold hold_ = Hold::None;
    uint64_t drainId_ = 0;
    int stillSeconds_ = 0;
    bool stillActive_ = false;
    Clock::time_point stillEnds_{};
    uint64_t publishedRevision_ = 0;
    std::vector<StreamRegisters> deferred_;
};
