#include "surfacetesting.h"

#include "platform/desktop.h"
#include "support/qtprinters.h"
#include "support/scripteddvdcontrol.h"
#include "surfaces/frmnav.h"
#include "widgets/skinbutton.h"

#include <gtest/gtest.h>

using namespace SurfaceTesting;

namespace
{
class NavigationPad : public ScriptedControlTest
{
};
} // namespace

TEST_F(NavigationPad, IsAnAlwaysOnTopCrossOfFiveButtons)
{
    auto *pad = form<frmNav>();
    EXPECT_EQ(pad->windowTitle(), ".: Navigation");
    EXPECT_TRUE(Desktop::isStayOnTop(pad));
    EXPECT_EQ(pad->btnUp->Caption(), "/\\");
    EXPECT_EQ(pad->btnDown->Caption(), "\\/");
    EXPECT_EQ(pad->btnUp->geometry(), QRect(40, 8, 25, 25));
    EXPECT_EQ(pad->btnLeft->geometry(), QRect(8, 40, 25, 25));
    EXPECT_EQ(pad->btnActive->geometry(), QRect(40, 40, 25, 25));
    EXPECT_EQ(pad->btnRight->geometry(), QRect(72, 40, 25, 25));
    EXPECT_EQ(pad->btnDown->geometry(), QRect(40, 72, 25, 25));
}

TEST_F(NavigationPad, DuringTitlePlaybackEveryButtonDoesNothing)
{
    control->domain = 4;
    auto *pad = form<frmNav>();
    for (skinButton *button :
         {pad->btnUp, pad->btnLeft, pad->btnActive, pad->btnRight, pad->btnDown})
        click(button);
    EXPECT_TRUE(control->calls.isEmpty()) << control->calls.join(", ").toStdString();
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(NavigationPad, InAMenuEachButtonMovesOrActivatesTheHighlight)
{
    control->domain = 2;
    auto *pad = form<frmNav>();
    click(pad->btnUp);
    click(pad->btnActive);
    control->domain = 3;
    click(pad->btnLeft);
    click(pad->btnRight);
    click(pad->btnDown);
    EXPECT_EQ(control->calls,
              QStringList({"SelectUpperButton", "ActivateButton", "SelectLeftButton",
                           "SelectRightButton", "SelectLowerButton"}));
}
