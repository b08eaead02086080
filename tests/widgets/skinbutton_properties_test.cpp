#include "support/qtprinters.h"
#include "widgets/propertybag.h"
#include "widgets/skinbutton.h"

#include "base/errors.h"
#include "platform/units.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace
{

TEST(PropertyBag, NamesCompareWithoutCaseAndDefaultsAreNotStored)
{
    PropertyBag bag;
    bag.WriteProperty("BCol", 5);
    bag.WriteProperty("bcol", 6);
    EXPECT_EQ(bag.size(), 1);
    EXPECT_EQ(bag.ReadProperty("BCOL").toInt(), 6);
    EXPECT_EQ(bag.names(), QStringList({"BCol"}));
    EXPECT_EQ(bag.ReadProperty("missing", 42).toInt(), 42);
    EXPECT_FALSE(bag.ReadProperty("missing").isValid());

    bag.WriteProperty("TX", "OK", "OK");
    EXPECT_FALSE(bag.contains("tx"));
    bag.WriteProperty("TX", "Cancel", "OK");
    EXPECT_EQ(bag.ReadProperty("Tx").toString(), "Cancel");
    bag.WriteProperty("tX", "OK", "OK");
    EXPECT_FALSE(bag.contains("TX")) << "writing the default drops the stored value";
}

TEST(PropertyBag, TypedReadsAcceptTheUsualFormsAndRefuseOthers)
{
    PropertyBag bag;
    bag.WriteProperty("colour", QStringLiteral("4294967295"));
    bag.WriteProperty("on", QStringLiteral("True"));
    bag.WriteProperty("off", 0);
    bag.WriteProperty("font", QFont("DejaVu Sans", 9).toString());
    bag.WriteProperty("size", QSize(1, 1));
    EXPECT_EQ(bag.ReadNumber("COLOUR", 0), -1);
    EXPECT_EQ(bag.ReadNumber("missing", 7), 7);
    EXPECT_TRUE(bag.ReadSwitch("on", false));
    EXPECT_FALSE(bag.ReadSwitch("off", true));
    EXPECT_EQ(bag.ReadFont("font")->family(), "DejaVu Sans");
    EXPECT_FALSE(bag.ReadFont("missing").has_value());
    EXPECT_TRUE(bag.ReadPicture("missing").isNull());
    EXPECT_THROW(bag.ReadNumber("size", 0), AppError);
    EXPECT_THROW(bag.ReadSwitch("font", false), AppError);
    EXPECT_THROW(bag.ReadText("size", QString()), AppError);
}

QPixmap smallPicture()
{
    QPixmap picture(8, 8);
    picture.fill(Qt::red);
    return picture;
}

TEST(SkinButtonProperties, ANewButtonTakesItsDefaults)
{
    QWidget window;
    skinButton button(&window, "btnPlay");
    const QPalette system = QGuiApplication::palette();
    EXPECT_EQ(button.Caption(), "btnPlay");
    EXPECT_EQ(button.BackColor(), toColorRef(system.color(QPalette::Button)));
    EXPECT_EQ(button.ForeColor(), toColorRef(system.color(QPalette::ButtonText)));
    EXPECT_EQ(button.ForeOver(), 0);
    EXPECT_EQ(button.ButtonType(), 2);
    EXPECT_EQ(button.ColorScheme(), 1);
    EXPECT_TRUE(button.ShowFocusRect());
    EXPECT_TRUE(button.Enabled());
    EXPECT_EQ(button.MousePointer(), 0);
    EXPECT_TRUE(button.MouseIcon().isNull());
    EXPECT_EQ(button.Font(), window.font());
    EXPECT_EQ(button.hwnd(), &button);
}

TEST(SkinButtonProperties, ElevenKeysRoundTripWhateverTheirCase)
{
    QWidget window;
    skinButton original(&window);
    original.setBackColor(0x404040);
    original.setForeColor(0xFFFFFF);
    original.setForeOver(0xC0C0C0);
    original.setButtonType(8);
    original.setCaption("&Play");
    original.setEnabled(false);
    original.setFontName("Webdings");
    original.setFontSize(12);
    original.setFontItalic(true);
    original.setColorScheme(2);
    original.setShowFocusRect(false);
    original.setMousePointer(99);
    original.setMouseIcon(smallPicture());

    PropertyBag saved;
    original.WriteProperties(saved);
    EXPECT_EQ(saved.names(), QStringList({"BCOL", "FCOL", "FCOLO", "BTYPE", "TX", "ENAB", "FONT",
                                          "COLTYPE", "FOCUSR", "MPTR", "MICON"}));
    PropertyBag renamed;
    for (const QString &name : saved.names())
        renamed.WriteProperty(name.toLower(), saved.ReadProperty(name));

    skinButton loaded(&window);
    loaded.ReadProperties(renamed);
    EXPECT_EQ(loaded.BackColor(), 0x404040);
    EXPECT_EQ(loaded.ForeColor(), 0xFFFFFF);
    EXPECT_EQ(loaded.ForeOver(), 0xC0C0C0);
    EXPECT_EQ(loaded.ButtonType(), 8);
    EXPECT_EQ(loaded.Caption(), "&Play");
    EXPECT_EQ(loaded.AccessKey(), u'p');
    EXPECT_FALSE(loaded.Enabled());
    EXPECT_EQ(loaded.FontName(), "Webdings");
    EXPECT_DOUBLE_EQ(loaded.FontSize(), 12);
    EXPECT_TRUE(loaded.FontItalic());
    EXPECT_EQ(loaded.ColorScheme(), 2);
    EXPECT_FALSE(loaded.ShowFocusRect());
    EXPECT_EQ(loaded.MousePointer(), 99);
    EXPECT_EQ(loaded.MouseIcon().size(), QSize(8, 8));
    EXPECT_EQ(loaded.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(loaded.skinPalette().colShadow, 0x000000);
}

TEST(SkinButtonProperties, MissingKeysLoadTheirOwnDefaults)
{
    QWidget window;
    QFont containerFont("DejaVu Serif", 14);
    window.setFont(containerFont);
    skinButton button(&window, "btnStop");
    button.setFontName("Webdings");
    button.setForeOver(0x123456);
    button.ReadProperties(PropertyBag());
    const int32_t text = toColorRef(QGuiApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(button.ForeOver(), text) << "not the new button's black";
    EXPECT_EQ(button.Caption(), "") << "not the control's name";
    EXPECT_EQ(button.ButtonType(), 2);
    EXPECT_EQ(button.ColorScheme(), 1);
    EXPECT_EQ(button.Font().family(), "DejaVu Serif") << "the container's font";
    EXPECT_TRUE(button.Enabled());
}

TEST(SkinButtonProperties, AValueOfTheWrongTypeIsAnErrorAndChangesNothing)
{
    skinButton button;
    button.setBackColor(0x404040);
    button.setCaption("OK");
    PropertyBag bag;
    bag.WriteProperty("TX", "Cancel");
    bag.WriteProperty("BCOL", "dark grey");
    EXPECT_THROW(button.ReadProperties(bag), AppError);
    EXPECT_EQ(button.BackColor(), 0x404040);
    EXPECT_EQ(button.Caption(), "OK");

    PropertyBag badFont;
    badFont.WriteProperty("FONT", QVariant::fromValue(QSize(1, 2)));
    EXPECT_THROW(button.ReadProperties(badFont), AppError);
    PropertyBag badIcon;
    badIcon.WriteProperty("MICON", "not a picture");
    EXPECT_THROW(button.ReadProperties(badIcon), AppError);
}

TEST(SkinButtonProperties, FlatOutlineMakesTheFontBoldAndFontPartsWriteThrough)
{
    skinButton button;
    EXPECT_FALSE(button.FontBold());
    button.setButtonType(5);
    EXPECT_TRUE(button.FontBold());
    EXPECT_TRUE(button.Font().bold());
    button.setFontUnderline(true);
    button.setFontSize(8.25);
    button.setFontName("MS Sans Serif");
    EXPECT_TRUE(button.font().underline());
    EXPECT_DOUBLE_EQ(button.font().pointSizeF(), 8.25);
    EXPECT_EQ(button.FontName(), "MS Sans Serif");
    EXPECT_TRUE(button.FontBold());
}

TEST(SkinButtonProperties, MousePointerSetsTheCursor)
{
    QWidget window;
    skinButton button(&window);
    button.setMousePointer(11);
    EXPECT_EQ(button.cursor().shape(), Qt::WaitCursor);
    button.setMousePointer(0);
    EXPECT_FALSE(button.testAttribute(Qt::WA_SetCursor));
}

TEST(SkinButtonProperties, TheContainerSchemeFollowsTheWindowColours)
{
    QWidget window;
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, QColor(0x20, 0x40, 0x60));
    colours.setColor(QPalette::WindowText, QColor(0xFF, 0xEE, 0xDD));
    window.setPalette(colours);
    skinButton button(&window);
    button.setColorScheme(4);
    EXPECT_EQ(button.skinPalette().colFace, 0x604020);
    EXPECT_EQ(button.skinPalette().colText, 0xDDEEFF);
    colours.setColor(QPalette::Window, QColor(0x10, 0x10, 0x10));
    window.setPalette(colours);
    EXPECT_EQ(button.skinPalette().colFace, 0x101010);
}

} // namespace
