#include "core/box.h"
#include "core/module2.h"
#include "support/qtprinters.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(MessageWindow, HasTheSkinnedOkButtonAndItsOwnIcon)
{
    BOX box;
    ASSERT_NE(box.skinButton1, nullptr);
    EXPECT_EQ(box.skinButton1->Caption(), "OK");
    EXPECT_EQ(box.skinButton1->ButtonType(), 5);
    EXPECT_EQ(box.skinButton1->ColorScheme(), 2);
    EXPECT_EQ(box.skinButton1->BackColor(), 0xFF8080);
    EXPECT_EQ(box.skinButton1->ForeColor(), 0x000000);
    EXPECT_EQ(box.skinButton1->ForeOver(), 0x000000);
    EXPECT_TRUE(box.skinButton1->FontBold());
    EXPECT_FALSE(box.Image1->pixmap().isNull());
}

TEST(MessageWindow, ClickingOkClosesOnlyThatWindow)
{
    for (auto *box : BOX::openWindows())
        delete box;
    ShowMessage("one");
    ShowMessage("two");
    auto boxes = BOX::openWindows();
    ASSERT_EQ(boxes.size(), 2);
    QTest::mouseClick(boxes[0]->skinButton1, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    boxes = BOX::openWindows();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->msg->toPlainText(), "two");
    boxes[0]->close();
    QApplication::processEvents();
}

// The same message again opens no second window, and a path of a megabyte
// is cut to a length one can read (laying it out held the program up for a
// minute).
TEST(MessageWindow, RepeatsAreNotOpenedAgainAndLongPathsAreCut)
{
    for (auto *box : BOX::openWindows())
        delete box;
    for (int i = 0; i < 3; ++i)
        ShowMessage("No disc");
    EXPECT_EQ(BOX::openWindows().size(), 1);
    const QString path = "/media/" + QString(1024 * 1024, u'a') + "/VIDEO_TS";
    ShowMessage("Cannot play \"" + path + "\": no such folder.");
    const auto boxes = BOX::openWindows();
    ASSERT_EQ(boxes.size(), 2);
    const QString shown = boxes[1]->msg->toPlainText();
    EXPECT_LT(shown.size(), 200);
    EXPECT_TRUE(shown.startsWith("Cannot play \"/media/aaa")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("aaa/VIDEO_TS\": no such folder.")) << shown.toStdString();
    for (auto *box : BOX::openWindows())
        delete box;
}
