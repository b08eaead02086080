#include "testdisc.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

using TestDisc::Player;
using TestDisc::waitFor;

namespace
{

std::vector<int> domainChanges(const Player &player)
{
    std::vector<int> domains;
    for (const auto &notification : player.notifications) {
        if (notification[0] == DvdEvent::kDomainChange)
            domains.push_back(notification[2]);
    }
    return domains;
}

std::vector<int> chapterStarts(const Player &player)
{
    std::vector<int> chapters;
    for (const auto &notification : player.notifications) {
        if (notification[0] == DvdEvent::kChapterStart)
            chapters.push_back(notification[2]);
    }
    return chapters;
}

// Whether the picture on screen shows the square of the given colour that
// marks each menu of the menus disc.
bool showsMenuSquare(const Player &player, const QJsonArray &rgb)
{
    const QJsonArray square =
        TestDisc::authored().value(QStringLiteral("menus")).toObject().value("square").toArray();
    const QImage picture = player.engine->currentPicture();
    if (picture.isNull())
        return false;
    const int x = (square.at(0).toInt() + square.at(2).toInt()) / 2 * picture.width() / 720;
    const int y = (square.at(1).toInt() + square.at(3).toInt()) / 2 * picture.height() / 576;
    const QColor colour = picture.pixelColor(x, y);
    return std::abs(colour.red() - rgb.at(0).toInt()) < 60 &&
           std::abs(colour.green() - rgb.at(1).toInt()) < 60 &&
           std::abs(colour.blue() - rgb.at(2).toInt()) < 60;
}

} // namespace

TEST(DvdEngineNavigation, GoesFromFirstPlayToTheVideoManagerMenuWithItsButtons)
{
    Player player;
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);
    player.engine->Play();
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kFirstPlay);
    ASSERT_TRUE(waitFor([&] {
        return player.engine->CurrentDomain() == DvdDomain::kVideoManagerMenu &&
               !player.engine->currentPicture().isNull();
    }));
    EXPECT_EQ(player.engine->selectedButton(), 1);
    const std::vector<int> expected{DvdDomain::kFirstPlay, DvdDomain::kVideoManagerMenu};
    EXPECT_EQ(domainChanges(player), expected);
    EXPECT_EQ(player.engine->currentPicture().size(), QSize(768, 576));
}

TEST(DvdEngineNavigation, MenuButtonsReachEachTitle)
{
    Player first;
    first.playTitleFromMenu(0);
    EXPECT_TRUE(first.waitForTitle(1, 1));

    Player second;
    second.playTitleFromMenu(1);
    ASSERT_TRUE(second.waitForTitle(2));
    // Title 2 is 16:9: its picture is shown wider, at the same height.
    ASSERT_TRUE(waitFor([&] { return second.engine->currentPicture().width() == 1024; }));
    EXPECT_EQ(second.engine->currentPicture().height(), 576);
}

TEST(DvdEngineNavigation, TitleSetMenuButtonsPlayTheTitleAndItsThirdChapter)
{
    Player player;
    player.playTitleFromMenu(2);
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoTitleSetMenu));
    ASSERT_TRUE(waitFor([&] { return player.engine->selectedButton() == 1; }));
    // The title set menu is MPEG-1 at 352 x 288, shown at the full picture
    // size under its buttons' highlight.
    player.engine->SelectLowerButton();
    const QRect chapterButton(QPoint(120 * 768 / 720, 250), QPoint(440 * 768 / 720, 310));
    ASSERT_TRUE(waitFor([&] {
        return TestDisc::yellowPixels(player.engine->currentPicture(), chapterButton) > 500;
    }));
    EXPECT_EQ(player.engine->currentPicture().size(), QSize(768, 576));
    player.engine->ActivateButton();
    EXPECT_TRUE(player.waitForTitle(1, 3));
    EXPECT_GE(player.seconds(), 7.9);
}

TEST(DvdEngineNavigation, ShowMenuLeavesTheTitleAndResumeReturnsNearWhereItWas)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    EXPECT_THROW(player.engine->Resume(), AppError);
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 2.0; }));
    const double before = player.seconds();

    player.engine->ShowMenu(DvdMenu::kRoot);
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoTitleSetMenu));
    player.engine->ShowMenu(DvdMenu::kTitle);
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    player.engine->Resume();
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.seconds() > 0.1; }));
    EXPECT_GE(player.seconds(), before - 0.2);
    EXPECT_LE(player.seconds(), before + 2.0);
}

