#include "core/coretest.h"
#include "core/playerstate.h"

#include "dvddb/frmadddvd.h"
#include "dvddb/frmdvddb.h"
#include "dvddb/frmimdb.h"
#include "dvddb/recordfile.h"
#include "dvddb/recordstore.h"
#include "platform/units.h"
#include "support/addresscatcher.h"
#include "support/testfiles.h"
#include "surfaces/frmmain.h"
#include "widgets/skinbutton.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

namespace
{

QImage filled(Qt::GlobalColor color)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QRgb shown(const QLabel *picture)
{
    return picture->pixmap().toImage().pixel(0, 0);
}

} // namespace

class DatabaseWindowsTest : public CoreTest
{
protected:
    void writeRecord(const QString &fileName, const QList<QByteArray> &lines)
    {
        QFile file(database.filePath(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (const QByteArray &line : lines)
            file.write(line + "\r\n");
    }

    static QStringList titles()
    {
        QStringList texts;
        for (int i = 0; i < browser()->List1->count(); ++i)
            texts << browser()->List1->item(i)->text();
        return texts;
    }

    static frmDVDdb *browser() { return form<frmDVDdb>(); }
    static frmAddDVD *editor() { return form<frmAddDVD>(); }
    static void select(int row) { browser()->List1->setCurrentRow(row); }
    static int selected()
    {
        const auto rows = browser()->List1->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    // "OK" in the editor; true when the editor closed.
    static bool pressOK()
    {
        QPointer<frmAddDVD> window = editor();
        window->skinButton3_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
};

TEST_F(DatabaseWindowsTest, AnEmptyFolderListsNothingAndAsksForASelection)
{
    EXPECT_EQ(browser()->List1->count(), 0);
    browser()->txtKey->setText("x");
    browser()->btnSearchDB_Click();
    browser()->skinButton1_Click();
    browser()->skinButton2_Click();
    EXPECT_EQ(messages(), QStringList({"Please select the record that you want to edit.",
                                       "Please select the record that you want to delete."}));
    EXPECT_TRUE(dialogs->questions.isEmpty());
    EXPECT_EQ(SettingsStore::Read(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection,
                                  SettingsKeys::kTotalRecords, "none"),
              "0");
}

TEST_F(DatabaseWindowsTest, TheSearchWalksOnFromItsLastFindAndStartsOverAfterAMiss)
{
    writeRecord("a.dvd", {"The STAR wars"});
    writeRecord("b.dvd", {"Other"});
    browser()->txtKey->setText("star");
    browser()->btnSearchDB_Click();
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(browser()->i1->text(), "The STAR wars");
    browser()->btnSearchDB_Click();
    EXPECT_EQ(selected(), 0) << "a miss leaves the selection";
    EXPECT_EQ(browser()->searchPos, 2);
    select(1);
    browser()->btnSearchDB_Click();
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(browser()->i1->text(), "The STAR wars");
}

TEST_F(DatabaseWindowsTest, ASelectedRecordShowsItsLinesAndPicture)
{
    ASSERT_TRUE(filled(Qt::red).save(database.filePath("red.jpg"), "BMP"));
    writeRecord("1.dvd", {"First", "Director", "", "", "", "", "", "", "red.jpg"});
    writeRecord("2.dvd", {"Second", "", "", "", "", "", "", "", "gone.bmp"});
    writeRecord("3.dvd", {"Third", "D3", "C3"});
    writeRecord("4.dvd", {"Fourth", "", "", "", "", "", "", "", "0"});
    select(0);
    EXPECT_EQ(browser()->i2->text(), "Director");
    EXPECT_EQ(browser()->i2->cursorPosition(), 0) << "a text longer than its box shows its start";
    EXPECT_EQ(shown(browser()->Image1), QColor(Qt::red).rgb());
    select(1);
    EXPECT_EQ(shown(browser()->Image1), QColor(Qt::red).rgb())
        << "a missing picture keeps the last";
    select(2);
    EXPECT_EQ(browser()->i3->text(), "C3");
    EXPECT_EQ(browser()->i4->text(), "");
    EXPECT_EQ(browser()->shownPicture, "");
    EXPECT_EQ(shown(browser()->Image1), QColor(Qt::red).rgb());
    select(3);
    EXPECT_EQ(browser()->Image1->pixmap().toImage(), browser()->defaultPicture.toImage());
}

TEST_F(DatabaseWindowsTest, TheWatchListsARecordCopiedInAtItsNextTick)
{
    writeRecord("a.dvd", {"A"});
    EXPECT_EQ(titles(), QStringList{"A"});
    EXPECT_TRUE(browser()->Timer1->isActive());
    writeRecord("B.DVD", {"B"});
    browser()->Timer1_Timer();
    EXPECT_EQ(titles(), QStringList({"A", "B"}));
    // Only the count is watched.
    QFile::rename(database.filePath("a.dvd"), database.filePath("c.dvd"));
    browser()->Timer1_Timer();
    EXPECT_EQ(browser()->List2.first(), database.filePath("a.dvd"));
}

TEST_F(DatabaseWindowsTest, AnotherDatabaseFolderIsListedFromTheNextRebuild)
{
    writeRecord("a.dvd", {"Old"});
    EXPECT_EQ(titles(), QStringList{"Old"});
    QTemporaryDir other;
    playerState().databaseFolder = other.path() + '/';
    EXPECT_EQ(titles(), QStringList{"Old"});
    browser()->MakeList();
    EXPECT_TRUE(titles().isEmpty());
}

TEST_F(DatabaseWindowsTest, NewTakesTheDiscIdentifierLockedOrLeavesTheBoxFree)
{
    browser()->iIn_Click();
    EXPECT_EQ(editor()->DVDid->text(), control->discId);
    EXPECT_TRUE(editor()->DVDid->isReadOnly());
    EXPECT_EQ(editor()->windowTitle(), ".: Add DVD title");
    unload<frmAddDVD>();
    control->failOn("DiscUniqueId", 1001, "No disc");
    browser()->iIn_Click();
    EXPECT_EQ(editor()->DVDid->text(), "");
    EXPECT_FALSE(editor()->DVDid->isReadOnly());
}

TEST_F(DatabaseWindowsTest, EditingARecordRewritesItAndTheListStaysParallel)
{
    ASSERT_TRUE(filled(Qt::blue).save(database.filePath("blue.bmp"), "BMP"));
    writeRecord("b.dvd", {"Beta", "", "", "", "", "", "", "", "blue.bmp"});
    writeRecord("c.dvd", {"Gamma"});
    select(0);
    browser()->skinButton1_Click();
    EXPECT_EQ(editor()->windowTitle(), ".: Edit DVD title");
    EXPECT_EQ(editor()->DVDid->text(), "b");
    EXPECT_TRUE(editor()->DVDid->isReadOnly());
    EXPECT_EQ(editor()->givenPicture, "blue.bmp");
    EXPECT_EQ(shown(editor()->Image1), QColor(Qt::blue).rgb());
    editor()->i1->setText("Alpha");
    ASSERT_TRUE(pressOK());
    EXPECT_EQ(browser()->i1->text(), "Alpha") << "the browser shows what was saved";

    // A new record saved from the editor is listed at once.
    editor()->DVDid->setText("a");
    editor()->i1->setText("Aleph");
    ASSERT_TRUE(pressOK());
    EXPECT_EQ(titles(), QStringList({"Aleph", "Alpha", "Gamma"}));
    for (int row = 0; row < 3; ++row) {
        select(row);
        EXPECT_EQ(browser()->i1->text(), titles()[row]);
    }
    select(1);
    EXPECT_EQ(browser()->shownPicture, "blue.bmp");
}

TEST_F(DatabaseWindowsTest, DeleteAsksThenRemovesTheEntryAndKeepsTheDisplay)
{
    writeRecord("a.dvd", {"Doomed", "Dir"});
    writeRecord("b.dvd", {"Kept"});
    select(0);
    browser()->skinButton2_Click();
    EXPECT_EQ(dialogs->questions, QStringList{"Are you sure that you want to delete from the "
                                              "database all the data of the 'Doomed' DVD?"});
    EXPECT_EQ(titles().size(), 2) << "No keeps the record";
    dialogs->yesNoAnswers = {true};
    browser()->skinButton2_Click();
    EXPECT_EQ(titles(), QStringList{"Kept"});
    EXPECT_EQ(browser()->List2, QStringList{database.filePath("b.dvd")});
    EXPECT_FALSE(QFile::exists(database.filePath("a.dvd")));
    EXPECT_EQ(browser()->i1->text(), "Doomed");
    EXPECT_EQ(selected(), -1);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DatabaseWindowsTest, ImportCopiesARecordInAndRefusesAPipe)
{
    QTemporaryDir elsewhere;
    QFile source(elsewhere.filePath("new.dvd"));
    ASSERT_TRUE(writeTestFile(source.fileName(), "Imported\r\n"));
    browser();
    dialogs->fileNames = {source.fileName()};
    browser()->skinButton5_Click();
    EXPECT_EQ(dialogs->fileFilters, QStringList{"KORVANE DVD database records (*.dvd)"});
    browser()->Timer1_Timer();
    EXPECT_EQ(titles(), QStringList{"Imported"});

    const QString pipe = elsewhere.filePath("pipe.dvd");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    dialogs->fileNames = {pipe};
    browser()->skinButton5_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains("not a file"));
}

TEST_F(DatabaseWindowsTest, OKRefusesAMissingTitleOrIdentifier)
{
    pressOK();
    editor()->i1->setText(" ");
    EXPECT_FALSE(pressOK());
    EXPECT_EQ(messages(), QStringList({"You have to write the name of your DVD to create a record.",
                                       "You have to write the unique ID of your DVD."}));
    editor()->DVDid->setText(" ");
    EXPECT_TRUE(pressOK()) << "spaces are a title and an identifier";
    EXPECT_TRUE(QFile::exists(database.filePath(" .dvd")));
}

TEST_F(DatabaseWindowsTest, ARecordThatCannotBeWrittenIsReportedAndTheInputKept)
{
    editor()->i1->setText("Title");
    editor()->DVDid->setText("../outside");
    EXPECT_FALSE(pressOK());
    playerState().databaseFolder = database.filePath("missing") + '/';
    editor()->DVDid->setText("ABC");
    EXPECT_FALSE(pressOK());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[0].contains("must not contain"));
    EXPECT_TRUE(messages()[1].contains("Cannot write"));
    EXPECT_EQ(editor()->i1->text(), "Title");
}

TEST_F(DatabaseWindowsTest, AChosenPictureIsSavedAsABitmapUnderItsOwnName)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(filled(Qt::green).save(elsewhere.filePath("cover.jpg"), "JPEG"));
    QFile text(elsewhere.filePath("notes.gif"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();

    dialogs->fileNames = {elsewhere.filePath("cover.jpg")};
    editor()->skinButton2_Click();
    EXPECT_TRUE(dialogs->fileFilters.constLast().contains("(*.png)"));
    const QRgb green = shown(editor()->Image1);
    // Cancelled: the earlier choice is loaded again.
    editor()->skinButton2_Click();
    dialogs->fileNames = {text.fileName()};
    editor()->skinButton2_Click();
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(shown(editor()->Image1), green) << "a file that is no picture keeps the last one";
    dialogs->fileNames = {elsewhere.filePath("cover.jpg")};
    editor()->skinButton2_Click();

    editor()->i1->setText("Film");
    editor()->DVDid->setText("ID");
    ASSERT_TRUE(pressOK());
    QFile saved(database.filePath("cover.jpg"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("BM"));
    writeRecord("z.dvd", {"Z"});
    browser()->MakeList();
    select(0);
    EXPECT_EQ(browser()->shownPicture, "cover.jpg");
    EXPECT_EQ(shown(browser()->Image1), green);
}

// Two records whose pictures both came from files named "cover.jpg": the
// second overwrote the first's picture.
TEST_F(DatabaseWindowsTest, PicturesOfTheSameNameStayEachRecordsOwn)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(filled(Qt::green).save(first.filePath("cover.jpg"), "BMP"));
    ASSERT_TRUE(filled(Qt::blue).save(second.filePath("cover.jpg"), "BMP"));
    const auto add = [&](const QString &picture, const QString &id) {
        dialogs->fileNames = {picture};
        editor()->skinButton2_Click();
        editor()->i1->setText(id);
        editor()->DVDid->setText(id);
        return pressOK();
    };
    ASSERT_TRUE(add(first.filePath("cover.jpg"), "ONE"));
    ASSERT_TRUE(add(second.filePath("cover.jpg"), "TWO"));
    EXPECT_EQ(RecordFile::readRecord(database.filePath("ONE.dvd")).value(8), "cover.jpg");
    EXPECT_EQ(RecordFile::readRecord(database.filePath("TWO.dvd")).value(8), "cover-2.jpg");
    EXPECT_EQ(RecordStore::loadRecordPicture(database.path() + '/', "cover.jpg").pixel(0, 0),
              QColor(Qt::green).rgb());
}

TEST_F(DatabaseWindowsTest, ThePictureFromTheDiscIsKeptUnderTheDiscsIdentifier)
{
    control->domain = DvdDomain::kVideoTitleSetMenu;
    editor()->show();
    EXPECT_FALSE(editor()->btnFromDisc->isEnabled());
    control->domain = DvdDomain::kTitle;
    emit control->DVDNotify(0, 0, 0);
    ASSERT_TRUE(editor()->btnFromDisc->isEnabled());
    control->picture = filled(Qt::red);
    editor()->btnFromDisc_Click();
    EXPECT_EQ(shown(editor()->Image1), QColor(Qt::red).rgb());
    editor()->i1->setText("Film");
    editor()->DVDid->setText("DISC");
    ASSERT_TRUE(pressOK());
    EXPECT_EQ(RecordFile::readRecord(database.filePath("DISC.dvd")).value(8), "DISC.bmp");
    EXPECT_EQ(RecordStore::loadRecordPicture(database.path() + '/', "DISC.bmp").pixel(0, 0),
              QColor(Qt::red).rgb());
}

// A record that is a link showed the lines of a file outside the folder.
TEST_F(DatabaseWindowsTest, ARecordThatIsALinkIsRefusedWithAMessage)
{
    QTemporaryDir outside;
    ASSERT_TRUE(writeTestFile(outside.filePath("secret"), "Secret line\r\n"));
    ASSERT_TRUE(QFile::link(outside.filePath("secret"), database.filePath("LINK.dvd")));
    browser()->MakeList();
    select(0);
    EXPECT_EQ(browser()->i1->text(), "");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains("symbolic link")) << messages()[0].toStdString();
}

TEST_F(DatabaseWindowsTest, DetectListsTheTitlesLanguagesLastStreamFirst)
{
    control->domain = DvdDomain::kVideoTitleSetMenu;
    editor()->i8->setText("typed");
    editor()->skinButton1_Click();
    EXPECT_EQ(editor()->i8->text(), "typed");
    EXPECT_EQ(messages(), QStringList{"To automatically detect the available audio streams for "
                                      "this DVD, you must hit this button while the main title "
                                      "is playing."});

    control->domain = DvdDomain::kTitle;
    editor()->skinButton1_Click();
    editor()->skinButton1_Click();
    EXPECT_EQ(editor()->i8->text(), "French, English, ");
    control->subpictureStreams = 0;
    editor()->i7->setText("typed");
    editor()->skinButton23_Click();
    EXPECT_EQ(editor()->i7->text(), "");
}

TEST_F(DatabaseWindowsTest, TheThreeWindowsTakeTheStoredScheme)
{
    const std::pair<const char *, int32_t> scheme[] = {
        {SettingsKeys::kBackColor, 0x102030},        {SettingsKeys::kOverColor, 0x00FFFF},
        {SettingsKeys::kButtonBackColor, 0x400000},  {SettingsKeys::kButtonForeColor, 0x00FF00},
        {SettingsKeys::kDisplayBackColor, 0x000040}, {SettingsKeys::kDisplayForeColor, 0xFFFFFF}};
    for (const auto &[key, color] : scheme)
        SettingsStore::Write(SettingsKeys::kPlayer, SettingsKeys::kColorsSection, key,
                             QString::number(color));
    for (QWidget *window : {static_cast<QWidget *>(browser()), static_cast<QWidget *>(editor()),
                            static_cast<QWidget *>(form<frmIMDb>())})
        EXPECT_EQ(window->palette().color(QPalette::Window), fromColorRef(0x102030));
    EXPECT_EQ(browser()->btnSearchDB->BackColor(), 0x400000);
    EXPECT_EQ(browser()->List1->palette().color(QPalette::Base), fromColorRef(0x000040));
    EXPECT_EQ(browser()->Label1->palette().color(QPalette::WindowText), fromColorRef(0x00FF00));
    EXPECT_EQ(editor()->DVDid->palette().color(QPalette::Text), fromColorRef(0xFFFFFF));
    EXPECT_EQ(form<frmIMDb>()->iIn->ForeOver(), 0x00FFFF);
}

TEST_F(DatabaseWindowsTest, TheMovieSearchEncodesOnlyWhatWouldBreakTheQuery)
{
    const QString rest = "&restrict=Movies+and+TV&GO.x=0&GO.y=0&GO=search";
    const QString base = "https://www.imdb.com/Tsearch?title=";
    EXPECT_EQ(frmIMDb::searchAddress("Star Wars"), base + "Star Wars" + rest);
    EXPECT_EQ(frmIMDb::searchAddress(QString::fromUtf8("Tom & Jerry #2 + 50%=?é")),
              base + QString::fromUtf8("Tom %26 Jerry %232 %2B 50%25%3D%3Fé") + rest);
    EXPECT_EQ(frmIMDb::searchAddress(""), base + rest);

    writeRecord("a.dvd", {"Star Wars"});
    select(0);
    browser()->skinButton3_Click();
    frmIMDb *search = form<frmIMDb>();
    EXPECT_EQ(search->keyWord->text(), "Star Wars");
    EXPECT_TRUE(search->isModal());
    AddressCatcher catcher({"https"});
    search->iIn_Click();
    search->iIn_Click();
    ASSERT_EQ(catcher.addresses.size(), 2);
    EXPECT_EQ(catcher.addresses[0].query(QUrl::FullyDecoded).section('&', 0, 0), "title=Star Wars");
    EXPECT_EQ(catcher.addresses[1], catcher.addresses[0]);
    EXPECT_TRUE(search->isVisible());
}
