#pragma once

class QString;
class QWidget;

// Chooses the X11 platform where an X display exists, unless the user chose
// a platform: placing windows, shaping the control bar and staying on top
// need it. Call before the application object exists.
void PreferX11Platform();

// The program's start: loads the control bar, places it three quarters down
// the screen, centred, and shows it (see ExitWhenShownIfAsked).
void Main();

// For the start-up benchmark: once the bar has painted for the first time,
// prints "shown" on standard output and ends the program. Only when the
// environment variable VIDORA_EXIT_WHEN_SHOWN is set.
void ExitWhenShownIfAsked(QWidget *bar);

// The program's steps once the control bar has loaded.
namespace Startup
{

// A first start stores the default database folder and creates it; later
// starts use the stored path unchanged.
void setupDatabaseDirectory();

// The database folder, no disc's database window shown yet, then the
// quoted command line: a scheme file opens the settings window on its
// colours, a disc source plays. A start that played from the command line
// does not play a second time for the play-at-start option.
void runFirstSteps(const QString &commandLine);

// The quoted command line acted on; true when it played a disc.
bool actOnCommandLine(const QString &commandLine);

// The argument of a later start of the program, handed over to this one: it
// plays or opens as the command line does at start-up, and the bar comes
// forward. The play-at-start option belongs to the program's own start.
void HandOver(const QString &argument);

} // namespace Startup
