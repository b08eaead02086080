#include "settings/databasepath.h"

#include "base/errors.h"
#include "platform/appdirs.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QDir>

namespace DatabasePath
{

using namespace SettingsKeys;

QString defaultDirectory()
{
    return AppDirs::programDirectory() + QStringLiteral("/DVDdb/");
}

QString withTrailingSeparator(const QString &directory)
{
    if (directory.endsWith('/'))
        return directory;
    return directory + '/';
}

QString initialise(CreateFolder create)
{
    const QString stored = SettingsStore::Read(kDatabase, kDatabaseSection, kDatabasePath, "0");
    // A path edited by hand without its "/" would have the database's files
    // named beside the folder instead of inside it.
    if (stored != QLatin1String("0"))
        return withTrailingSeparator(stored);
    const QString directory = defaultDirectory();
    IgnoreErrors steps;
    steps.step(
        [&] { SettingsStore::Write(kDatabase, kDatabaseSection, kDatabasePath, directory); });
    if (create == CreateFolder::Yes)
        QDir().mkpath(directory);
    return directory;
}

} // namespace DatabasePath