TEST(DvdEngineNavigation, EveryMenuCanBeCalledAgainAndAgainWithResumeBetween)
{
    const QJsonObject menus = TestDisc::authored().value(QStringLiteral("menus")).toObject();
    const QJsonArray setMenus = menus.value(QStringLiteral("set_menus")).toArray();
    struct Call {
        int menu;
        int domain;
        QJsonArray rgb;
    };
    std::vector<Call> calls;
    const int setMenuIds[] = {DvdMenu::kRoot, DvdMenu::kSubpicture, DvdMenu::kAudio,
                              DvdMenu::kAngle, DvdMenu::kChapter};
    for (int round = 0; round < 2; ++round) {
        for (qsizetype i = 0; i < setMenus.size(); ++i)
            calls.push_back({setMenuIds[i], DvdDomain::kVideoTitleSetMenu,
                             setMenus.at(i).toObject().value("rgb").toArray()});
        calls.push_back({DvdMenu::kTitle, DvdDomain::kVideoManagerMenu,
                         menus.value("title_menu").toObject().value("rgb").toArray()});
    }

    Player player(TestDisc::menusFolder());
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    for (const Call &call : calls) {
        const double playing = player.seconds();
        ASSERT_TRUE(waitFor([&] { return player.seconds() > playing + 0.3; }));
        const double before = player.seconds();
        player.engine->ShowMenu(call.menu);
        ASSERT_TRUE(waitFor(
            [&] {
                return player.engine->CurrentDomain() == call.domain &&
                       showsMenuSquare(player, call.rgb);
            },
            5000))
            << "menu " << call.menu << " did not show";
        player.engine->Resume();
        ASSERT_TRUE(player.waitForTitle(1, 0, 5000)) << "no resume from menu " << call.menu;
        EXPECT_NEAR(player.seconds(), before, 1.5);
    }
}

// The reader runs seconds ahead of the picture, and past a title's end into
// the disc's menu: Resume returns to the picture that was on screen when the
// menu was called, in the middle of a cell, at the end of a chapter whose next
// one the reader has reached, and in the title's last second.
TEST(DvdEngineNavigation, ResumeReturnsToThePictureOnScreenWhenTheMenuWasCalled)
{
    const QJsonObject disc = TestDisc::authored().value(QStringLiteral("firstplay")).toObject();
    const QJsonArray chapters = disc.value(QStringLiteral("chapter_starts")).toArray();
    const double length = disc.value(QStringLiteral("duration_seconds")).toDouble();
    ASSERT_GE(chapters.size(), 3);
    Player player(TestDisc::firstPlayFolder());
    player.engine->Play();
    ASSERT_TRUE(player.waitForTitle(1));
    const auto inTitleAt = [&](double seconds) {
        return player.engine->CurrentDomain() == DvdDomain::kTitle && player.seconds() >= seconds;
    };
    const double lastChapter = chapters.last().toDouble();
    for (const double at :
         {chapters.at(1).toDouble() / 2, chapters.at(1).toDouble() - 0.3, length - 0.5}) {
        while (at > lastChapter && player.engine->CurrentChapter() < chapters.size()) {
            const int next = player.engine->CurrentChapter() + 1;
            player.engine->PlayNextChapter();
            ASSERT_TRUE(player.waitForTitle(1, next));
        }
        ASSERT_TRUE(waitFor([&] { return inTitleAt(at); }, 15000)) << at;
        const double called = player.seconds();
        player.engine->ShowMenu(DvdMenu::kAngle);
        ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoTitleSetMenu)) << at;
        player.engine->Resume();
        ASSERT_TRUE(player.waitForTitle(1, 0, 5000)) << at;
        EXPECT_NEAR(player.seconds(), called, 0.5) << at;
    }
}

