#include "coretest.h"

#include "core/continuestore.h"
#include "core/continuewatching.h"

#include <QDir>
#include <QFile>

class ContinueWatchingTest : public CoreTest
{
protected:
    void playAt(double seconds, const QString &disc = "0123456789abcdef0123456789abcdef")
    {
        control->domain = DvdDomain::kTitle;
        control->discId = disc;
        control->totalTitleTime = "0:01:40";
        control->place.title = 2;
        control->place.seconds = seconds;
        ContinueWatching::atNotification();
    }
    ContinueStore store{ContinueStore::defaultFilePath()};
};

TEST_F(ContinueWatchingTest, ADiscLeftInTheMiddleIsOfferedAgainAndContinuesOnYes)
{
    playAt(62.5);
    ContinueWatching::leave(control);
    ASSERT_TRUE(store.load(control->discId));
    EXPECT_EQ(store.load(control->discId)->title, 2);

    playerState().discName = "My Film";
    dialogs->yesNoAnswers.push_back(true);
    control->calls.clear();
    playAt(0);
    EXPECT_EQ(dialogs->questions, QStringList{"Continue My Film from 0:01:02?"});
    EXPECT_EQ(control->calls, QStringList{"PlayFromPlace(62.5)"});
    // Asked once per disc, not at every notification.
    playAt(63);
    EXPECT_EQ(dialogs->questions.size(), 1);
}

TEST_F(ContinueWatchingTest, TheFirstAndLastSecondsOfATitleAreNoPlaceToComeBackTo)
{
    playAt(50);
    ContinueWatching::leave(control);
    playAt(10); // just started again: what was kept stays
    ContinueWatching::leave(control);
    EXPECT_DOUBLE_EQ(store.load(control->discId)->seconds, 50);
    playAt(90); // within the last 15 s: seen to the end
    ContinueWatching::leave(control);
    EXPECT_FALSE(store.load(control->discId));
}

TEST_F(ContinueWatchingTest, AnotherDiscLeavesTheFirstAndTheOptionTurnsItAllOff)
{
    playAt(40, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    playAt(20, "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");
    EXPECT_TRUE(store.load("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"));

    setPlayerOption(SettingsKeys::kContinueDiscs, "0");
    ContinueWatching::leave(control);
    playAt(40, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    EXPECT_FALSE(store.load("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"));
    EXPECT_TRUE(dialogs->questions.isEmpty());
}

TEST_F(ContinueWatchingTest, TheStoreKeepsTheLatest200AndSetsADamagedFileAside)
{
    DiscPlace place;
    place.seconds = 30;
    for (int disc = 0; disc < 205; ++disc)
        store.save(QString("%1").arg(disc, 32, 16, QChar('0')), place);
    EXPECT_FALSE(store.load(QString("%1").arg(0, 32, 16, QChar('0'))));
    EXPECT_TRUE(store.load(QString("%1").arg(204, 32, 16, QChar('0'))));
    QFile file(ContinueStore::defaultFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(ContinueStore::parse(file.readAll())->size(), 200u);
    file.close();

    const QString path = ContinueStore::defaultFilePath();
    QFile::remove(path);
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"format\": \"vidora-continue-1\", \"discs\": [");
    damaged.close();
    EXPECT_FALSE(store.load(control->discId));
    EXPECT_TRUE(QFile::exists(path + ".damaged"));
    store.save(control->discId, place);
    EXPECT_TRUE(store.load(control->discId));
}
