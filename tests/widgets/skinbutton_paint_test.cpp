#include "support/qtprinters.h"
#include "widgets/skinbutton.h"
#include "widgets/skincaption.h"

#include "platform/units.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QResizeEvent>

#include <gtest/gtest.h>

#include <memory>

namespace
{

// Colours read back from the painted face, as 0x00BBGGRR text.
std::string hex(int32_t color)
{
    return "0x" + QStringLiteral("%1").arg(color, 6, 16, QLatin1Char('0')).toUpper().toStdString();
}

std::string at(const QImage &image, int x, int y)
{
    return hex(toColorRef(QColor(image.pixel(x, y))));
}

bool contains(const QImage &image, int32_t color)
{
    const QRgb wanted = fromColorRef(color).rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == wanted)
                return true;
    return false;
}

std::unique_ptr<skinButton> makeButton(int type, QSize size, int32_t back,
                                       const QString &caption = QString())
{
    auto button = std::make_unique<skinButton>();
    button->setColorScheme(ColorSchemes::kOwn);
    button->setBackColor(back);
    button->setForeColor(0xFFFFFF);
    button->setForeOver(0x00FF00);
    button->setButtonType(type);
    button->setCaption(caption);
    button->resize(size);
    // A hidden widget learns its size when shown or grabbed; tell it now.
    QResizeEvent resized(size, QSize());
    QCoreApplication::sendEvent(button.get(), &resized);
    return button;
}

QImage face(skinButton &button)
{
    return button.grab().toImage();
}

void send(skinButton &button, QEvent::Type type, Qt::MouseButton pressed)
{
    const QPointF centre(button.width() / 2.0, button.height() / 2.0);
    QMouseEvent event(type, centre, button.mapToGlobal(centre), pressed, pressed, {});
    QCoreApplication::sendEvent(&button, &event);
}

void hover(skinButton &button)
{
    send(button, QEvent::MouseMove, Qt::NoButton);
}

void press(skinButton &button)
{
    send(button, QEvent::MouseButtonPress, Qt::LeftButton);
}

void focus(skinButton &button)
{
    QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&button, &event);
}

TEST(ShadeRules, ClampEachChannelAndScaleBlueByItsOwnValue)
{
    EXPECT_EQ(hex(Shade(0x10F0FF, 20)), "0x24FFFF");
    EXPECT_EQ(hex(Shade(0x102030, -40)), "0x000008");
    EXPECT_EQ(hex(ShadeBlue(0xC08040, -48)), "0x905010");
    // 101 * -32 / 192 is -16.8, truncated toward zero.
    EXPECT_EQ(hex(ShadeBlue(0x650000, -32)), "0x550000");
    EXPECT_EQ(hex(ShadeBlue(0x000000, 48)), "0x003030");
}

TEST(SkinPalette, DarkGreyGivesBlackShadowAndGreyHighlight)
{
    auto button = makeButton(8, {40, 24}, 0x404040);
    EXPECT_EQ(hex(button->skinPalette().colShadow), "0x000000");
    EXPECT_EQ(hex(button->skinPalette().colHighlight), "0x6F6F6F");
    EXPECT_EQ(hex(button->skinPalette().colLight), "0x5F5F5F");
    EXPECT_EQ(hex(button->skinPalette().colDarkShadow), "0x000000");
    button->setColorScheme(ColorSchemes::kClassic);
    EXPECT_EQ(hex(button->skinPalette().colFace), "0xC0C0C0");
    EXPECT_EQ(hex(button->skinPalette().colText), "0x000000");
}

