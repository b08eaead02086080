#include "core/bookmarks.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/version.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/appdirs.h"
#include "platform/dialogs.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QWidget>

namespace Bookmarks
{

QString FilePath()
{
    return AppDirs::programDirectory() + QStringLiteral("/bookmarks.json");
}

void Save()
{
    const auto error = trapFirstError([] {
        if (dvdControl()->CurrentDomain() != DvdDomain::kTitle) {
            Functions::CallDomain();
            return;
        }
        dvdControl()->DeleteBookmark();
        QCoreApplication::processEvents();
        dvdControl()->SaveBookmark();
        ShowMessage(QStringLiteral("To return to this book mark use the Load Bookmark option."));
    });
    if (error)
        ShowMessage(
            QStringLiteral("An error occured durring save, please try while the DVD is playing."));
}

void Load()
{
    const auto error = trapFirstError([] {
        if (dvdControl()->CurrentDomain() == DvdDomain::kStop) {
            Functions::CallDomain();
            return;
        }
        dvdControl()->RestoreBookmark();
    });
    if (error)
        ShowMessage(QStringLiteral("Either there is no book mark stored or the book mark stored "
                                   "is not for this title"));
}

void Delete()
{
    const auto error = trapFirstError([] {
        const bool yes = Dialogs::current().askYesNo(
            nullptr, Version::programTitle(),
            QStringLiteral("Do you realy want to delete your DVD bookmark?"));
        if (!yes)
            return;
        dvdControl()->DeleteBookmark();
        ShowMessage(QStringLiteral("Your bookmark was successfully deleted"));
    });
    if (error)
        ShowMessage(error->description());
}

void endProgram()
{
    Forms::unloadAll();
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    releaseDvdControl();
    QCoreApplication::exit(0);
}

void AutoBook(const std::function<void()> &end)
{
    IgnoreErrors steps;
    QString save;
    steps.step([&] {
        save = SettingsStore::Read(SettingsKeys::kPlayer, SettingsKeys::kSaveSection,
                                   SettingsKeys::kAutoBookmark, QString());
    });
    if (save == QLatin1String("1")) {
        bool playing = false;
        steps.step([&] { playing = dvdControl()->CurrentDomain() == DvdDomain::kTitle; });
        if (playing) {
            steps.step([] { dvdControl()->DeleteBookmark(); });
            steps.step([] { dvdControl()->SaveBookmark(); });
        }
    }
    end();
}

} // namespace Bookmarks
