#pragma once

#include <QString>

namespace DatabasePath
{

enum class CreateFolder { No, Yes };

// The database directory from the settings, always with its trailing "/".
// On the first run ("Path" is "0") it becomes the program directory +
// "/DVDdb/", is saved, and (when asked) the folder is created; a failure to
// create it is ignored.
QString initialise(CreateFolder create);

// The default folder: the program directory followed by "/DVDdb/".
QString defaultDirectory();

// A typed folder with the trailing "/" the database relies on.
QString withTrailingSeparator(const QString &directory);

} // namespace DatabasePath
