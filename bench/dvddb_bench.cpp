// The cost of recognising a disc among its records: the notification handler
// lists the database folder and compares every record's name on every
// notification (several a second), and the browser's list rebuild reads the
// title of every record. Measured with 100, 1,000 and 10,000 record files in
// a temporary folder, on a scripted control so that only the database counts;
// and the export of the 10,000 records as CSV and as a web page.
//
// usage: dvddb_bench [ITERATIONS]

#include "core/dvd.h"
#include "core/dvdnotify.h"
#include "core/forms.h"
#include "core/playerstate.h"
#include "dvddb/collectionexport.h"
#include "dvddb/frmdvddb.h"
#include "dvddb/recordstore.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/scripteddvdcontrol.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

struct Timing {
    double median = 0;
    double worst = 0;
};

Timing measure(int iterations, const std::function<void()> &action)
{
    action(); // the first call pays for caches warming up
    std::vector<double> milliseconds;
    for (int i = 0; i < iterations; ++i) {
        QElapsedTimer clock;
        clock.start();
        action();
        milliseconds.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    return {milliseconds[milliseconds.size() / 2], milliseconds.back()};
}

// count records with made-up identifiers, the disc's own among them.
void fillDatabase(const QString &directory, int count, const QString &discId)
{
    for (int i = 0; i < count; ++i) {
        const QString id =
            i == count / 2 ? discId : QStringLiteral("%1").arg(i, 32, 16, QChar('0'));
        RecordStore::writeRecord(directory, id,
                                 {QStringLiteral("Title %1").arg(i), "Director", "Company", "2001",
                                  "Actors", "Comments", "English, ", "English, French, "},
                                 RecordStore::kNoPicture);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const int iterations = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    ScriptedDvdControl *control = ScriptedDvdControl::install();
    control->domain = DvdDomain::kTitle;
    DVD *window = form<DVD>();
    form<frmNMain>(); // its load sets the database folder from the settings
    const int32_t timeCode = TimeCode{0, 1, 2, 0}.pack();

    for (const int count : {100, 1000, 10000}) {
        QTemporaryDir database;
        const QString directory = database.path() + '/';
        fillDatabase(directory, count, control->discId);
        // Stored as the user's choice too: the settings window, loaded when a
        // disc is first recognised, takes the folder from the settings.
        SettingsStore::Write(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection,
                             SettingsKeys::kDatabasePath, directory);
        playerState().databaseFolder = directory;
        const Timing notify = measure(iterations, [&] { DvdNotify::handle(*window, timeCode); });
        // The handler must have found the disc's record, or nothing was measured.
        const bool found =
            form<frmNMain>()->lblDVDtit->text() == QStringLiteral("Title %1").arg(count / 2);
        std::printf("dvddb: notification with %5d records: %7.2f ms median, %7.2f ms worst%s\n",
                    count, notify.median, notify.worst, found ? "" : " (THE DISC WAS NOT FOUND)");
        if (!found)
            return 1;
        if (count == 10000) {
            frmDVDdb *browser = form<frmDVDdb>();
            browser->Timer1->stop();
            const Timing list = measure(std::max(3, iterations / 10), [&] { browser->MakeList(); });
            std::printf("dvddb: MakeList with %5d records: %7.2f ms median, %7.2f ms worst "
                        "(%d entries)\n",
                        count, list.median, list.worst, int(browser->List2.size()));
            for (const char *name : {"collection.csv", "collection.html"}) {
                const QString target = home.filePath(QString::fromLatin1(name));
                const Timing exported = measure(std::max(3, iterations / 10), [&] {
                    CollectionExport::exportCollection(directory, target);
                });
                std::printf("dvddb: export to %-15s with %5d records: %7.2f ms median, %7.2f ms "
                            "worst (%lld bytes)\n",
                            name, count, exported.median, exported.worst,
                            static_cast<long long>(QFileInfo(target).size()));
            }
        }
    }
    Forms::unloadAll();
    releaseDvdControl();
    return 0;
}
