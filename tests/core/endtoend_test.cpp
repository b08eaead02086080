#include "coretest.h"

#include "core/bookmarks.h"
#include "core/clickarea.h"
#include "core/dvd.h"
#include "core/functions.h"
#include "dvddb/frmadddvd.h"
#include "dvddb/frmdvddb.h"
#include "support/realcontrol.h"
#include "support/testsettings.h"
#include "support/waitfor.h"
#include "surfaces/frmnmain.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <functional>

// The player commands, notifications, video window and bookmarks on the real
// DVD control, playing the generated test disc. Under an X server with
// VIDORA_SCREENSHOTS set to a folder, it also saves two screenshots there.
class EndToEndTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        std::string whyNot;
        const std::optional<QString> sample = RealControl::installOnSampleDisc(whyNot);
        if (!sample)
            GTEST_SKIP() << whyNot;
        disc = *sample;
        control = nullptr; // the double is gone; use dvdControl()
        dvdControl()->setDVDDirectory(disc);
    }

    static bool waitFor(const std::function<bool()> &condition, int milliseconds = 10000)
    {
        return ::waitFor(condition, milliseconds);
    }

    static int domain() { return dvdControl()->CurrentDomain(); }
    static int chapter() { return dvdControl()->CurrentChapter(); }

    static void tapKey(int key)
    {
        DVD *window = form<DVD>();
        window->activateWindow();
        QCoreApplication::processEvents();
        for (auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier);
            QCoreApplication::sendEvent(window->windowHandle(), &event);
        }
        window->tmrZoom_Timer();
    }

    // Plays the disc and presses the video manager menu's first button,
    // "Play title 1", with the Enter key.
    static void startTitleOne()
    {
        Functions::PlayDisc();
        ASSERT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
        ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoManagerMenu; }));
        tapKey(Qt::Key_Return);
        ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kTitle; }));
    }

    // False while the control answers an operation with its placeholder for
    // what it does not offer yet.
    QString disc;
};

TEST_F(EndToEndTest, PlaysMenusChaptersAndFullScreenAndRecognisesTheDisc)
{
    frmNMain *bar = form<frmNMain>();
    Functions::PlayDisc();
    ASSERT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoManagerMenu; }));

    // The disc is recognised from its record once one exists.
    QFile record(database.filePath(dvdControl()->DiscUniqueId() + ".dvd"));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write("Sample disc\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n");
    record.close();
    EXPECT_TRUE(waitFor([&] { return bar->lblDVDtit->text() == "Sample disc"; }));

    // Enter presses the highlighted menu button: "Play title 1".
    tapKey(Qt::Key_Return);
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kTitle; }));
    EXPECT_TRUE(waitFor([&] { return bar->lblChap->text() == "Chapter: 1 of 3"; }));
    EXPECT_TRUE(bar->lblTime->text().contains(" / "));
    EXPECT_TRUE(bar->lblLan->text().startsWith("Language: "));
    const QString shownAt = bar->lblTime->text();
    EXPECT_TRUE(waitFor([&] { return bar->lblTime->text() != shownAt; }))
        << "the time shown runs on";
    saveScreenshot("video-window-playing.png");

    Functions::NextChapter();
    ASSERT_TRUE(waitFor([] { return chapter() == 2; }));
    EXPECT_TRUE(waitFor([&] { return bar->lblChap->text() == "Chapter: 2 of 3"; }));

    DVD *window = form<DVD>();
    window->ToggleFULLnWINDOW();
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(window->DVDw->size(), window->size());
    window->ToggleFULLnWINDOW();
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_EQ(window->windowTitle(), "DVD Panel");

    window->mMenu->popup(window->mapToGlobal(QPoint(60, 60)));
    saveScreenshot("context-menu.png");
    window->mMenu->hide();

    Functions::ShowRootMenu();
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kVideoTitleSetMenu; }));
    Functions::NextChapter(); // refused silently in a menu
    Functions::ResumeFromMenu();
    EXPECT_TRUE(waitFor([] { return domain() == DvdDomain::kTitle; }));

    Functions::StopDisc();
    EXPECT_TRUE(waitFor([] { return domain() == DvdDomain::kStop; }));
    waitFor([] { return false; }, 500); // the control's own stop notifications
    EXPECT_EQ(bar->lblChap->text(), "");
    EXPECT_EQ(bar->lblDVDtit->text(), "");
    Functions::ShowRootMenu();
    EXPECT_EQ(messages(), QStringList{"This operation is not permitted while the disc is "
                                      "stopped, click play first "});
}

