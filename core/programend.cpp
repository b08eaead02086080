#include "core/programend.h"

#include "core/forms.h"
#include "engine/control/dvdcontrolinstance.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace
{
constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler and an exit handler can reach nothing but these: the
// socket that wakes the event loop, and whether an orderly end is still owed
// when the process exits.
int &signalSocket()
{
    static int socket = -1;
    return socket;
}
bool &endOwed()
{
    static bool owed = false;
    return owed;
}

// The first signal of each kind is turned into a wake-up; the handler goes
// with it (SA_RESETHAND), so that a second one ends a program that hangs.
void onEndingSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalSocket(), &byte, 1);
    errno = saved;
}

void installHandlers(void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    for (const int number : kEndingSignals)
        sigaction(number, &action, nullptr);
}

// An exit() while the program runs comes from the windowing system, whose
// display went away. By now the thread-local data every Qt object needs is
// gone, so neither the windows nor the control can be taken down; the
// process ends at once, before static destructors run under the control's
// threads.
void endAtForeignExit(int status, void * /*unused*/)
{
    if (!endOwed())
        return;
    std::fflush(nullptr);
    ::_exit(status);
}
} // namespace

ProgramEnd::ProgramEnd(std::function<void()> close) : close_(std::move(close))
{
    std::array<int, 2> sockets{};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets.data()) == 0) {
        signalSocket() = sockets[0];
        notifier_ = new QSocketNotifier(sockets[1], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &ProgramEnd::signalReceived);
        installHandlers(&onEndingSignal, SA_RESTART | SA_RESETHAND);
    }
    static const bool registered = ::on_exit(&endAtForeignExit, nullptr) == 0;
    Q_UNUSED(registered);
    endOwed() = true;
}

ProgramEnd::~ProgramEnd()
{
    tearDown();
    if (notifier_) {
        installHandlers(SIG_DFL, 0);
        const int readEnd = int(notifier_->socket());
        delete notifier_;
        ::close(readEnd);
        ::close(std::exchange(signalSocket(), -1));
    }
}

void ProgramEnd::tearDown()
{
    endOwed() = false;
    Forms::unloadAll();
    releaseDvdControl();
}

void ProgramEnd::signalReceived()
{
    char byte = 0;
    while (::read(int(notifier_->socket()), &byte, 1) == 1) {
    }
    // Inside a dialog's own loop the windows cannot go yet: every loop is
    // left, and the destructor ends the rest once the stack has unwound.
    if (QThread::currentThread()->loopLevel() > 1 || !close_) {
        QCoreApplication::exit(0);
        return;
    }
    close_();
}
