#include "surfacetesting.h"

#include "core/dvd.h"
#include "core/playerstate.h"
#include "dvddb/frmdvddb.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/appdirs.h"
#include "settings/frmsettings.h"
#include "settings/schemeeditor.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/scripteddialogs.h"
#include "support/scripteddvdcontrol.h"
#include "support/testsettings.h"
#include "surfaces/displaylabel.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace SurfaceTesting;
using namespace SettingsKeys;

namespace
{

// Notes what the bar looks like at the moment playback starts.
class PlayProbe : public ScriptedDvdControl
{
public:
    std::function<void()> onPlay;
    void Play() override
    {
        if (onPlay)
            onPlay();
        ScriptedDvdControl::Play();
    }
};

class ControlBar : public ScriptedControlTest
{
protected:
    void SetUp() override
    {
        ScriptedControlTest::SetUp();
        ScriptedDialogs::install();
        resetSettings();
    }
    void TearDown() override
    {
        bar.reset();
        ScriptedControlTest::TearDown();
    }
    // A bar loaded with the given command line.
    frmNMain *load(const QString &commandLine = QString())
    {
        bar = std::make_unique<frmNMain>();
        bar->commandLine = commandLine;
        bar->Form_Load();
        return bar.get();
    }
    bool rightClickMenuShown()
    {
        return isLoaded<frmMain>() && form<frmMain>()->isHostLoaded() &&
               form<frmMain>()->mnuInMenu()->isVisible();
    }

    std::unique_ptr<frmNMain> bar;
};

} // namespace

TEST_F(ControlBar, AFirstStartCreatesTheDatabaseFolderAndStoresIt)
{
    const QString expected = AppDirs::programDirectory() + "/DVDdb/";
    QDir(expected).removeRecursively();
    load();
    EXPECT_EQ(playerState().databaseFolder, expected);
    EXPECT_EQ(SettingsStore::Read(kDatabase, kDatabaseSection, kDatabasePath, "0"), expected);
    EXPECT_TRUE(QDir(expected).exists());
    EXPECT_FALSE(form<frmMain>()->isHostLoaded()) << "handing over the folder loads nothing";
}

TEST_F(ControlBar, ALaterStartUsesTheStoredFolderUnchanged)
{
    const QString stored = QDir::tempPath() + "/vidora-no-such-folder/db/";
    SettingsStore::Write(kDatabase, kDatabaseSection, kDatabasePath, stored);
    load();
    EXPECT_EQ(playerState().databaseFolder, stored);
    EXPECT_FALSE(QDir(stored).exists()) << "only a first start creates the folder";
}

