#include "coretest.h"

#include "base/localpath.h"
#include "core/clickarea.h"
#include "core/dvd.h"
#include "core/frmabout.h"
#include "core/functions.h"
#include "core/module2.h"
#include "core/opendisc.h"
#include "core/playerstate.h"
#include "support/oddname.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"
#include "widgets/skincaption.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
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

    // A disc playing from elsewhere stops before the new one plays; a cancel
    // leaves everything as it is.
    control->calls.clear();
    control->domain = DvdDomain::kTitle;
    dialogs->fileNames.push_back(scratch.filePath("other.iso"));
    window->mOpen->trigger();
    EXPECT_EQ(
        control->calls,
        QStringList({"Stop", "setDVDDirectory(" + scratch.filePath("other.iso") + ")", "Play"}));
    control->calls.clear();
    form<frmNMain>()->show();
    form<frmNMain>()->activateWindow();
    QTest::keyClick(form<frmNMain>(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(control->calls.isEmpty());
}

TEST_F(DesktopHabitsTest, SpacePausesAndResumesAndEscapeLeavesFullScreen)
{
    control->domain = DvdDomain::kTitle;
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_TRUE(playerState().paused);
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_FALSE(playerState().paused);
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
