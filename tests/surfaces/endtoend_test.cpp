#include "surfacetesting.h"

#include "core/functions.h"
#include "core/startup.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/realcontrol.h"
#include "support/scripteddialogs.h"
#include "support/waitfor.h"
#include "surfaces/frmangle.h"
#include "surfaces/frmlanguage.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnav.h"
#include "surfaces/frmnmain.h"
#include "surfaces/frmsubp.h"
#include "widgets/skinbutton.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

using namespace SurfaceTesting;

// The control surfaces on the real DVD control, playing the generated sample
// disc. Under an X server with VIDORA_SCREENSHOTS set to a folder, it also
// saves screenshots there: the bar while the disc plays, the bar with a
// button under the pointer, and the stream dialogs with the navigation pad.
class SurfacesEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string whyNot;
        const std::optional<QString> sample = RealControl::installOnSampleDisc(whyNot);
        if (!sample)
            GTEST_SKIP() << whyNot;
        disc = *sample;
        ScriptedDialogs::install();
        for (const char *application : {SettingsKeys::kPlayer, SettingsKeys::kDatabase})
            QFile::remove(SettingsStore::fileName(application));
        SettingsStore::Write(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection,
                             SettingsKeys::kDatabasePath, database.path() + '/');
    }
    void TearDown() override
    {
        Forms::unloadAll();
        takeMessages();
        releaseDvdControl();
    }

    static bool waitFor(const std::function<bool()> &condition, int milliseconds = 15000)
    {
        return ::waitFor(condition, milliseconds);
    }

    static void screenshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("VIDORA_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        waitFor([] { return false; }, 400);
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + '/' + name);
    }

    static int domain() { return dvdControl()->CurrentDomain(); }

    void writeRecord(const QString &title)
    {
        QFile record(database.filePath(dvdControl()->DiscUniqueId() + ".dvd"));
        ASSERT_TRUE(record.open(QIODevice::WriteOnly));
        record.write(title.toLatin1() + "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n");
    }

    // The dialogs and the pad beside the bar, where a screenshot shows them.
    static void placeBeside(frmNMain *bar, const QList<QWidget *> &windows)
    {
        int left = bar->x();
        for (QWidget *window : windows) {
            window->move(left, bar->y() - window->height() - 40);
            left += window->width() + 24;
        }
    }

    QTemporaryDir database;
    QString disc;
};

TEST_F(SurfacesEndToEnd, TheBarShowsThePlayingDiscAndTheDialogsOfferItsStreams)
{
    Main();
    frmNMain *bar = form<frmNMain>();
    ASSERT_EQ(form<frmMain>()->DVDdbDir, database.path() + '/');
    dvdControl()->setDVDDirectory(disc);
    click(bar->btnPlay);
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoManagerMenu; }));
    writeRecord("Sample disc");
    Functions::MenuActivate(); // "Play title 1"
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kTitle; }));
    EXPECT_TRUE(waitFor([&] { return bar->lblChap->text() == "Chapter: 1 of 3"; }));
    EXPECT_TRUE(waitFor([&] { return bar->lblDVDtit->text() == "Sample disc"; }));
    EXPECT_TRUE(bar->lblTime->text().contains(" / "));
    EXPECT_TRUE(bar->lblLan->text().startsWith("Language: "));
    EXPECT_FALSE(bar->imgDVDlogo->isHidden());
    screenshot("control-bar-playing.png");

    hover(bar->btnPlay);
    EXPECT_EQ(bar->St->text(), "Play");
    screenshot("control-bar-hover.png");
    leave(bar->btnPlay);

    auto *audio = form<frmLanguage>();
    EXPECT_EQ(audio->List1->count(), 2);
    auto *subtitles = form<frmSubp>();
    EXPECT_EQ(subtitles->List1->count(), 2);
    auto *angles = form<frmAngle>();
    EXPECT_EQ(angles->List1->count(), 1);
    EXPECT_EQ(angles->List1->item(0)->text(), " 1");
    auto *pad = form<frmNav>();
    placeBeside(bar, {audio, subtitles, angles, pad});
    screenshot("stream-dialogs-and-pad.png");

    const QRect french = audio->List1->visualItemRect(audio->List1->item(1));
    click(audio->List1->viewport(), Qt::LeftButton, french.center());
    EXPECT_TRUE(waitFor([] { return dvdControl()->CurrentAudioStream() == 1; }));
    EXPECT_TRUE(takeMessages().isEmpty());

    click(bar->btnFF4);
    click(bar->btnNorPlay);
    click(bar->btnStop);
    EXPECT_TRUE(waitFor([] { return domain() == DvdDomain::kStop; }));
    EXPECT_EQ(bar->lblChap->text(), "");
    EXPECT_TRUE(takeMessages().isEmpty());
}
