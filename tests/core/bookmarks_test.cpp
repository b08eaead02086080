#include "coretest.h"

#include "core/bookmarks.h"

namespace
{

const QString kSaved = "To return to this book mark use the Load Bookmark option.";
const QString kSaveFailed = "An error occured durring save, please try while the DVD is playing.";
const QString kRestoreFailed =
    "Either there is no book mark stored or the book mark stored is not for this title";

} // namespace

class BookmarksTest : public CoreTest
{
protected:
    // Runs AutoBook and tells whether it ended the program.
    bool autoBook()
    {
        bool ended = false;
        Bookmarks::AutoBook([&] { ended = true; });
        return ended;
    }
};

TEST_F(BookmarksTest, SaveDuringTitlePlaybackReplacesTheBookmark)
{
    control->domain = DvdDomain::kTitle;
    Bookmarks::Save();
    EXPECT_EQ(control->calls, QStringList({"SaveBookmark"}));
    EXPECT_EQ(messages(), QStringList{kSaved});
}

TEST_F(BookmarksTest, SaveOutsideATitleGivesTheDomainsReasonAndKeepsTheBookmark)
{
    const QStringList reasons = {
        "This operation is not permitted at this time, please wait ",
        "This operation is not permitted from the Video Manager Menu",
        "This operation is not permitted from the Video Title Set Menu",
        "This operation is not permitted while the disc is stopped, click play first ",
    };
    for (int domain : {1, 2, 3, 5}) {
        control->domain = domain;
        Bookmarks::Save();
    }
    EXPECT_EQ(messages(), reasons);
    EXPECT_TRUE(control->calls.isEmpty());
}

// The stored bookmark is replaced only by a written one: nothing deletes it
// before a save that then fails.
TEST_F(BookmarksTest, AFailedSaveSaysSoAndKeepsTheOldBookmark)
{
    control->domain = DvdDomain::kTitle;
    control->failOn("SaveBookmark", 1003, "Not permitted during a still");
    Bookmarks::Save();
    EXPECT_EQ(messages(), QStringList{kSaveFailed});
    EXPECT_EQ(control->calls, QStringList{"SaveBookmark"});

    for (BOX *box : BOX::openWindows())
        box->close();
    control->failOn("CurrentDomain", 1001, "No disc");
    Bookmarks::Save();
    EXPECT_EQ(messages(), QStringList{kSaveFailed});
}

TEST_F(BookmarksTest, LoadRestoresInEveryDomainButStop)
{
    for (int domain : {1, 2, 3, 4}) {
        control->domain = domain;
        Bookmarks::Load();
    }
    EXPECT_EQ(control->calls, QStringList(4, "RestoreBookmark"));
    EXPECT_TRUE(messages().isEmpty());

    control->calls.clear();
    control->domain = DvdDomain::kStop;
    Bookmarks::Load();
    EXPECT_TRUE(control->calls.isEmpty());
    EXPECT_EQ(messages(), QStringList{"This operation is not permitted while the disc is "
                                      "stopped, click play first "});

    control->domain = DvdDomain::kTitle;
    control->failOn("RestoreBookmark", 1005, "No bookmark for this disc");
    Bookmarks::Load();
    EXPECT_EQ(messages().value(1), kRestoreFailed);
}

TEST_F(BookmarksTest, DeleteAsksFirst)
{
    dialogs->yesNoAnswers = {false, true};
    Bookmarks::Delete();
    EXPECT_TRUE(control->calls.isEmpty());
    EXPECT_TRUE(messages().isEmpty());

    Bookmarks::Delete();
    EXPECT_EQ(dialogs->questions, QStringList(2, "Do you realy want to delete your DVD bookmark?"));
    EXPECT_EQ(control->calls, QStringList{"DeleteBookmark"});
    EXPECT_EQ(messages(), QStringList{"Your bookmark was successfully deleted"});

    // A failure shows its reason only, never the success text.
    dialogs->yesNoAnswers = {true};
    control->failOn("DeleteBookmark", 1001, "The drive holds no disc.");
    Bookmarks::Delete();
    EXPECT_EQ(messages().mid(1), QStringList{"The drive holds no disc."});
}

TEST_F(BookmarksTest, ClosingSavesOnlyWhenAskedAndATitlePlays)
{
    struct Case {
        const char *save; // nullptr: never set
        int domain;
        bool saves;
    };
    const Case cases[] = {{"1", 4, true},    {"1", 5, false}, {"1", 2, false},
                          {"yes", 4, false}, {"0", 4, false}, {nullptr, 4, false}};
    for (const Case &c : cases) {
        QFile::remove(SettingsStore::fileName(SettingsKeys::kPlayer));
        if (c.save)
            setPlayerOption(SettingsKeys::kAutoBookmark, c.save);
        control->domain = c.domain;
        control->calls.clear();
        EXPECT_TRUE(autoBook());
        EXPECT_EQ(control->calls, c.saves ? QStringList{"SaveBookmark"} : QStringList{})
            << "save " << (c.save ? c.save : "unset") << " in domain " << c.domain;
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(BookmarksTest, ClosingKeepsTheOldBookmarkWhenTheSaveFails)
{
    setPlayerOption(SettingsKeys::kAutoBookmark, "1");
    control->domain = DvdDomain::kTitle;
    control->failOn("SaveBookmark", 1006, "Cannot write the bookmark file");
    EXPECT_TRUE(autoBook());
    EXPECT_EQ(control->calls, QStringList{"SaveBookmark"});

    control->failOn("CurrentDomain", 1001, "No disc");
    control->calls.clear();
    EXPECT_TRUE(autoBook());
    EXPECT_TRUE(control->calls.isEmpty());
}
