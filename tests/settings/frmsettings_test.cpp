#include "surfaces/surfacetesting.h"

#include "core/module2.h"
#include "core/playerstate.h"
#include "platform/appdirs.h"
#include "platform/units.h"
#include "settings/decoderregistration.h"
#include "settings/frmsettings.h"
#include "settings/schemeeditor.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/qtprinters.h"
#include "support/scripteddialogs.h"
#include "support/testsettings.h"
#include "support/waitfor.h"
#include "surfaces/frmmain.h"
#include "surfaces/frmnav.h"
#include "surfaces/frmnmain.h"
#include "surfaces/frmsubp.h"
#include "widgets/skinbutton.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace SurfaceTesting;
using namespace SettingsKeys;

namespace
{

QString setting(const char *application, const char *section, const char *key)
{
    return SettingsStore::Read(application, section, key, QStringLiteral("<absent>"));
}

class SettingsWindow : public ScriptedControlTest
{
protected:
    void SetUp() override
    {
        ScriptedControlTest::SetUp();
        dialogs = ScriptedDialogs::install();
        resetSettings();
    }
    frmSettings *window() { return form<frmSettings>(); }
    QString writeScheme(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("scheme.cfx"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    ScriptedDialogs *dialogs = nullptr;
    QTemporaryDir dir;
};

const QByteArray kScheme = "KORVANE Vidora 2.2 Color scheme\r\n 1 \r\n 2 \r\n 3 \r\n 4 \r\n 5 \r\n"
                           " 6 \r\nNight\r\nAnn\r\n";

} // namespace

TEST_F(SettingsWindow, OpeningWithNoDiscShowsNoneDefaultsAndNoMessage)
{
    for (const char *operation :
         {"DiscUniqueId", "AudioStreamsAvailable", "AnglesAvailable", "SubpictureStreamsAvailable",
          "DVDDirectory", "CurrentDiscSide", "FramesPerSecond"})
        control->failOn(operation, ErrorNumbers::kNoDisc, QStringLiteral("No disc"));
    SettingsStore::Write(kPlayer, kSaveSection, kFullScreen, "yes");
    SettingsStore::Write(kPlayer, kSaveSection, kPlayAtStart, "yes");
    playerState().databaseFolder = "/folder/in/use/";
    frmSettings *settings = window();
    for (QLineEdit *box : {settings->Text1, settings->Text2, settings->Text5, settings->Text7})
        EXPECT_EQ(box->text(), "None");
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_TRUE(settings->Check3->isChecked());
    EXPECT_EQ(setting(kPlayer, kSaveSection, kFullScreen), "1") << "rewritten by its click";
    EXPECT_FALSE(settings->Ch2->isChecked());
    EXPECT_EQ(setting(kPlayer, kSaveSection, kPlayAtStart), "yes");
    EXPECT_EQ(settings->schemeEditor->txtName->text(), "Default");
    EXPECT_EQ(settings->schemeEditor->txtCreator->text(), "KORVANE");
    EXPECT_EQ(settings->schemeEditor->skinButton9->BackColor(), 0x404040);
    const QString folder = AppDirs::programDirectory() + "/DVDdb/";
    EXPECT_EQ(settings->Text8->text(), folder);
    EXPECT_EQ(setting(kDatabase, kDatabaseSection, kDatabasePath), folder);
    EXPECT_EQ(playerState().databaseFolder, "/folder/in/use/") << "showing it changes no folder";
}

TEST_F(SettingsWindow, TheDiscInformationAndPlayerOptionsAreLive)
{
    control->framesPerSecond = 30;
    frmSettings *settings = window();
    EXPECT_EQ(settings->Text7->text(), "30");
    settings->Ch->click();
    EXPECT_EQ(setting(kPlayer, kSaveSection, kAutoBookmark), "1");
    settings->Ch->click();
    EXPECT_EQ(setting(kPlayer, kSaveSection, kAutoBookmark), "0");
    ASSERT_TRUE(waitFor([] { return form<frmMain>()->isHostLoaded(); }, 2000))
        << "the timer's first tick loads the menu host";
}

TEST_F(SettingsWindow, ApplyRecoloursTheBarAtOnceAndSaveCloses)
{
    frmNMain bar;
    Forms::detail::instances()[std::type_index(typeid(frmNMain))] = &bar;
    frmNav *pad = form<frmNav>();
    const int32_t padBefore = pad->btnUp->BackColor();
    frmSettings *settings = window();
    dialogs->colors = {QColor(0, 0, 255), std::nullopt};
    emit settings->schemeEditor->skinButton7->Click();
    EXPECT_EQ(settings->schemeEditor->skinButton7->BackColor(), 0xFF0000);
    emit settings->schemeEditor->skinButton7->Click(); // cancelled
    EXPECT_EQ(settings->schemeEditor->skinButton7->BackColor(), 0xFF0000);
    settings->schemeEditor->skinButton3->setBackColor(0x00FF00);
    settings->schemeEditor->txtName->setText("Green");
    emit settings->schemeEditor->skinButton5->Click();
    EXPECT_EQ(setting(kPlayer, kColorsSection, kButtonBackColor), "16711680");
    EXPECT_EQ(setting(kPlayer, kColorsSection, kSchemeName), "Green");
    EXPECT_EQ(bar.btnPlay->BackColor(), 0xFF0000);
    EXPECT_EQ(bar.btnFF->BackColor(), 0x00FF00);
    EXPECT_EQ(toColorRef(bar.Shape1->palette().color(QPalette::Window)), 0x00FF00);
    EXPECT_EQ(toColorRef(bar.lblTime->palette().color(QPalette::WindowText)), 0x404040);
    EXPECT_EQ(pad->btnUp->BackColor(), padBefore) << "open windows wait for their next load";
    EXPECT_TRUE(isLoaded<frmSettings>());
    emit settings->schemeEditor->skinButton6->Click();
    flushDeletes();
    EXPECT_FALSE(isLoaded<frmSettings>());
    Forms::detail::instances().erase(std::type_index(typeid(frmNMain)));

    unload<frmNav>();
    EXPECT_EQ(form<frmNav>()->btnUp->BackColor(), 0xFF0000) << "its next load takes the scheme";
}

TEST_F(SettingsWindow, TheDefaultSchemeAsksThenStoresTheMarkersAndCloses)
{
    SettingsStore::Write(kPlayer, kColorsSection, kBackColor, "255");
    frmSettings *settings = window();
    EXPECT_EQ(settings->schemeEditor->skinButton1->BackColor(), 255);
    dialogs->yesNoAnswers = {false, true};
    emit settings->schemeEditor->skinButton12->Click();
    EXPECT_EQ(setting(kPlayer, kColorsSection, kBackColor), "255");
    emit settings->schemeEditor->skinButton12->Click();
    EXPECT_EQ(dialogs->questions.size(), 2);
    for (const char *key : {kBackColor, kOverColor, kButtonBackColor, kButtonForeColor,
                            kDisplayBackColor, kDisplayForeColor})
        EXPECT_EQ(setting(kPlayer, kColorsSection, key), "0");
    EXPECT_EQ(setting(kPlayer, kColorsSection, kSchemeName), "Default");
    EXPECT_EQ(setting(kPlayer, kColorsSection, kSchemeCreator), "KORVANE");
    EXPECT_EQ(takeMessages(),
              QStringList{"You must restart Vidora to restore the default color scheme."});
    flushDeletes();
    EXPECT_FALSE(isLoaded<frmSettings>());
}

TEST_F(SettingsWindow, SchemeFilesLoadAndSaveThroughTheirDialogs)
{
    frmSettings *settings = window();
    dialogs->fileNames = {writeScheme(kScheme)};
    emit settings->schemeEditor->skinButton11->Click();
    EXPECT_EQ(dialogs->fileFilters, QStringList{"Vidora color scheme (*.cfx)"});
    EXPECT_EQ(settings->schemeEditor->skinButton9->BackColor(), 6);
    EXPECT_EQ(settings->schemeEditor->txtCreator->text(), "Ann");
    EXPECT_EQ(takeMessages(),
              QStringList{"You must select APPLY or SAVE to activate the loaded color scheme."});
    EXPECT_EQ(setting(kPlayer, kColorsSection, kBackColor), "<absent>") << "nothing stored yet";

    const QString saved = dir.filePath("copy.cfx");
    dialogs->fileNames = {saved};
    emit settings->schemeEditor->skinButton10->Click();
    QFile copy(saved);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), kScheme);