TEST(HoverBevelStyle, FlatThenRaisedWhileHoveredThenSunkenWhilePressed)
{
    auto button = makeButton(8, {40, 24}, 0x404040);
    QImage image = face(*button);
    for (const QPoint corner : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 23), QPoint(39, 23)})
        EXPECT_EQ(at(image, corner.x(), corner.y()), "0x404040") << "flat";

    hover(*button);
    image = face(*button);
    EXPECT_EQ(at(image, 0, 0), "0x6F6F6F");
    EXPECT_EQ(at(image, 38, 0), "0x6F6F6F");
    EXPECT_EQ(at(image, 0, 22), "0x6F6F6F");
    EXPECT_EQ(at(image, 39, 0), "0x000000");
    EXPECT_EQ(at(image, 0, 23), "0x000000");
    EXPECT_EQ(at(image, 39, 23), "0x000000");
    EXPECT_EQ(at(image, 1, 1), "0x404040") << "a single bevel";

    press(*button);
    image = face(*button);
    EXPECT_EQ(at(image, 0, 0), "0x000000");
    EXPECT_EQ(at(image, 0, 22), "0x000000");
    EXPECT_EQ(at(image, 39, 0), "0x6F6F6F");
    EXPECT_EQ(at(image, 39, 23), "0x6F6F6F");
}

TEST(ThinBevelStyle, AlwaysRaisedAndEmbossedWhenDisabled)
{
    auto button = makeButton(7, {40, 24}, 0x404040, "IIII");
    QImage image = face(*button);
    EXPECT_EQ(at(image, 0, 0), "0x6F6F6F");
    EXPECT_EQ(at(image, 39, 23), "0x000000");
    EXPECT_TRUE(contains(image, 0xFFFFFF));
    EXPECT_FALSE(contains(image, 0x00FF00));

    hover(*button);
    image = face(*button);
    EXPECT_TRUE(contains(image, 0x00FF00)) << "caption in the hover colour";
    EXPECT_FALSE(contains(image, 0xFFFFFF));

    button->setEnabled(false);
    image = face(*button);
    EXPECT_FALSE(contains(image, 0x00FF00));
    EXPECT_FALSE(contains(image, 0xFFFFFF));
    EXPECT_EQ(at(image, 0, 0), "0x6F6F6F");
    button->setButtonType(8);
    image = face(*button);
    EXPECT_EQ(at(image, 0, 0), "0x000000") << "style 8 frames a disabled button in shadow";
    EXPECT_EQ(at(image, 39, 23), "0x000000");
}

TEST(GradientStyle, RowsDarkenDownwardsByTwentyFiveInAll)
{
    // From black: B = (48, 48, 0) and one step per row at a height of 25.
    auto button = makeButton(3, {40, 25}, 0x000000);
    const QImage image = face(*button);
    for (int row = 3; row <= 21; ++row) {
        const int level = 48 - row;
        EXPECT_EQ(at(image, 20, row), hex(level | level << 8)) << "row " << row;
    }
    EXPECT_EQ(at(image, 20, 0), "0x733C00");
    EXPECT_EQ(at(image, 20, 24), "0x733C00");
    EXPECT_EQ(at(image, 1, 1), "0x7B4D10");
    EXPECT_EQ(at(image, 38, 23), "0x7B4D10");
    EXPECT_EQ(at(image, 20, 1), "0x004040") << "plain bevel, top line +16";
    EXPECT_EQ(at(image, 20, 23), "0x000000") << "plain bevel, bottom line -48";
}

TEST(GradientStyle, PressedReversesTheGradientAndKeepsTheTextColour)
{
    // B = 0xA0B0B0, D = ShadeBlue(B, -32) = 0x869090.
    auto button = makeButton(3, {40, 25}, 0x808080);
    press(*button);
    QImage image = face(*button);
    EXPECT_EQ(at(image, 20, 21), "0x848C8C");
    EXPECT_EQ(at(image, 20, 3), "0x777A7A");
    EXPECT_EQ(at(image, 20, 0), "0x733C00");

    auto captioned = makeButton(3, {60, 25}, 0x000000, "IIII");
    hover(*captioned);
    EXPECT_TRUE(contains(face(*captioned), 0x00FF00));
    press(*captioned);
    image = face(*captioned);
    EXPECT_TRUE(contains(image, 0xFFFFFF));
    EXPECT_FALSE(contains(image, 0x00FF00));
}

