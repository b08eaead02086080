#pragma once

#include <QString>

namespace AppDirs
{
// The program's own writable folder (per user, under XDG_DATA_HOME), created
// on first use. It stands where other systems keep files beside the program.
QString programDirectory();
} // namespace AppDirs
