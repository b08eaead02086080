#include "core/box.h"
#include "core/module2.h"
#include "core/ontopbas.h"
#include "platform/desktop.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

TEST(ContainsText, IgnoresCaseAndTheEmptyNeedleIsEverywhere)
{
    EXPECT_TRUE(ContainsText("MATRIX", "the matrix reloaded"));
    EXPECT_TRUE(ContainsText("", "anything"));
    EXPECT_TRUE(ContainsText("", ""));
    EXPECT_FALSE(ContainsText("a", ""));
    EXPECT_FALSE(ContainsText("matrix2", "the matrix reloaded"));
}

// A missing file is refused with its own code, which gives no text; any other
// refusal of the desktop gives the one failure text.
TEST(OpenDocument, AMissingFileGivesTheEmptyTextAndAnyOtherRefusalTheFailure)
{
    EXPECT_EQ(OpenDocument("/no/such/file.txt", "", ""), "");
    EXPECT_EQ(OpenDocument("no-handler-anywhere:somewhere", "", ""),
              "Insufficent system memory or corrupt program file");
}

TEST(ShowMessage, TheEmptyTextOpensNoWindow)
{
    const auto before = BOX::openWindows().size();
    ShowMessage("");
    EXPECT_EQ(BOX::openWindows().size(), before);
}

TEST(ShowMessage, EachMessageOpensItsOwnWindowWithLineBreaks)
{
    for (auto *box : BOX::openWindows())
        delete box;
    ShowMessage("first\r\nsecond line");
    ShowMessage("another");
    const auto boxes = BOX::openWindows();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0]->msg->toPlainText(), "first\nsecond line");
    EXPECT_EQ(boxes[1]->msg->toPlainText(), "another");
    EXPECT_TRUE(Desktop::isStayOnTop(boxes[0]));
    for (auto *box : boxes)
        box->close();
    QApplication::processEvents();
}

TEST(SetOnTop, OffMakesAnOrdinaryWindowWithoutMovingIt)
{
    QWidget window;
    window.setGeometry(100, 120, 200, 80);
    SetOnTop(&window, true);
    EXPECT_TRUE(Desktop::isStayOnTop(&window));
    const QRect before = window.geometry();
    SetOnTop(&window, false);
    EXPECT_FALSE(Desktop::isStayOnTop(&window));
    EXPECT_EQ(window.geometry(), before);
    EXPECT_TRUE(window.isVisible());
}