TEST_F(ControlBar, TheLoadShapesTheBarAndClearsTheDisplay)
{
    frmNMain *bar = load();
    EXPECT_EQ(bar->windowTitle(), "KORVANE Vidora 2.3");
    EXPECT_EQ(bar->size(), QSize(578, 117));
    EXPECT_TRUE(bar->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(bar->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(bar->mask().contains(QPoint(577, 0)));
    EXPECT_TRUE(bar->Picture.isNull()) << "the skin only shapes the window";
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
    for (QLabel *label : {bar->St, bar->lblChap, bar->lblLan, bar->lblDVDtit})
        EXPECT_EQ(label->text(), "") << label->objectName().toStdString();
    EXPECT_TRUE(control->calls.isEmpty());
}

TEST_F(ControlBar, EveryControlSitsOnTheBodyOfTheSkin)
{
    frmNMain *bar = load();
    const QRegion body = bar->mask();
    for (QWidget *child : bar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE((QRegion(child->geometry()) - body).isEmpty())
            << child->objectName().toStdString();
    }
}

TEST_F(ControlBar, TheDisplayLabelsUseAFaceThatKeepsLettersAndSpaces)
{
    frmNMain *bar = load();
    for (QLabel *label : {bar->lblTime, bar->lblChap, bar->lblLan, bar->lblDVDtit}) {
        EXPECT_TRUE(label->font().bold());
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 7.5);
        EXPECT_FALSE(QFontInfo(label->font()).family().startsWith("DSEG"));
    }
}

TEST_F(ControlBar, TheLoadPlaysAfterShapingAndTheDatabaseFolderAndBeforeClearingTheDisplay)
{
    auto probe = std::make_unique<PlayProbe>();
    PlayProbe *disc = probe.get();
    installDvdControl(std::move(probe));
    QString caption, folder, chapter;
    bool shaped = false;
    disc->onPlay = [&] {
        caption = bar->windowTitle();
        shaped = !bar->mask().isEmpty();
        folder = playerState().databaseFolder;
        chapter = bar->lblChap->text();
    };
    load("\"/media/dvd/\"");
    EXPECT_EQ(caption, "KORVANE Vidora 2.3");
    EXPECT_TRUE(shaped);
    EXPECT_EQ(folder, AppDirs::programDirectory() + "/DVDdb/");
    EXPECT_EQ(chapter, "Chap");
    EXPECT_EQ(bar->lblChap->text(), "");
}

TEST_F(ControlBar, AFolderOnTheCommandLinePlaysOnceEvenWithPlayAtStartOn)
{
    SettingsStore::Write(kPlayer, kSaveSection, kPlayAtStart, "1");
    load("\"/media/dvd/\"");
    EXPECT_EQ(control->calls, QStringList({"setDVDDirectory(/media/dvd/)", "Play"}));
}

TEST_F(ControlBar, AnIsoImageOnTheCommandLineBecomesTheSource)
{
    load("\"/srv/discs/film.iso\"");
    EXPECT_EQ(control->calls, QStringList({"setDVDDirectory(/srv/discs/film.iso)", "Play"}));
}

TEST_F(ControlBar, PlayAtStartPlaysOnlyForTheValueOne)
{
    SettingsStore::Write(kPlayer, kSaveSection, kPlayAtStart, "yes");
    load();
    EXPECT_TRUE(control->calls.isEmpty());
    SettingsStore::Write(kPlayer, kSaveSection, kPlayAtStart, "1");
    load();
    EXPECT_EQ(control->calls, QStringList{"Play"});
}

TEST_F(ControlBar, ASchemeFileOpensTheSettingsWindowOnItsColoursAndLoadsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("night blue.cfx");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("KORVANE Vidora 2.2 Color scheme\r\n 255 \r\n 1 \r\n 2 \r\n 3 \r\n 4 \r\n 5 \r\n"
               "Night\r\nAnn\r\n");
    file.close();
    load('"' + path + '"');
    ASSERT_TRUE(isLoaded<frmSettings>());
    EXPECT_TRUE(form<frmSettings>()->isVisible());
    EXPECT_EQ(form<frmSettings>()->Tab->currentIndex(), 3);
    EXPECT_EQ(form<frmSettings>()->schemeEditor->skinButton1->BackColor(), 255);
    EXPECT_EQ(form<frmSettings>()->schemeEditor->txtName->text(), "Night");
    EXPECT_TRUE(control->calls.isEmpty());
}

TEST_F(ControlBar, TheLoadLetsTheNextDiscOpenTheDatabaseWindowsAgain)
{
    playerState().databaseWindowShown = true;
    load();
    EXPECT_FALSE(playerState().databaseWindowShown);
    EXPECT_FALSE(form<DVD>()->isVisible());
}

TEST_F(ControlBar, AnUpperCaseSchemeFileDoesNothing)
{
    load("\"/home/u/night.CFX\"");
    EXPECT_TRUE(control->calls.isEmpty());
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(ControlBar, ScanButtonsScanOnlyWhileATitlePlays)
{
    frmNMain *bar = load();
    const QList<skinButton *> scan{bar->btnBack8, bar->btnBack4, bar->btnBackW,
                                   bar->btnFF,    bar->btnFF4,   bar->btnFF8};
    for (int domain : {1, 2, 3, 5}) {
        control->domain = domain;
        for (skinButton *button : scan)
            click(button);
    }
    EXPECT_TRUE(control->calls.isEmpty());
    control->domain = 4;
    for (skinButton *button : scan)
        click(button);
    EXPECT_EQ(control->calls,
              QStringList({"PlayBackwards(8)", "PlayBackwards(4)", "PlayBackwards(2)",
                           "PlayForwards(2)", "PlayForwards(4)", "PlayForwards(8)"}));
}

TEST_F(ControlBar, AFailingScanIsSilent)
{
    frmNMain *bar = load();
    control->domain = 4;
    control->failOn("PlayForwards", 1003, "Not permitted");
    click(bar->btnFF8);
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(ControlBar, NormalPlayAndPlayBothPlay)
{
    frmNMain *bar = load();
    click(bar->btnPlay);
    click(bar->btnNorPlay);
    EXPECT_EQ(control->calls, QStringList({"Play", "Play"}));
}

TEST_F(ControlBar, TransportButtonsRunThePlayerCommands)
{
    frmNMain *bar = load();
    control->domain = 4;
    click(bar->btnNextCh);
    click(bar->btnPreCh);
    click(bar->btnStop);
    EXPECT_EQ(control->calls, QStringList({"PlayNextChapter", "PlayPrevChapter", "Stop"}));
}

TEST_F(ControlBar, HoveringAButtonNamesItOnTheStatusLine)
{
    frmNMain *bar = load();
    const QList<std::pair<skinButton *, QString>> expected{{bar->btnPreCh, "Previews Chapter"},
                                                           {bar->btnStop, "Stop"},
                                                           {bar->btnPlay, "Play"},
                                                           {bar->btnNextCh, "Next Chapter"},
                                                           {bar->btnBack8, "Backward x8"},
                                                           {bar->btnBack4, "Backward x4"},
                                                           {bar->btnBackW, "Backward x2"},
                                                           {bar->btnNorPlay, "Normal Play"},
                                                           {bar->btnFF, "Fast Forward x2"},
                                                           {bar->btnFF4, "Fast Forward x4"},
                                                           {bar->btnFF8, "Fast Forward x8"},
                                                           {bar->btnMenu, "Menu List"},
                                                           {bar->btnDVDdb, "DVD database"},
                                                           {bar->btnSettings, "Settings Panel"}};
    for (const auto &[button, text] : expected) {
        hover(button);
        EXPECT_EQ(bar->St->text(), text);
        leave(button);
        EXPECT_EQ(bar->St->text(), "");
    }
}

TEST_F(ControlBar, ThePanelButtonSaysWhatAClickWillDoWhenThePointerComesIn)
{
    frmNMain *bar = load();
    hover(bar->btnDVDpanel);
    EXPECT_EQ(bar->St->text(), "Show DVD Panel");
    click(bar->btnDVDpanel);
    EXPECT_TRUE(form<DVD>()->isVisible());
    EXPECT_EQ(bar->St->text(), "Show DVD Panel") << "unchanged until the pointer comes back";
    leave(bar->btnDVDpanel);
    EXPECT_EQ(bar->St->text(), "");
    hover(bar->btnDVDpanel);
    EXPECT_EQ(bar->St->text(), "Hide DVD Panel");
    click(bar->btnDVDpanel);
    EXPECT_FALSE(form<DVD>()->isVisible());
}

TEST_F(ControlBar, TheSettingsAndDatabaseButtonsOpenAndCloseTheirWindows)
{
    frmNMain *bar = load();
    click(bar->btnSettings);
    EXPECT_TRUE(isLoaded<frmSettings>() && form<frmSettings>()->isVisible());
    click(bar->btnSettings);
    EXPECT_FALSE(isLoaded<frmSettings>());
    click(bar->btnDVDdb);
    EXPECT_TRUE(isLoaded<frmDVDdb>() && form<frmDVDdb>()->isVisible());
    click(bar->btnDVDdb);
    EXPECT_FALSE(isLoaded<frmDVDdb>());
}

TEST_F(ControlBar, TheMenuListButtonPopsUpTheDvdMenus)
{
    frmNMain *bar = load();
    click(bar->btnMenu);
    QMenu *menus = form<frmMain>()->menus();
    EXPECT_TRUE(menus->isVisible());
    menus->hide();
}

TEST_F(ControlBar, ARightClickOnTheBackgroundOrTheDisplayOpensTheMenu)
{
    frmNMain *bar = load();
    press(bar->lblTime, Qt::RightButton);
    EXPECT_TRUE(rightClickMenuShown());
    form<frmMain>()->mnuInMenu()->hide();
    click(bar, Qt::RightButton, QPoint(300, 114)); // the body below the status line
    EXPECT_TRUE(rightClickMenuShown());
    form<frmMain>()->mnuInMenu()->hide();
}

TEST_F(ControlBar, ARightClickOnAButtonOrTheStatusLineOpensNoMenu)
{
    frmNMain *bar = load();
    for (QWidget *target :
         std::initializer_list<QWidget *>{bar->btnPlay, bar->btnFF, bar->St, bar->btnSettings})
        press(target, Qt::RightButton);
    EXPECT_FALSE(rightClickMenuShown());
    press(bar->lblDVDtit, Qt::LeftButton);
    EXPECT_FALSE(rightClickMenuShown()) << "the left button drags";
}

TEST_F(ControlBar, ALongTitleShowsItsBeginningAndKeepsItsCaption)
{
    frmNMain *bar = load();
    const QString title = "The Lord of the Rings: The Fellowship of the Ring (Extended Edition)";
    bar->lblDVDtit->setText(title);
    bar->lblLan->setText("Language: Portuguese (Brazilian)");
    EXPECT_EQ(bar->lblDVDtit->text(), title);
    const QStringList lines = static_cast<DisplayLabel *>(bar->lblDVDtit)->shownLines();
    EXPECT_TRUE(lines.join(' ').startsWith("The Lord of the Rings"));
    EXPECT_TRUE(lines.constLast().endsWith(QChar(0x2026)));
    const QStringList language = static_cast<DisplayLabel *>(bar->lblLan)->shownLines();
    ASSERT_EQ(language.size(), 1);
    EXPECT_TRUE(language[0].startsWith("Language: Portug"));
    for (const DisplayLabel *label :
         {static_cast<DisplayLabel *>(bar->lblDVDtit), static_cast<DisplayLabel *>(bar->lblLan)})
        for (const QString &line : label->shownLines())
            EXPECT_LE(label->fontMetrics().horizontalAdvance(line), label->contentsRect().width());
}

// The display as a reader sees it: tesseract reads the four lines back from
// the bar drawn at four times its size.
TEST_F(ControlBar, TheDisplayReadsBackWordForWord)
{
    const QString tesseract = QStandardPaths::findExecutable("tesseract");
    if (tesseract.isEmpty())
        GTEST_SKIP() << "tesseract is not installed (tools/install-deps.sh installs it)";
    frmNMain *bar = load();
    const QStringList texts = {"0:01:23 / 1:45:00", "Chapter: 1 of 3", "Language: English",
                               "Sample Disc"};
    bar->lblTime->setText(texts[0]);
    bar->lblChap->setText(texts[1]);
    bar->lblLan->setText(texts[2]);
    bar->lblDVDtit->setText(texts[3]);
    constexpr int kScale = 4;
    const QRect display = bar->Shape1->geometry();
    QImage shot(display.size() * kScale, QImage::Format_RGB32);
    QPainter painter(&shot);
    painter.scale(kScale, kScale);
    bar->render(&painter, QPoint(), QRegion(display));
    painter.end();
    QTemporaryDir folder;
    ASSERT_TRUE(shot.save(folder.filePath("display.png")));

    QProcess ocr;
    ocr.start(tesseract, {folder.filePath("display.png"), "stdout", "--psm", "6"});
    ASSERT_TRUE(ocr.waitForFinished(60000));
    const QString read = QString::fromUtf8(ocr.readAllStandardOutput()).simplified().toLower();
    for (const QString &text : texts)
        EXPECT_TRUE(read.contains(text.toLower())) << "read: " << read.toStdString();
}
