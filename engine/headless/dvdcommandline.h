#pragma once

#include <QStringList>

#include <optional>

// The headless command-line modes, for scripts and checks. Both open no
// window, print errors to stderr and return the process exit status.
//
//   vidora --dvd-info SOURCE
//       prints the disc's titles, chapters, lengths, angles and streams as JSON
//   vidora --dvd-snapshot SOURCE --title T --at SECONDS [--subtitle N] --out FILE.png
//       writes the picture shown at that point of the title
namespace DvdCommandLine
{

// The arguments after the mode's own option.
int runDvdInfo(const QStringList &arguments);
int runDvdSnapshot(const QStringList &arguments);

// Runs a mode when the program's arguments ask for one; nothing otherwise.
std::optional<int> run(int argc, char **argv);

} // namespace DvdCommandLine