TEST(DvdEngineNavigation, MenuCommandsAreRefusedWhereTheyCannotWork)
{
    Player player;
    EXPECT_THROW(player.engine->ShowMenu(DvdMenu::kRoot), AppError); // stopped
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    EXPECT_THROW(player.engine->ShowMenu(1), AppError);
    EXPECT_THROW(player.engine->ShowMenu(8), AppError);
    // No title was played, so there is nothing to resume.
    EXPECT_THROW(player.engine->Resume(), AppError);
    EXPECT_THROW(player.engine->PlayNextChapter(), AppError);
    try {
        player.engine->ShowMenu(DvdMenu::kAngle); // the disc has no angle menu
        FAIL() << "ShowMenu(angle) was accepted";
    } catch (const AppError &error) {
        EXPECT_EQ(error.number(), ErrorNumbers::kNotPermitted);
        EXPECT_TRUE(error.description().contains(QStringLiteral("no such menu")));
    }
}

TEST(DvdEngineNavigation, ChaptersCountAndTitleLengthsComeFromTheStoredProgramChains)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1, 1));
    EXPECT_EQ(player.engine->ChapterCount(1), 3);
    EXPECT_EQ(player.engine->ChapterCount(2), 2);
    EXPECT_THROW(player.engine->ChapterCount(3), AppError);
    // The last chapter has two cells; the title is 40 s all the same.
    EXPECT_EQ(player.engine->TotalTitleTime(), QStringLiteral("0:00:40"));

    player.engine->PlayNextChapter();
    ASSERT_TRUE(player.waitForTitle(1, 2));
    EXPECT_GE(player.seconds(), 3.9);
    player.engine->PlayNextChapter();
    ASSERT_TRUE(player.waitForTitle(1, 3));
    EXPECT_THROW(player.engine->PlayNextChapter(), AppError);
    player.engine->PlayPrevChapter();
    ASSERT_TRUE(player.waitForTitle(1, 2));

    const std::vector<int> expected{1, 2, 3, 2};
    EXPECT_EQ(chapterStarts(player), expected);
}

TEST(DvdEngineNavigation, TimedStillAtTheEndOfTitleTwoEndsInTheMenu)
{
    Player player;
    player.playTitleFromMenu(1);
    ASSERT_TRUE(player.waitForTitle(2));
    EXPECT_EQ(player.engine->TotalTitleTime(), QStringLiteral("0:00:04"));
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu, 15000));
    bool stillOn = false;
    bool stillOff = false;
    for (const auto &notification : player.notifications) {
        stillOn = stillOn || notification[0] == DvdEvent::kStillOn;
        stillOff = stillOff || (stillOn && notification[0] == DvdEvent::kStillOff);
    }
    EXPECT_TRUE(stillOn && stillOff);
}

TEST(DvdEngineNavigation, PauseStopsATimedStillsTimeAndPlayRunsOutTheRest)
{
    Player player;
    player.playTitleFromMenu(1);
    ASSERT_TRUE(player.waitForTitle(2));
    const auto stillShown = [&] {
        return std::any_of(player.notifications.begin(), player.notifications.end(),
                           [](const auto &n) { return n[0] == DvdEvent::kStillOn; });
    };
    ASSERT_TRUE(waitFor(stillShown, 15000));
    player.engine->Pause();
    // Paused far longer than the two-second still: it stays.
    EXPECT_FALSE(player.waitForDomain(DvdDomain::kVideoManagerMenu, 3500));
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kTitle);
    player.engine->Play();
    // What was left of the still runs out, then the menu follows.
    EXPECT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu, 5000));
}

TEST(DvdEngineNavigation, TimeNotificationsCarryTheTimeOfThePictureOnScreen)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= 2.5; }));
    std::vector<int> seconds;
    for (const auto &notification : player.notifications) {
        if (notification[0] == DvdEvent::kCurrentTime)
            seconds.push_back(TimeCode::unpack(notification[1]).seconds);
    }
    ASSERT_GE(seconds.size(), 3u);
    EXPECT_TRUE(std::is_sorted(seconds.begin(), seconds.end()));
    EXPECT_EQ(player.engine->TimeCodeToText(TimeCode{1, 2, 3, 4}.pack()),
              QStringLiteral("1:02:03"));
}

TEST(DvdEngineNavigation, StopEndsInTheStopDomainAndPlayStartsOver)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    player.engine->Stop();
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kStop);
    EXPECT_TRUE(waitFor([&] {
        return !player.notifications.empty() &&
               player.notifications.back()[0] == DvdEvent::kPlaybackStopped;
    }));
    EXPECT_TRUE(player.engine->currentPicture().isNull());
    player.engine->Play();
    EXPECT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
}
