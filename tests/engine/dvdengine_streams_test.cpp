#include "testdisc.h"

#include "engine/headless/titlesnapshot.h"
#include "engine/output/dvdview.h"

#include <QTest>

#include <gtest/gtest.h>

using TestDisc::errorNumber;
using TestDisc::Player;
using TestDisc::waitFor;

namespace
{

bool inSubtitleTime(double seconds)
{
    return (seconds > 1.2 && seconds < 2.8) || (seconds > 5.2 && seconds < 6.8) ||
           (seconds > 9.2 && seconds < 10.8);
}

int subtitlePixels(const Player &player)
{
    const QImage picture = player.engine->currentPicture();
    return TestDisc::brightPixels(picture, TestDisc::subtitleBand(picture));
}

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    PaintCounter(QWidget *widget, int &paints) : paints_(paints)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    int &paints_;
};

// A menu button's rectangle in the picture at its 4:3 display size.
QRect displayRect(int x0, int y0, int x1, int y1)
{
    return QRect(QPoint(x0 * 768 / 720, y0), QPoint(x1 * 768 / 720, y1));
}

// Title 2 is the title menu's second button.
void playTitleTwoFromTheTitleMenu(Player &player)
{
    player.engine->ShowMenu(DvdMenu::kTitle);
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    player.engine->SelectLowerButton();
    ASSERT_TRUE(waitFor([&] { return player.engine->selectedButton() == 2; }));
    player.engine->ActivateButton();
    ASSERT_TRUE(player.waitForTitle(2));
}

} // namespace

TEST(DvdEngineStreams, TitlesReportTheirLanguagesByName)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.engine->AudioStreamsAvailable() == 2; }));
    EXPECT_EQ(player.engine->AudioLanguage(0), QStringLiteral("English"));
    EXPECT_EQ(player.engine->AudioLanguage(1), QStringLiteral("French"));
    EXPECT_EQ(player.engine->SubpictureStreamsAvailable(), 2);
    EXPECT_EQ(player.engine->SubpictureLanguage(0), QStringLiteral("English"));
    EXPECT_EQ(player.engine->SubpictureLanguage(1), QStringLiteral("French"));
    EXPECT_EQ(errorNumber([&] { player.engine->AudioLanguage(2); }),
              ErrorNumbers::kInvalidArgument);
    EXPECT_EQ(player.engine->AnglesAvailable(), 1);
    EXPECT_EQ(player.engine->CurrentAngle(), 1);

    ASSERT_NO_FATAL_FAILURE(playTitleTwoFromTheTitleMenu(player));
    ASSERT_TRUE(waitFor([&] { return player.engine->AudioStreamsAvailable() == 1; }));
    EXPECT_EQ(player.engine->AudioLanguage(0), QStringLiteral("German"));
    EXPECT_EQ(player.engine->SubpictureStreamsAvailable(), 0);
    EXPECT_EQ(errorNumber([&] { player.engine->setSubpictureOn(true); }),
              ErrorNumbers::kNotPermitted);
}

TEST(DvdEngineStreams, AudioChoiceReachesTheDiscAndIsReported)
{
    Player player;
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    EXPECT_EQ(errorNumber([&] { player.engine->setCurrentAudioStream(1); }),
              ErrorNumbers::kNotPermitted);
    player.engine->ActivateButton();
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.engine->AudioStreamsAvailable() == 2; }));
    EXPECT_EQ(player.engine->CurrentAudioStream(), 0);
    player.engine->setCurrentAudioStream(1);
    EXPECT_EQ(player.engine->CurrentAudioStream(), 1);
    EXPECT_TRUE(waitFor([&] {
        for (const auto &notification : player.notifications) {
            if (notification[0] == DvdEvent::kAudioStreamChange && notification[2] == 1)
                return true;
        }
        return false;
    }));
    // The choice stays: it is in the disc's own register now.
    ASSERT_TRUE(waitFor([&] { return player.seconds() > 1.0; }));
    EXPECT_EQ(player.engine->CurrentAudioStream(), 1);
    EXPECT_EQ(player.engine->AudioLanguage(player.engine->CurrentAudioStream()),
              QStringLiteral("French"));
    EXPECT_EQ(errorNumber([&] { player.engine->setCurrentAudioStream(2); }),
              ErrorNumbers::kInvalidArgument);
    EXPECT_EQ(errorNumber([&] { player.engine->setCurrentAngle(0); }),
              ErrorNumbers::kInvalidArgument);
    EXPECT_EQ(errorNumber([&] { player.engine->setCurrentAngle(2); }),
              ErrorNumbers::kInvalidArgument);
    EXPECT_EQ(errorNumber([&] { player.engine->setCurrentAngle(1); }), 0);

    // Title 2 has one stream: the choice of a second one does not carry over.
    ASSERT_NO_FATAL_FAILURE(playTitleTwoFromTheTitleMenu(player));
    ASSERT_TRUE(waitFor([&] { return player.seconds() > 0.5; }));
    EXPECT_EQ(player.engine->CurrentAudioStream(), 0);
    EXPECT_EQ(player.engine->AudioLanguage(player.engine->CurrentAudioStream()),
              QStringLiteral("German"));
}