TEST_F(EndToEndTest, BookmarksAndZoom)
{
    startTitleOne();
    ASSERT_NO_THROW(dvdControl()->DeleteBookmark());

    Functions::NextChapter();
    ASSERT_TRUE(waitFor([] { return chapter() == 2; }));
    Bookmarks::Save();
    EXPECT_EQ(messages(), QStringList{"To return to this book mark use the Load Bookmark option."});
    Functions::NextChapter();
    ASSERT_TRUE(waitFor([] { return chapter() == 3; }));
    Bookmarks::Load();
    EXPECT_TRUE(waitFor([] { return chapter() == 2; }));
    EXPECT_EQ(messages().size(), 1);

    DVD *window = form<DVD>();
    tapKey(Qt::Key_Plus);
    EXPECT_FALSE(window->lblZoom->isHidden());
    EXPECT_TRUE(window->imgBack->isHidden());
    tapKey(Qt::Key_Minus);
    EXPECT_TRUE(window->lblZoom->isHidden());
    EXPECT_EQ(messages().size(), 1);

    dialogs->yesNoAnswers = {true};
    Bookmarks::Delete();
    EXPECT_EQ(messages().value(1), "Your bookmark was successfully deleted");
    Bookmarks::Load();
    EXPECT_EQ(messages().value(2), "Either there is no book mark stored or the book mark stored "
                                   "is not for this title");
}

TEST_F(EndToEndTest, AnUnknownDiscIsAddedInTheEditorAndItsRecordShownAtTheNextPlay)
{
    setDatabaseOption(SettingsKeys::kAddNew, "1");
    setDatabaseOption(SettingsKeys::kShowInfo, "1");
    startTitleOne();
    ASSERT_TRUE(waitFor([] { return isLoaded<frmAddDVD>() && form<frmAddDVD>()->isVisible(); }));
    frmAddDVD *editor = form<frmAddDVD>();
    EXPECT_EQ(editor->DVDid->text(), dvdControl()->DiscUniqueId());
    EXPECT_TRUE(editor->DVDid->isReadOnly());
    editor->skinButton1_Click();
    EXPECT_TRUE(editor->i8->text().endsWith(", ")) << editor->i8->text().toStdString();
    editor->i1->setText("My sample");
    saveScreenshot("record-editor.png");
    editor->skinButton3_Click();
    EXPECT_TRUE(waitFor([] { return form<frmNMain>()->lblDVDtit->text() == "My sample"; }));
    EXPECT_FALSE(form<frmDVDdb>()->isVisible());

    // Other discs' records, with pictures, for the browser to list.
    for (const char *title : {"Another film", "Third disc"}) {
        QImage cover(120, 160, QImage::Format_RGB32);
        cover.fill(QColor::fromHsv(int(qHash(QByteArray(title)) % 360), 160, 200));
        cover.save(database.filePath(QString(title) + ".jpg"), "BMP");
        QFile record(database.filePath(QString(title).remove(' ') + ".dvd"));
        ASSERT_TRUE(record.open(QIODevice::WriteOnly));
        record.write(QByteArray(title) + "\r\nDirector\r\n\r\n2004\r\n\r\n\r\n\r\n\r\n" + title +
                     ".jpg\r\n");
    }
    Functions::StopDisc();
    ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kStop; }));
    Functions::PlayDisc();
    ASSERT_TRUE(waitFor([] { return form<frmDVDdb>()->isVisible(); }));
    EXPECT_EQ(form<frmDVDdb>()->i1->text(), "My sample");
    EXPECT_TRUE(waitFor([] { return form<frmDVDdb>()->List1->count() == 3; }));
    saveScreenshot("database-browser.png");
    form<frmDVDdb>()->List1->setCurrentRow(0);
    EXPECT_EQ(form<frmDVDdb>()->i1->text(), "Another film");
    form<frmDVDdb>()->skinButton3_Click();
    saveScreenshot("database-browser-search.png");
    EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
}

// Every menu of the menus disc through the video window's "Menus" items, each
// left again by the window's "Resume" or by the menu's own Resume button.
TEST_F(EndToEndTest, EveryMenuComesAgainAndAgainThroughTheWindowsMenuItems)
{
    dvdControl()->setDVDDirectory(qEnvironmentVariable("VIDORA_TEST_DISCS") + "/menus/");
    startTitleOne();
    DVD *window = form<DVD>();
    struct Call {
        QAction *item;
        int domain;
    };
    const std::vector<Call> calls{
        {window->mRoot, DvdDomain::kVideoTitleSetMenu},
        {window->mAudio, DvdDomain::kVideoTitleSetMenu},
        {window->mAngle, DvdDomain::kVideoTitleSetMenu},
        {window->mChapter, DvdDomain::kVideoTitleSetMenu},
        {window->mSubpicture, DvdDomain::kVideoTitleSetMenu},
        {window->mTitle, DvdDomain::kVideoManagerMenu},
        {window->mRoot, DvdDomain::kVideoTitleSetMenu},
        {window->mRoot, DvdDomain::kVideoTitleSetMenu},
    };
    bool byButton = false;
    for (const Call &call : calls) {
        waitFor([] { return false; }, 500);
        ASSERT_EQ(domain(), DvdDomain::kTitle);
        call.item->trigger();
        ASSERT_TRUE(waitFor([&] { return domain() == call.domain; }, 5000))
            << call.item->text().toStdString() << " did not show";
        waitFor([] { return false; }, 200);
        // The set menus' only button is Resume; the title menu's first plays
        // the title from its start.
        if (byButton && call.domain == DvdDomain::kVideoTitleSetMenu)
            tapKey(Qt::Key_Return);
        else
            window->mResume->trigger();
        byButton = !byButton;
        ASSERT_TRUE(waitFor([] { return domain() == DvdDomain::kTitle; }, 5000))
            << "no resume from " << call.item->text().toStdString();
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
}
