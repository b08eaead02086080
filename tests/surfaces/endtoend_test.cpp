#include "surfacetesting.h"

#include "core/dvd.h"
#include "core/frmabout.h"
#include "core/functions.h"
#include "core/playerstate.h"
#include "core/startup.h"
#include "engine/control/dvdcontrolinstance.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/realcontrol.h"
#include "support/scripteddialogs.h"
#include "support/testsettings.h"
#include "support/waitfor.h"
#include "surfaces/frmangle.h"
#include "surfaces/frmlanguage.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnav.h"
#include "surfaces/frmnmain.h"
#include "surfaces/frmsubp.h"
#include "widgets/skinbutton.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

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
        resetSettings();
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
    ASSERT_EQ(playerState().databaseFolder, database.path() + '/');
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
    saveScreenshot("control-bar-playing.png");

    hover(bar->btnPlay);
    EXPECT_EQ(bar->St->text(), "Play");
    saveScreenshot("control-bar-hover.png");
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
    saveScreenshot("stream-dialogs-and-pad.png");

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

// A file manager's drop: enter, then drop, of one local path.
static void dropPath(QWidget *target, const QString &path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPointF at(target->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted()) << path.toStdString();
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

TEST_F(SurfacesEndToEnd, ADroppedDiscFolderPlaysAndTheDesktopWindowsShowWhole)
{
    Main();
    frmNMain *bar = form<frmNMain>();
    dropPath(bar, disc);
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoManagerMenu; }));
    EXPECT_TRUE(dvdControl()->DVDDirectory().startsWith(disc));
    writeRecord("The Lord of the Rings: The Fellowship of the Ring (Extended Edition)");
    Functions::MenuActivate();
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kTitle; }));
    EXPECT_TRUE(waitFor([&] { return bar->lblDVDtit->text().startsWith("The Lord"); }));
    saveScreenshot("control-bar-long-title.png");

    form<DVD>()->mZoomMode->trigger();
    BOX *help = BOX::openWindows().constLast();
    help->move(bar->x(), 40);
    EXPECT_EQ(help->msg->verticalScrollBar()->maximum(), 0);
    saveScreenshot("zoom-help.png");
    takeMessages();

    form<frmAbout>()->move(bar->x(), 40);
    form<frmAbout>()->show();
    saveScreenshot("about-window.png");
    unload<frmAbout>();

    // Ctrl+O on the bar: the desktop's dialog takes the disc folder itself.
    Dialogs::install(nullptr);
    Functions::StopDisc();
    bar->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == bar; }));
    QTimer::singleShot(300, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->move(bar->x(), 40);
        dialog->setDirectory(QFileInfo(QDir(disc).absolutePath()).absolutePath());
        // What the user types or picks: the disc folder's name.
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QDir(disc).dirName());
        saveScreenshot("open-dialog.png");
        static_cast<QDialog *>(dialog)->accept();
        // A dialog that refused the folder would wait for the user forever.
        if (dialog->isVisible())
            dialog->reject();
    });
    QTest::keyClick(bar, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoManagerMenu; }));
    EXPECT_TRUE(dvdControl()->DVDDirectory().startsWith(disc));
}

// A source that cannot play is named and is the only one tried: with no disc
// playing no drive is tried instead, and a disc that plays goes on, whether
// the source does not exist or is an image that holds no disc.
TEST_F(SurfacesEndToEnd, ASourceThatCannotPlayIsNamedAndThePlayingDiscGoesOn)
{
    Main();
    frmNMain *bar = form<frmNMain>();
    QTemporaryDir scratch;
    const QString missing = scratch.filePath("gone.iso");
    Startup::HandOver(missing);
    QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains('"' + missing + "\" does not exist"))
        << messages[0].toStdString();

    dropPath(bar, disc);
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoManagerMenu; }));
    QFile notADisc(scratch.filePath("notes.iso"));
    ASSERT_TRUE(notADisc.open(QIODevice::WriteOnly));
    notADisc.write(QByteArray(64 * 1024, 'x'));
    notADisc.close();
    dropPath(bar, notADisc.fileName());
    Startup::HandOver(missing);
    messages = takeMessages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains('"' + notADisc.fileName() + '"')) << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains(missing));
    EXPECT_EQ(domain(), DvdDomain::kVideoManagerMenu);
    EXPECT_TRUE(dvdControl()->DVDDirectory().startsWith(disc));
}