TEST(DvdEngineStreams, SubtitleShowsWhenChosenAndGoesWhenTurnedOff)
{
    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.engine->SubpictureStreamsAvailable() == 2; }));
    EXPECT_FALSE(player.engine->SubpictureOn()); // the disc starts with subtitles hidden

    player.engine->setCurrentSubpictureStream(0);
    EXPECT_TRUE(player.engine->SubpictureOn());
    EXPECT_TRUE(
        waitFor([&] { return inSubtitleTime(player.seconds()) && subtitlePixels(player) > 200; }));
    // The picture a record takes from the disc leaves the subtitle out.
    const QImage plain = player.engine->PictureOnScreen();
    EXPECT_EQ(plain.size(), QSize(768, 576));
    EXPECT_EQ(TestDisc::brightPixels(plain, TestDisc::subtitleBand(plain)), 0);

    player.engine->setSubpictureOn(false);
    EXPECT_FALSE(player.engine->SubpictureOn());
    EXPECT_EQ(player.engine->CurrentSubpictureStream(), 0);
    EXPECT_TRUE(
        waitFor([&] { return inSubtitleTime(player.seconds()) && subtitlePixels(player) == 0; }));
}

// With no view shown and no tap taking images, pictures are presented but not
// converted: the one on screen is still made, subtitle and all, when asked
// for. A view shown then is repainted with every picture again.
TEST(DvdEngineStreams, PicturesNobodyLooksAtAreMadeWhenAskedFor)
{
    Player player;
    player.engine->setTaps(nullptr);
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.engine->SubpictureStreamsAvailable() == 2; }));
    player.engine->setCurrentSubpictureStream(0);
    EXPECT_TRUE(
        waitFor([&] { return inSubtitleTime(player.seconds()) && subtitlePixels(player) > 200; }));
    EXPECT_TRUE(
        waitFor([&] { return !inSubtitleTime(player.seconds()) && subtitlePixels(player) == 0; }));

    QWidget *view = player.engine->view();
    int paints = 0;
    PaintCounter counter(view, paints);
    view->resize(360, 288);
    view->show();
    const uint64_t shown = player.engine->picturesShown();
    ASSERT_TRUE(waitFor([&] { return player.engine->picturesShown() >= shown + 10; }));
    QCoreApplication::processEvents();
    EXPECT_GE(paints, 5);
    view->hide();
}

// The disc multiplexes each cue's packets about 0.4 s after the pictures of
// its start: the cue still shows with them, in playback and in snapshots.
TEST(DvdEngineStreams, SubtitleShowsWithTheFirstPicturesOfItsCue)
{
    const std::vector<double> starts{1.0, 5.0, 9.0};
    for (const double start : starts) {
        const QImage picture = renderTitleSnapshot({TestDisc::folder(), 1, start + 0.1, 0});
        EXPECT_GT(TestDisc::brightPixels(picture, TestDisc::subtitleBand(picture)), 200)
            << "snapshot at " << start + 0.1;
    }

    Player player;
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    ASSERT_TRUE(waitFor([&] { return player.engine->SubpictureStreamsAvailable() == 2; }));
    player.engine->setCurrentSubpictureStream(0);
    int checked = 0;
    int missing = 0;
    // The time is read before the picture, which can only be newer.
    EXPECT_TRUE(waitFor(
        [&] {
            const double seconds = player.seconds();
            const int pixels = subtitlePixels(player);
            for (const double start : {5.0, 9.0}) {
                if (seconds > start + 0.1 && seconds < start + 0.35) {
                    ++checked;
                    missing += pixels < 200 ? 1 : 0;
                }
            }
            return seconds > 9.5;
        },
        20000));
    EXPECT_GT(checked, 2);
    EXPECT_EQ(missing, 0);
}

TEST(DvdEngineStreams, SelectLowerButtonMovesTheHighlightDrawnOverTheMenu)
{
    Player player;
    player.engine->Play();
    const QRect first = displayRect(120, 150, 440, 210);
    const QRect second = displayRect(120, 250, 440, 310);
    ASSERT_TRUE(waitFor(
        [&] { return TestDisc::yellowPixels(player.engine->currentPicture(), first) > 500; }));
    EXPECT_EQ(TestDisc::yellowPixels(player.engine->currentPicture(), second), 0);

    player.engine->SelectLowerButton();
    ASSERT_TRUE(waitFor(
        [&] { return TestDisc::yellowPixels(player.engine->currentPicture(), second) > 500; }));
    EXPECT_EQ(TestDisc::yellowPixels(player.engine->currentPicture(), first), 0);
    EXPECT_EQ(player.engine->selectedButton(), 2);
}

TEST(DvdEngineStreams, ClickingAButtonInTheLetterboxedViewActivatesIt)
{
    Player player;
    auto *view = static_cast<DvdView *>(player.engine->view());
    view->resize(1000, 600);
    view->show();
    player.engine->Play();
    ASSERT_TRUE(waitFor(
        [&] { return player.engine->selectedButton() == 1 && view->pictureRect().isValid(); }));
    // A 4:3 picture in a 1000 x 600 view is 800 wide, 100 from the left.
    EXPECT_EQ(view->pictureRect(), QRect(100, 0, 800, 600));
    const QPoint buttonTwo(100 + 280 * 800 / 720, 280 * 600 / 576);
    const std::optional<QPoint> mapped = view->toPicture(buttonTwo);
    ASSERT_TRUE(mapped.has_value());
    EXPECT_LE((*mapped - QPoint(280, 280)).manhattanLength(), 2);
    EXPECT_FALSE(view->toPicture(QPoint(50, 300)).has_value()); // on the black bar
    QTest::mouseClick(view, Qt::LeftButton, {}, buttonTwo);
    EXPECT_TRUE(player.waitForTitle(2));
    delete view;
}