TEST(GradientStyle, HoverDecorationWinsOverFocusDecoration)
{
    auto button = makeButton(3, {60, 25}, 0x000000);
    EXPECT_EQ(at(face(*button), 1, 12), "0x002B2B") << "plain bevel, left line -5";
    focus(*button);
    QImage image = face(*button);
    EXPECT_EQ(at(image, 1, 12), "0xE7AE8C");
    EXPECT_EQ(at(image, 20, 2), "0xF7D7BD");
    EXPECT_EQ(at(image, 20, 1), "0xFFE7CE");
    hover(*button);
    image = face(*button);
    EXPECT_EQ(at(image, 1, 12), "0x31B2FF");
    EXPECT_EQ(at(image, 20, 2), "0x8CDBFF");
    EXPECT_EQ(at(image, 20, 23), "0x0096E7");
    EXPECT_EQ(at(image, 2, 12), "0x6BCBFF");

    auto unfocused = makeButton(3, {60, 25}, 0x000000);
    unfocused->setShowFocusRect(false);
    focus(*unfocused);
    EXPECT_EQ(at(face(*unfocused), 1, 12), "0x002B2B") << "no focus look without ShowFocusRect";
    unfocused->setShowFocusRect(true);
    unfocused->setDisplayAsDefault(true);
    EXPECT_EQ(at(face(*unfocused), 1, 12), "0xE7AE8C") << "a default button looks focused";
}

TEST(FlatOutlineStyle, UpAndDownEdges)
{
    // Face (128, 128, 255): shadow 0xBF4040, highlight 0xFFAFAF.
    auto button = makeButton(5, {80, 26}, 0xFF8080);
    QImage image = face(*button);
    EXPECT_EQ(at(image, 5, 5), "0xFF8C8C");
    EXPECT_EQ(at(image, 0, 5), "0xA52626");
    EXPECT_EQ(at(image, 78, 5), "0xA52626");
    EXPECT_EQ(at(image, 5, 24), "0xA52626");
    EXPECT_EQ(at(image, 1, 5), "0xFFAFAF");
    EXPECT_EQ(at(image, 79, 5), "0xFFAFAF");
    EXPECT_EQ(at(image, 5, 25), "0xFFAFAF");
    EXPECT_EQ(at(image, 1, 24), "0xD95A5A");
    EXPECT_EQ(at(image, 78, 1), "0xD95A5A");

    press(*button);
    image = face(*button);
    EXPECT_EQ(at(image, 5, 5), "0xCF5050");
    EXPECT_EQ(at(image, 0, 5), "0xA52626");
    EXPECT_EQ(at(image, 79, 5), "0xFFAFAF");
    EXPECT_EQ(at(image, 5, 25), "0xFFAFAF");

    button->setEnabled(false);
    image = face(*button);
    EXPECT_EQ(at(image, 0, 0), "0xBF4040");
    EXPECT_EQ(at(image, 79, 25), "0xBF4040");
    EXPECT_EQ(at(image, 5, 5), "0xFF8080");
}

// Where the focus frame should be for a caption, from the caption's own size.
QRect captionFrame(const skinButton &button)
{
    const QFontMetrics metrics(displayFont(button.font()));
    const int tw = metrics.horizontalAdvance(withoutAccessMarks(button.Caption()));
    const int th = metrics.height();
    return QRect((button.width() - tw) / 2 - 3, (button.height() - th) / 2 - 1, tw + 6, th + 2);
}

