#include "coretest.h"

#include "core/dvd.h"
#include "core/functions.h"
#include "core/playerstate.h"
#include "dvddb/frmadddvd.h"
#include "dvddb/frmdvddb.h"
#include "settings/frmsettings.h"
#include "surfaces/frmnmain.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>

namespace
{

const QString kDiscId = "0123456789abcdef0123456789abcdef";

QByteArray recordBytes(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

} // namespace

class DvdNotifyTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        form<DVD>(); // connects the handler to the control
        control->domain = DvdDomain::kTitle;
    }

    void writeRecord(const QString &fileName, const QList<QByteArray> &lines)
    {
        QFile file(database.filePath(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(recordBytes(lines));
    }

    void notify(int32_t timeCode = TimeCode{0, 1, 2, 0}.pack())
    {
        control->notify(DvdEvent::kCurrentTime, timeCode);
    }

    static QString discTitle() { return form<frmNMain>()->lblDVDtit->text(); }
    static bool editorShown() { return isLoaded<frmAddDVD>() && form<frmAddDVD>()->isVisible(); }
    static bool browserShown() { return isLoaded<frmDVDdb>() && form<frmDVDdb>()->isVisible(); }
};

TEST_F(DvdNotifyTest, EveryNotificationRewritesTheDisplay)
{
    control->chapter = 3;
    control->audioStream = 1;
    form<frmNMain>()->imgDVDlogo->hide();
    control->notify(DvdEvent::kChapterStart, TimeCode{0, 1, 2, 0}.pack(), 3);
    frmNMain *bar = form<frmNMain>();
    EXPECT_EQ(bar->lblTime->text(), "0:01:02 / 1:45:00");
    EXPECT_EQ(bar->lblLan->text(), "Language: French");
    EXPECT_EQ(bar->lblChap->text(), "Chapter: 3 of 28");
    EXPECT_FALSE(bar->imgDVDlogo->isHidden());

    // A parameter that is no time code is still converted.
    notify(-1);
    EXPECT_EQ(bar->lblTime->text(), "255:255:255 / 1:45:00");
}

TEST_F(DvdNotifyTest, TheControlsOwnStopNotificationLeavesTheDisplayCleared)
{
    setDatabaseOption(SettingsKeys::kAddNew, "1");
    notify();
    unload<frmAddDVD>();
    Functions::StopDisc();
    control->domain = DvdDomain::kStop;
    control->notify(DvdEvent::kDomainChange, TimeCode{0, 1, 2, 0}.pack(), DvdDomain::kStop);
    frmNMain *bar = form<frmNMain>();
    EXPECT_EQ(bar->lblTime->text(), "");
    EXPECT_EQ(bar->lblDVDtit->text(), "");
    EXPECT_TRUE(bar->imgDVDlogo->isHidden());
    EXPECT_FALSE(isLoaded<frmAddDVD>());
}

TEST_F(DvdNotifyTest, AFailingQueryLeavesItsLabelAsItWas)
{
    notify();
    control->failOn("TotalTitleTime", 1001, "No disc");
    control->failOn("ChapterCount", 1001, "No disc");
    control->chapter = 9;
    notify(TimeCode{0, 5, 0, 0}.pack());
    EXPECT_EQ(form<frmNMain>()->lblTime->text(), "0:01:02 / 1:45:00");
    EXPECT_EQ(form<frmNMain>()->lblChap->text(), "Chapter: 1 of 28");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DvdNotifyTest, AnEmptyDatabaseOffersTheEditorOnceWithTheIdLocked)
{
    setDatabaseOption(SettingsKeys::kAddNew, "1");
    notify();
    EXPECT_EQ(discTitle(), "Unknown DVD");
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(form<frmAddDVD>()->DVDid->text(), kDiscId);
    EXPECT_TRUE(form<frmAddDVD>()->DVDid->isReadOnly());
    EXPECT_TRUE(playerState().databaseWindowShown);

    unload<frmAddDVD>();
    notify();
    EXPECT_FALSE(isLoaded<frmAddDVD>());
    EXPECT_EQ(discTitle(), "Unknown DVD");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DvdNotifyTest, TheRecordIsFoundByExactNameWhateverTheExtensionCase)
{
    writeRecord(kDiscId + ".DVD", {"Caf\xe9 Noir", "Director"});
    const frmSettings *settings = form<frmSettings>();
    notify();
    EXPECT_EQ(discTitle(), QString::fromUtf8("Café Noir"));
    EXPECT_EQ(settings->DVDname->text(), QString::fromUtf8("Café Noir"));
}

TEST_F(DvdNotifyTest, ANameDifferingOnlyInCaseIsAnotherDisc)
{
    writeRecord(kDiscId.toUpper() + ".dvd", {"Someone else's disc"});
    notify();
    EXPECT_EQ(discTitle(), "Unknown DVD");
}

TEST_F(DvdNotifyTest, ADiscWithoutIdentifierIsUnknown)
{
    writeRecord(kDiscId + ".dvd", {"Known"});
    control->failOn("DiscUniqueId", 1001, "No disc");
    setDatabaseOption(SettingsKeys::kAddNew, "1");
    notify();
    EXPECT_EQ(discTitle(), "Unknown DVD");
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(form<frmAddDVD>()->DVDid->text(), "");
}

TEST_F(DvdNotifyTest, AKnownDiscShowsItsRecordOncePerPlay)
{
    writeRecord(kDiscId + ".dvd", {"The Film", "A. Director", "Studio", "1999", "Actors", "Fine",
                                   "English, ", "French, English, ", "0"});
    setDatabaseOption(SettingsKeys::kShowInfo, "1");
    notify();
    ASSERT_TRUE(browserShown());
    frmDVDdb *browser = form<frmDVDdb>();
    EXPECT_EQ(browser->i1->text(), "The Film");
    EXPECT_EQ(browser->i4->text(), "1999");
    EXPECT_EQ(browser->i8->text(), "French, English, ");
    EXPECT_EQ(browser->shownPicture, "0");

    unload<frmDVDdb>();
    notify();
    EXPECT_FALSE(isLoaded<frmDVDdb>());

    Functions::StopDisc();
    Functions::PlayDisc();
    notify();
    EXPECT_TRUE(browserShown());
    EXPECT_EQ(discTitle(), "The Film");
}

TEST_F(DvdNotifyTest, ARecordWithoutTitleIsUnknownButItsLinesAreStillShown)
{
    writeRecord(kDiscId + ".dvd", {"", "Director only"});
    setDatabaseOption(SettingsKeys::kShowInfo, "1");
    notify();
    EXPECT_EQ(discTitle(), "Unknown DVD");
    ASSERT_TRUE(browserShown());
    EXPECT_EQ(form<frmDVDdb>()->i2->text(), "Director only");
    EXPECT_EQ(form<frmDVDdb>()->i3->text(), "");
    EXPECT_EQ(form<frmDVDdb>()->shownPicture, "");
}

TEST_F(DvdNotifyTest, ThePromptsFollowAddNewAndShowInfo)
{
    struct Case {
        const char *addNew;
        const char *showInfo;
        bool known;
        bool editor;
        bool browser;
    };
    const Case cases[] = {
        {"0", "0", false, false, false}, {"1", "0", false, true, false},
        {"0", "1", false, false, false}, {"1", "1", false, true, false},
        {"0", "0", true, false, false},  {"1", "0", true, false, false},
        {"0", "1", true, false, true},   {"yes", "yes", true, false, true},
    };
    for (const Case &c : cases) {
        QFile::remove(database.filePath(kDiscId + ".dvd"));
        if (c.known)
            writeRecord(kDiscId + ".dvd", {"Known"});
        setDatabaseOption(SettingsKeys::kAddNew, c.addNew);
        setDatabaseOption(SettingsKeys::kShowInfo, c.showInfo);
        Functions::StopDisc();
        notify();
        const std::string label = std::string("AddNew ") + c.addNew + ", ShowInfo " + c.showInfo +
                                  (c.known ? ", known" : ", unknown");
        EXPECT_EQ(editorShown(), c.editor) << label;
        EXPECT_EQ(browserShown(), c.browser) << label;
        EXPECT_EQ(discTitle(), c.known ? "Known" : "Unknown DVD") << label;
        unload<frmAddDVD>();
        unload<frmDVDdb>();
    }
}

TEST_F(DvdNotifyTest, AnotherDiscWithoutAStopOpensNoWindow)
{
    setDatabaseOption(SettingsKeys::kAddNew, "1");
    setDatabaseOption(SettingsKeys::kShowInfo, "1");
    notify();
    ASSERT_TRUE(editorShown());
    unload<frmAddDVD>();

    control->discId = "another";
    writeRecord("another.dvd", {"Another"});
    notify();
    EXPECT_FALSE(isLoaded<frmAddDVD>());
    EXPECT_FALSE(isLoaded<frmDVDdb>());
    EXPECT_EQ(discTitle(), "Another");
}

TEST_F(DvdNotifyTest, TheRecordsPictureIsShownAndNoPictureMeansTheDefault)
{
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    // Stored as a bitmap under the name of a JPEG, as the editor does.
    ASSERT_TRUE(red.save(database.filePath("cover.jpg"), "BMP"));
    writeRecord(kDiscId + ".dvd", {"Film", "", "", "", "", "", "", "", "cover.jpg"});
    setDatabaseOption(SettingsKeys::kShowInfo, "1");
    notify();
    frmDVDdb *browser = form<frmDVDdb>();
    EXPECT_EQ(browser->Image1->pixmap().toImage().pixel(0, 0), QColor(Qt::red).rgb());

    // A missing picture keeps the one shown.
    writeRecord(kDiscId + ".dvd", {"Film", "", "", "", "", "", "", "", "gone.jpg"});
    Functions::StopDisc();
    notify();
    EXPECT_EQ(browser->Image1->pixmap().toImage().pixel(0, 0), QColor(Qt::red).rgb());

    writeRecord(kDiscId + ".dvd", {"Film", "", "", "", "", "", "", "", "0"});
    Functions::StopDisc();
    notify();
    EXPECT_EQ(browser->Image1->pixmap().toImage(), browser->defaultPicture.toImage());
}
