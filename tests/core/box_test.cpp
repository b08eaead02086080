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