void expectFrame(const QImage &image, const QRect &frame)
{
    for (const QPoint corner :
         {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
        EXPECT_EQ(at(image, corner.x(), corner.y()), "0xCC9999") << corner.x() << "," << corner.y();
    EXPECT_NE(at(image, frame.left() - 1, frame.top()), "0xCC9999");
    EXPECT_NE(at(image, frame.right() + 1, frame.bottom()), "0xCC9999");
}

TEST(FlatOutlineStyle, FocusFrameFollowsTheMeasuredCaption)
{
    auto button = makeButton(5, {120, 26}, 0x404040, "OK");
    EXPECT_TRUE(button->FontBold());
    focus(*button);
    const QRect small = captionFrame(*button);
    expectFrame(face(*button), small);

    button->setCaption("&Cancel all");
    const QRect wide = captionFrame(*button);
    EXPECT_LT(wide.left(), small.left() - 10);
    expectFrame(face(*button), wide);
    press(*button);
    expectFrame(face(*button), wide);

    button->setShowFocusRect(false);
    EXPECT_FALSE(contains(face(*button), 0xCC9999));
}

TEST(Painting, AButtonOfHeightZeroPaintsNothing)
{
    for (int type = 1; type <= 10; ++type) {
        auto button = makeButton(type, {40, 0}, 0x404040, "OK");
        button->Refresh();
        hover(*button);
        EXPECT_TRUE(button->grab().isNull()) << "style " << type;
        button->resize(40, 20);
        EXPECT_EQ(face(*button).size(), QSize(40, 20));
    }
}

TEST(Regions, CornersCutPerStyle)
{
    const int w = 30, h = 20;
    const auto kept = [&](int type, int x, int y) {
        auto button = makeButton(type, {w, h}, 0x404040);
        return button->mask().contains(QPoint(x, y));
    };
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(0, h - 1), QPoint(w - 1, 0), QPoint(w - 1, h - 1)}) {
        EXPECT_FALSE(kept(1, corner.x(), corner.y()));
        EXPECT_FALSE(kept(3, corner.x(), corner.y()));
        EXPECT_FALSE(kept(4, corner.x(), corner.y()));
        EXPECT_TRUE(kept(8, corner.x(), corner.y()));
        EXPECT_TRUE(kept(2, corner.x(), corner.y()));
    }
    EXPECT_TRUE(kept(1, 1, 0));
    for (const int type : {3, 4}) {
        EXPECT_FALSE(kept(type, 1, 0));
        EXPECT_FALSE(kept(type, 0, 1));
        EXPECT_TRUE(kept(type, 2, 0));
        EXPECT_TRUE(kept(type, 1, 1));
        EXPECT_FALSE(kept(type, w - 2, h - 1));
        EXPECT_FALSE(kept(type, w - 1, h - 2));
        EXPECT_TRUE(kept(type, w - 2, h - 2));
    }
    EXPECT_FALSE(kept(5, 0, h - 1));
    EXPECT_FALSE(kept(5, w - 1, 0));
    EXPECT_TRUE(kept(5, 0, 0));
    EXPECT_TRUE(kept(5, w - 1, h - 1));
}

TEST(OtherStyles, ShowTheirDistinguishingTraits)
{
    // The classic grey palette: face C0C0C0, light DFDFDF, highlight FFFFFF,
    // shadow 808080, dark shadow 000000.
    const auto grey = [](int type) {
        auto button = makeButton(type, {40, 20}, 0);
        button->setColorScheme(ColorSchemes::kClassic);
        return button;
    };
    auto classic = grey(1);
    EXPECT_EQ(at(face(*classic), 10, 0), "0x000000") << "dark outer frame";
    EXPECT_EQ(at(face(*classic), 10, 1), "0xFFFFFF");
    EXPECT_EQ(at(face(*classic), 38, 10), "0x808080");

    auto raised = grey(2);
    EXPECT_EQ(at(face(*raised), 0, 0), "0xFFFFFF");
    EXPECT_EQ(at(face(*raised), 1, 1), "0xDFDFDF");
    EXPECT_EQ(at(face(*raised), 39, 19), "0x000000");
    EXPECT_EQ(at(face(*raised), 38, 10), "0x808080");
    focus(*raised);
    EXPECT_EQ(at(face(*raised), 0, 0), "0x000000") << "focused: dark frame";

    auto rounded = grey(4);
    EXPECT_EQ(at(face(*rounded), 10, 0), "0x000000");
    EXPECT_EQ(at(face(*rounded), 1, 1), "0x000000");

    auto soft = grey(6);
    EXPECT_EQ(at(face(*soft), 0, 0), "0xE7E7E7");
    EXPECT_EQ(at(face(*soft), 39, 19), "0x808080");

    auto frame = grey(9);
    EXPECT_EQ(at(face(*frame), 0, 0), "0xC0C0C0");
    hover(*frame);
    EXPECT_EQ(at(face(*frame), 0, 0), "0x000000");

    auto fill = grey(10);
    EXPECT_EQ(at(face(*fill), 5, 5), "0xCFCFCF");
    EXPECT_EQ(at(face(*fill), 0, 0), "0x808080");
    hover(*fill);
    EXPECT_EQ(at(face(*fill), 5, 5), "0xE3E3E3");
}

} // namespace
