#pragma once

#include <QString>
#include <QStringList>

// The program's command line as the start-up reads it: the first argument
// wrapped in double quotes (empty without an argument), and what it asks for.
// Paths keep the user's bytes (see LocalPath): blanks at either end, and
// bytes that are no valid UTF-8, name exactly the file given.
namespace CommandLine
{

enum class Action {
    None,       // nothing to do
    LoadScheme, // open a colour scheme file ("...cfx", lower case only)
    Play,       // play a folder ending in "/" or holding VIDEO_TS, an ISO image or a drive
};

struct Request {
    Action action = Action::None;
    QString path; // the scheme file, or the source handed to the DVD control
};

// The first program argument after the program name, quoted.
QString FromArguments(const QStringList &arguments);

// The command line of this program run, from its arguments as bytes.
QString Current();

// What the quoted command line asks for. A play source is made absolute; a
// folder keeps its trailing "/".
Request Classify(const QString &commandLine);

} // namespace CommandLine
