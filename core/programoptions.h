#pragma once

#include <QStringList>
#include <QtGlobal>

#include <optional>

// The options a user types at a terminal, answered before any window exists:
// --help and --version print and succeed, an unknown option gets the usage
// and status 2, and a start that cannot reach a display says so and gets
// status 1 instead of aborting inside the window system.
namespace ProgramOptions
{

constexpr int kNoDisplay = 1;
constexpr int kUsage = 2;

// The usage text printed by --help and after an unknown option.
QString usage();

// What the arguments (without the program name) ask before the window
// system starts: an exit status when the program ends here, nothing when it
// goes on to open its windows.
std::optional<int> answer(const QStringList &arguments);

// Whether a display is named for the platform Qt will choose; when not,
// `problem` says why.
bool displayAvailable(QString &problem);

// While the application object is made: a display that cannot be reached
// after all (a stale DISPLAY, a server gone) ends the program with a
// message and kNoDisplay instead of Qt's abort. Any other fatal message
// keeps its usual course.
class DisplayGuard
{
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;
};

} // namespace ProgramOptions
