#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Ends the program in order, whichever way it ends: the windows go first,
// then the DVD control, while the application object still exists. Lives
// in main() between the application object and everything else.
//
// SIGTERM, SIGINT and SIGHUP (the end of a desktop session, a terminal
// closed) call close, which ends the program the way the menu's Close does;
// a second such signal ends it at once. An exit() from inside the event loop
// (the windowing system's answer to a display that went away) ends the
// process at once, without running destructors under the control's threads.
class ProgramEnd : public QObject
{
    Q_OBJECT
public:
    explicit ProgramEnd(std::function<void()> close);
    ~ProgramEnd() override;
    ProgramEnd(const ProgramEnd &) = delete;
    ProgramEnd &operator=(const ProgramEnd &) = delete;

    // Unloads every window and releases the DVD control; once is enough.
    static void tearDown();

private:
    void signalReceived();

    std::function<void()> close_;
    QSocketNotifier *notifier_ = nullptr;
};