    emit settings->schemeEditor->skinButton10->Click(); // cancelled: no name
    const QStringList cancelled = takeMessages();
    ASSERT_EQ(cancelled.size(), 1);
    EXPECT_TRUE(cancelled[0].startsWith("1006\n")) << cancelled[0].toStdString();
    emit settings->schemeEditor->skinButton11->Click(); // cancelled: silent
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(SettingsWindow, ABadSchemeFileSaysSoAndKeepsWhatWasRead)
{
    frmSettings *settings = window();
    settings->schemeEditor->ColorLoad(writeScheme(QByteArray(kScheme).replace("2.2", "2.3")));
    EXPECT_EQ(takeMessages(),
              QStringList{"The selected file is not a valid KORVANE Vidora 2.2 color scheme."});
    EXPECT_EQ(settings->schemeEditor->skinButton1->BackColor(), 0x404040);

    settings->schemeEditor->ColorLoad(writeScheme(QByteArray(kScheme).replace(" 4 ", "red")));
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("1004\n")) << messages[0].toStdString();
    EXPECT_EQ(settings->schemeEditor->skinButton7->BackColor(), 3);
    EXPECT_EQ(settings->schemeEditor->skinButton2->BackColor(), 0x404040);
    EXPECT_EQ(settings->schemeEditor->txtName->text(), "Default");
}

