#include "coretest.h"

#include "base/localpath.h"
#include "core/clickarea.h"
#include "core/dvd.h"
#include "core/frmabout.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerstate.h"
#include "core/startup.h"
#include "support/oddname.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"
#include "widgets/skincaption.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

// What a desktop user tries first: opening a disc, the keys of every player,
// windows that come back from the task bar, messages that fit their window.
class DesktopHabitsTest : public VideoWindowTest
{
protected:
    // A folder holding VIDEO_TS, as a mounted disc or a copied one.
    QString makeDiscFolder()
    {
        const QString disc = scratch.filePath("Disc One");
        QDir().mkpath(disc + "/VIDEO_TS");
        return disc;
    }

    QTemporaryDir scratch;
};

TEST_F(DesktopHabitsTest, ChosenOrDroppedPathsBecomeSources)
{
    const QString disc = makeDiscFolder();
    QFile ifo(disc + "/VIDEO_TS/VIDEO_TS.IFO");
    ASSERT_TRUE(ifo.open(QIODevice::WriteOnly));
    ifo.close();
    QFile image(scratch.filePath("film.ISO"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.close();
    const QString fifo = scratch.filePath("pipe.iso");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    EXPECT_EQ(OpenDisc::sourceFor(disc), disc + '/');
    EXPECT_EQ(OpenDisc::sourceFor(disc + "/VIDEO_TS"), disc + '/');
    EXPECT_EQ(OpenDisc::sourceFor(disc + "/VIDEO_TS/VIDEO_TS.IFO"), disc + '/');
    EXPECT_EQ(OpenDisc::sourceFor(image.fileName()), image.fileName());
    EXPECT_EQ(OpenDisc::sourceFor(fifo), "");
    EXPECT_EQ(OpenDisc::sourceFor(scratch.path()), "");
    EXPECT_EQ(OpenDisc::sourceFor(scratch.filePath("missing.iso")), "");
}

// The file dialog and a drop's address spell a byte that is no UTF-8 in
// their own ways; both lead back to the folder on disk.
TEST_F(DesktopHabitsTest, ANameInBytesThatAreNoUtf8IsFoundFromTheDialogAndADrop)
{
    const QByteArray odd = QFile::encodeName(scratch.path()) + "/Disc\xE9 ";
    const OddName renamed(makeDiscFolder(), odd);
    ASSERT_TRUE(renamed.renamed());
    const QString source = LocalPath::fromBytes(odd) + '/';

    dialogs->fileNames.push_back(QFile::decodeName(odd));
    window->mOpen->trigger();
    EXPECT_EQ(control->calls, QStringList({"setDVDDirectory(" + source + ")", "Play"}));
    const QUrl dropped = QUrl::fromEncoded("file://" + odd.toPercentEncoding("/"));
    EXPECT_EQ(OpenDisc::sourceFor(OpenDisc::localPathOf(dropped)), source);
}

TEST_F(DesktopHabitsTest, OpenComesFirstAndCtrlOPlaysTheChosenFolder)
{
    EXPECT_EQ(window->mMenu->actions().at(0), window->mOpen);
    EXPECT_TRUE(window->mMenu->actions().at(1)->isSeparator());

    const QString disc = makeDiscFolder();
    dialogs->fileNames.push_back(disc);
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(control->calls, QStringList({"setDVDDirectory(" + disc + "/)", "Play"}));

    // A disc playing from elsewhere stops once the control took the new one;
    // a cancel leaves everything as it is.
    control->calls.clear();
    control->domain = DvdDomain::kTitle;
    dialogs->fileNames.push_back(scratch.filePath("other.iso"));
    window->mOpen->trigger();
    EXPECT_EQ(control->calls, QStringList({"setDVDDirectory(" + scratch.filePath("other.iso") + ")",
                                           "Stop", "Play"}));
    control->calls.clear();
    form<frmNMain>()->show();
    form<frmNMain>()->activateWindow();
    QTest::keyClick(form<frmNMain>(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(control->calls.isEmpty());
}

// Resuming is no play command: "Play in Full-Screen" leaves the window alone.
TEST_F(DesktopHabitsTest, SpacePausesAndResumesAndEscapeLeavesFullScreen)
{
    setPlayerOption(SettingsKeys::kFullScreen, "1");
    control->domain = DvdDomain::kTitle;
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_TRUE(playerState().paused);
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_FALSE(playerState().paused);
    EXPECT_FALSE(window->isFullScreen());
    frmNMain *bar = form<frmNMain>();
    bar->show();
    bar->activateWindow();
    QTest::keyClick(bar, Qt::Key_Space);
    EXPECT_EQ(control->calls, QStringList({"Pause", "Play", "Pause"}));

    window->activateWindow();
    window->ToggleFULLnWINDOW();
    ASSERT_TRUE(window->isFullScreen());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isFullScreen());
}

// Whichever way a source is named, one the control refuses is the only one
// tried: nothing stops, nothing else plays, the message is the control's.
TEST_F(DesktopHabitsTest, ASourceTheControlRefusesIsReportedAndNothingElsePlays)
{
    control->domain = DvdDomain::kTitle;
    control->failOn("setDVDDirectory", ErrorNumbers::kUnreadableSource,
                    "The DVD source \"/gone.iso\" does not exist.");
    dialogs->fileNames.push_back("/gone.iso");
    const QString expected = "The DVD source \"/gone.iso\" does not exist.\nERR.NO: " +
                             QString::number(ErrorNumbers::kUnreadableSource);
    window->mOpen->trigger();
    EXPECT_EQ(messages(), QStringList{expected});
    // The same message still showing is not opened twice: close it first.
    qDeleteAll(BOX::openWindows());
    Startup::HandOver("/gone.iso");
    EXPECT_EQ(messages(), QStringList{expected});
    EXPECT_EQ(control->calls,
              QStringList({"setDVDDirectory(/gone.iso)", "setDVDDirectory(/gone.iso)"}));
}

// A second start naming another disc offers it for the database as "Open..."
// does; the disc playing named again is not offered twice.
TEST_F(DesktopHabitsTest, AHandedOverDiscIsOfferedOnceLikeAnOpenedOne)
{
    const QString disc = makeDiscFolder();
    control->directory = disc + "/VIDEO_TS";
    control->domain = DvdDomain::kTitle;
    form<frmNMain>(); // its load starts the program's state afresh
    playerState().databaseWindowShown = true;
    Startup::HandOver(disc);
    EXPECT_TRUE(playerState().databaseWindowShown);
    Startup::HandOver(scratch.filePath("other.iso"));
    EXPECT_FALSE(playerState().databaseWindowShown);
    EXPECT_TRUE(control->calls.contains("Stop"));
}

TEST_F(DesktopHabitsTest, TheMinimizedBarComesBackFromTheVideoWindow)
{
    frmNMain *bar = form<frmNMain>();
    bar->show();
    bar->setWindowState(Qt::WindowMinimized);
    window->mShowMain->trigger();
    EXPECT_FALSE(bar->isMinimized());

    bar->setWindowState(Qt::WindowMinimized);
    playerState().barComesNext = true;
    QTest::mouseClick(window->imgBack, Qt::LeftButton);
    EXPECT_FALSE(bar->isMinimized());
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(DesktopHabitsTest, TheLongestMessagesFitTheirWindowWithoutScrolling)
{
    for (const QString &text :
         {DVD::zoomHelp(), QString("The decoder for this disc could not be started: no decoder "
                                   "for MPEG-2 video was found on this system.\r\nInstall the "
                                   "software DVD decoders available with this DVD player.")}) {
        ShowMessage(text);
        BOX *box = BOX::openWindows().constLast();
        QApplication::processEvents();
        EXPECT_LE(box->width(), 560);
        EXPECT_EQ(box->msg->verticalScrollBar()->maximum(), 0) << text.toStdString();
        EXPECT_EQ(box->msg->horizontalScrollBar()->maximum(), 0);
        EXPECT_GE(box->skinButton1->y(), box->msg->geometry().bottom());
    }
}

TEST_F(DesktopHabitsTest, TheAboutWindowShowsItsAddressesWhole)
{
    frmAbout *about = form<frmAbout>();
    for (const skinButton *link : {about->btnWeb, about->btnMail}) {
        const int needed = SkinCaption(link->Caption(), link->font()).lineSize().width();
        EXPECT_LT(needed, link->width() - 8) << link->Caption().toStdString();
        EXPECT_TRUE(about->rect().contains(link->geometry()));
    }
}

// The exit question stays above the message windows, which stay on top, and
// is raised again when one opens while it waits for an answer.
TEST_F(DesktopHabitsTest, AQuestionIsNeverBehindOurMessageWindows)
{
    Dialogs::install(nullptr);
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        ShowMessage("A message that arrives while the question is open.");
        QWidget *question = QApplication::activeModalWidget();
        ASSERT_NE(question, nullptr);
        onTop = question->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        static_cast<QMessageBox *>(question)->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(Dialogs::current().askYesNo(nullptr, "KORVANE Vidora", "Exit?"));
    EXPECT_TRUE(onTop);
}

// Enter keeps what a destructive question would destroy, and takes up the
// offer to continue a film.
TEST_F(DesktopHabitsTest, EnterAnswersNoToADestructiveQuestionAndYesToAnOffer)
{
    Dialogs::install(nullptr);
    const auto pressDefault = [] {
        QTimer::singleShot(0, [] {
            auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(question, nullptr);
            question->defaultButton()->click();
        });
    };
    pressDefault();
    EXPECT_FALSE(Dialogs::current().askYesNo(nullptr, "KORVANE Vidora", "Delete?"));
    pressDefault();
    EXPECT_TRUE(Dialogs::current().askYesNoDefaultYes(nullptr, "KORVANE Vidora", "Continue?"));
}
