#include "surfacetesting.h"

#include "engine/control/dvdcontrolinstance.h"
#include "platform/desktop.h"
#include "support/qtprinters.h"
#include "support/scripteddvdcontrol.h"
#include "surfaces/frmangle.h"
#include "surfaces/frmlanguage.h"
#include "surfaces/frmsubp.h"
#include "widgets/skinbutton.h"

#include <QListWidget>

#include <gtest/gtest.h>

using namespace SurfaceTesting;

namespace
{

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void clickEntry(QListWidget *list, int row)
{
    const QRect at = list->visualItemRect(list->item(row));
    click(list->viewport(), Qt::LeftButton, at.center());
}

// A disc whose second audio stream has a language the control cannot read.
class UnreadableSecondLanguage : public ScriptedDvdControl
{
public:
    QString AudioLanguage(int stream) const override
    {
        if (stream == 1)
            throw AppError(ErrorNumbers::kUnexpected, QStringLiteral("No language"));
        return ScriptedDvdControl::AudioLanguage(stream);
    }
};

class StreamDialogs : public ScriptedControlTest
{
};

} // namespace

TEST_F(StreamDialogs, TwoAudioStreamsInStreamOrderAndTheSecondSelectsStreamOne)
{
    auto *dialog = form<frmLanguage>();
    EXPECT_EQ(dialog->windowTitle(), ".: Select Audio Stream");
    EXPECT_TRUE(Desktop::isStayOnTop(dialog));
    EXPECT_EQ(entries(dialog->List1), QStringList({"English", "French"}));
    clickEntry(dialog->List1, 1);
    EXPECT_EQ(control->calls, QStringList{"setCurrentAudioStream(1)"});
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_TRUE(dialog->isVisible()) << "stays open for further choices";
}

TEST_F(StreamDialogs, AnUnreadableLanguageIsLeftOutWithoutShiftingTheOthers)
{
    auto patchy = std::make_unique<UnreadableSecondLanguage>();
    patchy->audioStreams = 3;
    patchy->audioLanguages = QStringList{"English", "French", "German"};
    auto *disc = patchy.get();
    installDvdControl(std::move(patchy));
    auto *dialog = form<frmLanguage>();
    EXPECT_EQ(entries(dialog->List1), QStringList({"English", "German"}));
    clickEntry(dialog->List1, 1);
    EXPECT_EQ(disc->calls, QStringList{"setCurrentAudioStream(2)"});
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(StreamDialogs, ARefusedChoiceShowsTheControlsDescriptionAndStaysOpen)
{
    control->failOn("setCurrentAudioStream", 0x80040290, "The stream is not available now.");
    auto *dialog = form<frmLanguage>();
    clickEntry(dialog->List1, 0);
    EXPECT_EQ(takeMessages(), QStringList{"The stream is not available now."});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(StreamDialogs, ACountThatCannotBeReadLeavesTheListEmptyAndSilent)
{
    control->failOn("AudioStreamsAvailable", 1001, "No disc");
    auto *dialog = form<frmLanguage>();
    EXPECT_EQ(dialog->List1->count(), 0);
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(StreamDialogs, ADamagedCountListsNoMoreThanADiscCanHave)
{
    control->angles = 1 << 30;
    EXPECT_EQ(form<frmAngle>()->List1->count(), 32);
}

TEST_F(StreamDialogs, ActivationRefillsTheListAndClearsTheSelectionMark)
{
    auto *dialog = form<frmLanguage>();
    clickEntry(dialog->List1, 1);
    ASSERT_EQ(dialog->List1->currentRow(), 1);
    control->audioStreams = 3;
    control->audioLanguages << "Italian";
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(dialog, &activate);
    EXPECT_EQ(entries(dialog->List1), QStringList({"English", "French", "Italian"}));
    EXPECT_TRUE(dialog->List1->selectedItems().isEmpty());
}

TEST_F(StreamDialogs, CancelClosesTheDialogAndKeepsTheChoice)
{
    auto *dialog = form<frmLanguage>();
    clickEntry(dialog->List1, 1);
    click(dialog->skinButton5);
    flushDeletes();
    EXPECT_FALSE(isLoaded<frmLanguage>());
    EXPECT_EQ(control->audioStream, 1);
    EXPECT_EQ(control->calls, QStringList{"setCurrentAudioStream(1)"});
}

TEST_F(StreamDialogs, NoSubtitleStreamsGiveAnEmptyListAndNoSubtitlesStillWorks)
{
    control->subpictureStreams = 0;
    control->subpictureOn = true;
    auto *dialog = form<frmSubp>();
    EXPECT_EQ(dialog->windowTitle(), ".: Select Subtitles");
    EXPECT_EQ(dialog->List1->count(), 0);
    EXPECT_EQ(dialog->skinButton1->Caption(), "No Subtitles");
    click(dialog->skinButton1);
    EXPECT_EQ(control->calls, QStringList{"setSubpictureOn(0)"});
    EXPECT_FALSE(control->subpictureOn);
}

TEST_F(StreamDialogs, ASubtitleChoiceSetsTheStreamOnlyAndARefusedOffIsSilent)
{
    control->failOn("setSubpictureOn", 0x80040290, "Not now");
    auto *dialog = form<frmSubp>();
    EXPECT_EQ(entries(dialog->List1), QStringList({"English", "German"}));
    click(dialog->skinButton1);
    EXPECT_TRUE(takeMessages().isEmpty());
    clickEntry(dialog->List1, 1);
    EXPECT_EQ(control->calls, QStringList({"setSubpictureOn(0)", "setCurrentSubpictureStream(1)"}));
}

TEST_F(StreamDialogs, ThreeAnglesListOneToThreeAndEachSelectsTheAngleItShows)
{
    control->angles = 3;
    auto *dialog = form<frmAngle>();
    EXPECT_EQ(dialog->windowTitle(), ".: Select Angle");
    EXPECT_EQ(entries(dialog->List1), QStringList({" 1", " 2", " 3"}));
    clickEntry(dialog->List1, 0);
    clickEntry(dialog->List1, 2);
    EXPECT_EQ(control->calls, QStringList({"setCurrentAngle(1)", "setCurrentAngle(3)"}));
    EXPECT_EQ(dialog->skinButton5->Caption(), "CANCEL");
    EXPECT_TRUE(dialog->skinButton5->ShowFocusRect());
}

TEST_F(StreamDialogs, ARefusedAngleShowsTheControlsDescription)
{
    control->angles = 2;
    control->failOn("setCurrentAngle", 0x80040290, "The angle cannot be changed now.");
    auto *dialog = form<frmAngle>();
    clickEntry(dialog->List1, 1);
    EXPECT_EQ(takeMessages(), QStringList{"The angle cannot be changed now."});
}
