#include "core/dvdnotify.h"

#include "base/errors.h"
#include "core/continuewatching.h"
#include "core/dvd.h"
#include "core/forms.h"
#include "core/playerstate.h"
#include "dvddb/discalias.h"
#include "dvddb/frmadddvd.h"
#include "dvddb/frmdvddb.h"
#include "dvddb/recordfile.h"
#include "dvddb/recordstore.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/frmsettings.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "surfaces/frmnmain.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace DvdNotify
{

namespace
{

bool databaseOption(const char *key)
{
    const QString value =
        SettingsStore::Read(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection, key, 0);
    return value != QLatin1String("0");
}

void refreshDisplay(int32_t timeCode)
{
    IgnoreErrors steps;
    frmNMain *bar = form<frmNMain>();
    DvdControl *control = dvdControl();
    steps.step([&] {
        bar->lblTime->setText(control->TimeCodeToText(timeCode) + QStringLiteral(" / ") +
                              control->TotalTitleTime());
    });
    steps.step([&] {
        bar->lblLan->setText(QStringLiteral("Language: ") +
                             control->AudioLanguage(control->CurrentAudioStream()));
    });
    steps.step([&] {
        bar->lblChap->setText(QStringLiteral("Chapter: %1 of %2")
                                  .arg(control->CurrentChapter())
                                  .arg(control->ChapterCount(control->CurrentTitle())));
    });
    bar->imgDVDlogo->setVisible(true);
}

void unknownDisc()
{
    IgnoreErrors steps;
    if (databaseOption(SettingsKeys::kAddNew) && !playerState().databaseWindowShown) {
        playerState().databaseWindowShown = true;
        frmAddDVD *editor = form<frmAddDVD>();
        steps.step([&] { editor->DVDid->setText(dvdControl()->DiscUniqueId()); });
        editor->DVDid->setReadOnly(true);
        editor->show();
        editor->guessFromPlayingDisc();
    }
    form<frmNMain>()->lblDVDtit->setText(QStringLiteral("Unknown DVD"));
}

void showRecord(const QString &path)
{
    if (!databaseOption(SettingsKeys::kShowInfo) || playerState().databaseWindowShown)
        return;
    playerState().databaseWindowShown = true;
    QStringList lines(RecordFile::kRecordLines);
    IgnoreErrors steps;
    steps.step([&] { lines = RecordFile::readRecord(path); });
    frmDVDdb *browser = form<frmDVDdb>();
    browser->ShowRecord(lines);
    browser->show();
}

// Compares every record file name, less its extension, with the disc's
// identifier, exactly; the scan goes on after a match.
void identifyDisc(DVD &window)
{
    QPointer<DVD> alive(&window);
    IgnoreErrors steps;
    const QString directory = playerState().databaseFolder;
    window.File1.Path = directory;
    steps.step([&] { window.File1.Refresh(); });
    QString discId;
    const bool known = steps.step([&] { discId = dvdControl()->DiscUniqueId(); });
    // A disc linked to another disc's record is known by that record.
    discId = DiscAlias::recordIdentifierFor(directory, discId);

    QString title;
    const QStringList records =
        known ? RecordStore::recordsOfDisc(window.File1.names(), discId) : QStringList();
    for (const QString &name : records) {
        const QString path = directory + name;
        title.clear();
        steps.step([&] { title = RecordFile::readTitle(path); });
        // Other handlers, a nested notification among them, may run here.
        QCoreApplication::processEvents();
        if (!alive)
            return;
        if (!title.isEmpty()) {
            playerState().discName = title;
            if (isLoaded<frmSettings>())
                form<frmSettings>()->showDiscName();
            form<frmNMain>()->lblDVDtit->setText(title);
        } else {
            unknownDisc();
        }
        showRecord(path);
    }
    if (title.isEmpty())
        unknownDisc();
}

} // namespace

void handle(DVD &window, int32_t timeCode)
{
    IgnoreErrors steps;
    // The control reports its own stop after the stop command has cleared the
    // display; refreshing then would bring back the old values and could
    // prompt for the disc that was just stopped.
    bool stopped = false;
    steps.step([&] { stopped = dvdControl()->CurrentDomain() == DvdDomain::kStop; });
    if (stopped) {
        describeVideoWindow(window, true);
        return;
    }
    // Handlers run while the disc is looked up may close the window.
    QPointer<DVD> alive(&window);
    steps.step([&] { refreshDisplay(timeCode); });
    steps.step([&] { identifyDisc(window); });
    if (alive)
        describeVideoWindow(window, false);
    steps.step([] { ContinueWatching::atNotification(); });
}

void describeVideoWindow(DVD &window, bool stopped)
{
    QString said = QStringLiteral("Stopped");
    if (!stopped) {
        const frmNMain *bar = form<frmNMain>();
        QStringList shown{bar->lblDVDtit->text(), bar->lblChap->text()};
        shown.removeAll(QString());
        said = QStringLiteral("Playing ") + shown.join(QStringLiteral(", "));
    }
    // Readers announce every change: only real ones are made.
    if (window.accessibleDescription() != said.trimmed())
        window.setAccessibleDescription(said.trimmed());
}

} // namespace DvdNotify
