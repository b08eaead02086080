#include "coretest.h"

#include "core/dvd.h"
#include "core/functions.h"
#include "core/playerstate.h"
#include "settings/frmsettings.h"
#include "surfaces/frmnmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <functional>

namespace
{

const QStringList kRefusals = {
    "This operation is not permitted at this time, please wait ",
    "This operation is not permitted from the Video Manager Menu",
    "This operation is not permitted from the Video Title Set Menu",
    "This operation is not permitted while the disc is playing, click stop first ",
    "This operation is not permitted while the disc is stopped, click play first ",
};

struct Command {
    const char *name;
    std::function<void()> run;
    QString call; // what the control receives when the command acts
};

} // namespace

using FunctionsTest = CoreTest;

TEST_F(FunctionsTest, CallDomainNamesEachDomainAndNothingElse)
{
    for (int domain = 1; domain <= 5; ++domain) {
        control->domain = domain;
        Functions::CallDomain();
        EXPECT_EQ(messages().value(domain - 1), kRefusals[domain - 1]);
    }
    for (int domain : {0, 6, -1}) {
        control->domain = domain;
        Functions::CallDomain();
    }
    EXPECT_EQ(messages().size(), 5);
}

TEST_F(FunctionsTest, ChapterCommandsActOnlyDuringTitlePlaybackAndNeverSpeak)
{
    const Command commands[] = {{"next", &Functions::NextChapter, "PlayNextChapter"},
                                {"previous", &Functions::PreviousChapter, "PlayPrevChapter"}};
    for (const Command &command : commands) {
        for (int domain = 1; domain <= 5; ++domain) {
            control->domain = domain;
            control->calls.clear();
            command.run();
            const QStringList expected =
                domain == DvdDomain::kTitle ? QStringList{command.call} : QStringList{};
            EXPECT_EQ(control->calls, expected) << command.name << " in domain " << domain;
        }
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(FunctionsTest, MenuCommandsAreRefusedInFirstPlayAndStopWithTheReason)
{
    const Command commands[] = {
        {"root", &Functions::ShowRootMenu, "ShowMenu(3)"},
        {"title", &Functions::ShowTitleMenu, "ShowMenu(2)"},
        {"audio", &Functions::ShowAudioMenu, "ShowMenu(5)"},
        {"angle", &Functions::ShowAngleMenu, "ShowMenu(6)"},
        {"chapter", &Functions::ShowChapterMenu, "ShowMenu(7)"},
        {"subpicture", &Functions::ShowSubpictureMenu, "ShowMenu(4)"},
        {"resume", &Functions::ResumeFromMenu, "Resume"},
    };
    for (const Command &command : commands) {
        for (int domain = 1; domain <= 5; ++domain) {
            control->domain = domain;
            control->calls.clear();
            const qsizetype before = messages().size();
            command.run();
            const bool refused = domain == DvdDomain::kFirstPlay || domain == DvdDomain::kStop;
            EXPECT_EQ(control->calls, refused ? QStringList{} : QStringList{command.call})
                << command.name << " in domain " << domain;
            const QStringList shown = messages().mid(before);
            EXPECT_EQ(shown, refused ? QStringList{kRefusals[domain - 1]} : QStringList{})
                << command.name << " in domain " << domain;
        }
    }
}

TEST_F(FunctionsTest, MenuCommandsShowNothingWhenTheDomainCannotBeRead)
{
    control->failOn("CurrentDomain", 1001, "No disc");
    Functions::ShowRootMenu();
    Functions::ResumeFromMenu();
    EXPECT_TRUE(control->calls.isEmpty());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(FunctionsTest, NavigationCommandsActOnlyInMenus)
{
    const Command commands[] = {
        {"left", &Functions::MenuLeft, "SelectLeftButton"},
        {"right", &Functions::MenuRight, "SelectRightButton"},
        {"up", &Functions::MenuUp, "SelectUpperButton"},
        {"down", &Functions::MenuDown, "SelectLowerButton"},
        {"activate", &Functions::MenuActivate, "ActivateButton"},
    };
    for (const Command &command : commands) {
        for (int domain = 1; domain <= 5; ++domain) {
            control->domain = domain;
            control->calls.clear();
            command.run();
            const bool inMenu =
                domain == DvdDomain::kVideoManagerMenu || domain == DvdDomain::kVideoTitleSetMenu;
            EXPECT_EQ(control->calls, inMenu ? QStringList{command.call} : QStringList{})
                << command.name << " in domain " << domain;
        }
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(FunctionsTest, PlayShowsTheVideoWindowAsItIsWithFullScreenOff)
{
    Functions::PlayDisc();
    ASSERT_TRUE(isLoaded<DVD>());
    EXPECT_TRUE(form<DVD>()->isVisible());
    EXPECT_FALSE(form<DVD>()->isFullScreen());
    EXPECT_EQ(control->calls, QStringList{"Play"});
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(FunctionsTest, PlayWithFullScreenOnEntersFullScreenOnceAndStaysThere)
{
    setPlayerOption(SettingsKeys::kFullScreen, "yes");
    Functions::PlayDisc();
    EXPECT_TRUE(form<DVD>()->isFullScreen());
    Functions::PlayDisc();
    EXPECT_TRUE(form<DVD>()->isFullScreen());
    EXPECT_EQ(control->calls, QStringList({"Play", "Play"}));
}

TEST_F(FunctionsTest, PlayWithFullScreenOnLeavesAMinimisedWindowInFullScreen)
{
    setPlayerOption(SettingsKeys::kFullScreen, "1");
    form<DVD>()->showMinimized();
    Functions::PlayDisc();
    EXPECT_TRUE(form<DVD>()->isFullScreen());
    EXPECT_FALSE(form<DVD>()->isMinimized());
}

TEST_F(FunctionsTest, DecoderFailuresPointAtTheDecoderTab)
{
    control->failOn("Play", -2147217418, "The video decoder could not start.");
    Functions::PlayDisc();
    EXPECT_EQ(messages(), QStringList{"The video decoder could not start. You should try to "
                                      "reinstall the DVD decoders."});
    ASSERT_TRUE(isLoaded<frmSettings>());
    EXPECT_TRUE(form<frmSettings>()->isVisible());
    EXPECT_EQ(form<frmSettings>()->Tab->currentIndex(), 1);

    unload<frmSettings>();
    control->failOn("Play", -2147217415, "No MPEG-2 decoder.");
    Functions::PlayDisc();
    EXPECT_EQ(messages().value(1),
              "No MPEG-2 decoder.\nInstall the software DVD decoders available with this DVD "
              "player.");
    EXPECT_EQ(form<frmSettings>()->Tab->currentIndex(), 1);
}

TEST_F(FunctionsTest, OtherPlayFailuresShowTheirNumberAndOpenNothing)
{
    control->failOn("Play", 5, "Invalid procedure call");
    Functions::PlayDisc();
    EXPECT_EQ(messages(), QStringList{"Invalid procedure call\nERR.NO: 5"});
    EXPECT_FALSE(isLoaded<frmSettings>());
}

// A Play that returned while the drive was reading fails later: the video
// window reports it as the play command reports its own failures.
TEST_F(FunctionsTest, APlayThatFailsAfterReturningIsReportedLikeAnyPlayFailure)
{
    Functions::PlayDisc();
    EXPECT_TRUE(messages().isEmpty());
    emit control->PlayFailed(1002, "The drive of \"/dev/sr0\" does not answer.");
    EXPECT_EQ(messages(), QStringList{"The drive of \"/dev/sr0\" does not answer.\nERR.NO: 1002"});
}

TEST_F(FunctionsTest, StopClearsTheDisplayAndForgetsThePrompt)
{
    frmNMain *bar = form<frmNMain>();
    for (QLabel *label : {bar->lblTime, bar->lblLan, bar->lblChap, bar->St, bar->lblDVDtit})
        label->setText("something");
    bar->setWindowTitle("changed");
    bar->imgDVDlogo->show();
    playerState().databaseWindowShown = true;
    playerState().discName = "My disc";
    control->failOn("Stop", 1001, "No disc");

    Functions::StopDisc();

    EXPECT_EQ(control->calls, QStringList{"Stop"});
    for (QLabel *label : {bar->lblTime, bar->lblLan, bar->lblChap, bar->St, bar->lblDVDtit})
        EXPECT_EQ(label->text(), "");
    EXPECT_TRUE(bar->imgDVDlogo->isHidden());
    EXPECT_EQ(bar->windowTitle(), "KORVANE Vidora 2.3");
    EXPECT_FALSE(playerState().databaseWindowShown);
    EXPECT_EQ(playerState().discName, "None");
    EXPECT_FALSE(isLoaded<frmSettings>()) << "stopping opens no settings window";
    EXPECT_TRUE(messages().isEmpty());
}