TEST_F(SettingsWindow, TheDatabaseTabStoresTheFolderWithItsSeparatorAndCloses)
{
    frmSettings *settings = window();
    settings->Text8->setText("/media/My DVDs");
    settings->Check1->setChecked(true);
    emit settings->skinButton13->Click();
    EXPECT_EQ(setting(kDatabase, kDatabaseSection, kDatabasePath), "/media/My DVDs/");
    EXPECT_EQ(playerState().databaseFolder, "/media/My DVDs/");
    EXPECT_EQ(setting(kDatabase, kDatabaseSection, kAddNew), "1");
    EXPECT_EQ(setting(kDatabase, kDatabaseSection, kShowInfo), "0");
    flushDeletes();
    EXPECT_FALSE(isLoaded<frmSettings>());
}

TEST_F(SettingsWindow, TheDecoderButtonsWriteTheirBatchFiles)
{
    EXPECT_EQ(
        DecoderRegistration::batch("/home/a b/vidora", true),
        "cd \"/home/a b/vidora\"\r\nregsvr32 MPG2AUDIO.AX\r\nregsvr32 MPG2VIDEO.AX\r\nexit\r\n");
    emit window()->skinButton15->Click();
    QFile batch(AppDirs::programDirectory() + "/uninstalldecoders.bat");
    ASSERT_TRUE(batch.open(QIODevice::ReadOnly));
    EXPECT_TRUE(batch.readAll().contains("regsvr32 /u MPG2VIDEO.AX\r\n"));
    EXPECT_EQ(takeMessages(), QStringList{"If the uninstallation of both decoders was successful "
                                          "you will get two message boxes informing the success."});
    EXPECT_TRUE(window()->lblDecoders->text().contains("MPEG-2"));
}

TEST_F(SettingsWindow, EachWindowTakesItsOwnRowOfTheScheme)
{
    const char *keys[] = {kBackColor,       kOverColor,        kButtonBackColor,
                          kButtonForeColor, kDisplayBackColor, kDisplayForeColor};
    for (int index = 0; index < 6; ++index)
        SettingsStore::Write(kPlayer, kColorsSection, keys[index], QString::number(index + 1));
    const auto color = [](QWidget *widget, QPalette::ColorRole role) {
        return toColorRef(widget->palette().color(role));
    };
    ShowMessage("In colour");
    BOX *box = BOX::openWindows().last();
    EXPECT_EQ(color(box, QPalette::Window), 5);
    EXPECT_EQ(box->skinButton1->BackColor(), 3);
    EXPECT_EQ(color(box->msg, QPalette::Text), 6);

    frmNav *pad = form<frmNav>();
    EXPECT_EQ(color(pad, QPalette::Window), 1);
    EXPECT_EQ(pad->btnActive->ForeOver(), 2);

    frmSubp *subtitles = form<frmSubp>();
    EXPECT_EQ(color(subtitles, QPalette::Window), 1);
    EXPECT_EQ(subtitles->skinButton1->ForeColor(), 4);
    EXPECT_EQ(color(subtitles->List1, QPalette::Base), 5);

    EXPECT_EQ(window()->schemeEditor->skinButton5->BackColor(), 0x404040)
        << "the settings window keeps its look";
    EXPECT_EQ(window()->schemeEditor->skinButton1->BackColor(), 1)
        << "its swatch shows the stored colour";
}
