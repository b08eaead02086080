#include "support/qtprinters.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

// A shown window with two buttons; every event of the first is logged.
class ButtonEvents : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setGeometry(50, 50, 200, 100);
        button = new skinButton(&window, QStringLiteral("btnTest"));
        button->setGeometry(20, 20, 60, 24);
        button->setButtonType(8);
        button->setColorScheme(ColorSchemes::kOwn);
        button->setBackColor(0x404040);
        other = new skinButton(&window, QStringLiteral("btnOther"));
        other->setGeometry(100, 20, 60, 24);
        record();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::mouseMove(&window, QPoint(190, 90));
        log.clear();
    }

    void record()
    {
        using B = skinButton;
        connect(&B::Click, [this] { log << "Click"; });
        connect(&B::MouseOver, [this] { log << "MouseOver"; });
        connect(&B::MouseOut, [this] { log << "MouseOut"; });
        const auto mouse = [this](const char *name) {
            return [this, name](int b, int, int, int) {
                log << QStringLiteral("%1 %2").arg(name).arg(b);
            };
        };
        QObject::connect(button, &B::MouseDown, button, mouse("MouseDown"));
        QObject::connect(button, &B::MouseMove, button, mouse("MouseMove"));
        QObject::connect(button, &B::MouseUp, button, mouse("MouseUp"));
        QObject::connect(button, &B::KeyDown, button,
                         [this](int key, int) { log << QStringLiteral("KeyDown %1").arg(key); });
        QObject::connect(button, &B::KeyUp, button,
                         [this](int key, int) { log << QStringLiteral("KeyUp %1").arg(key); });
        QObject::connect(button, &B::KeyPress, button,
                         [this](int key) { log << QStringLiteral("KeyPress %1").arg(key); });
    }

    template <typename Handler> void connect(void (skinButton::*signal)(), Handler handler)
    {
        QObject::connect(button, signal, button, handler);
    }

    // The log without the moves, which Qt may report more than once.
    QStringList withoutMoves() const
    {
        QStringList kept;
        for (const QString &entry : log)
            if (!entry.startsWith(QLatin1String("MouseMove")))
                kept << entry;
        return kept;
    }

    QWidget window;
    skinButton *button = nullptr;
    skinButton *other = nullptr;
    QStringList log;
};

QRgb pixelAt(skinButton *button, int x, int y)
{
    return button->grab().toImage().pixel(x, y);
}

TEST_F(ButtonEvents, HoverThenClickRaisesTheEventsInOrder)
{
    QTest::mouseMove(button, QPoint(10, 10));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(withoutMoves(), QStringList({"MouseOver", "MouseDown 1", "MouseUp 1", "Click"}));

    // The release ends the hover; the next move inside starts it again.
    log.clear();
    QTest::mouseMove(button, QPoint(12, 10));
    QTest::mouseMove(&window, QPoint(190, 90));
    EXPECT_EQ(withoutMoves(), QStringList({"MouseOver", "MouseOut"}));
    EXPECT_EQ(log.first(), "MouseMove 0");
}

TEST_F(ButtonEvents, PressMoveOutAndReleaseOutsideRaisesNoMouseOutAndNoClick)
{
    // Through the window, so that Qt keeps the pointer with the pressed button.
    QWindow *handle = window.windowHandle();
    QTest::mouseMove(handle, QPoint(30, 30));
    log.clear();
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseMove(handle, QPoint(150, 80));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(150, 80));
    EXPECT_EQ(log, QStringList({"MouseDown 1", "MouseMove 1", "MouseUp 1"}));
    // Coming back in is a fresh hover.
    log.clear();
    QTest::mouseMove(handle, QPoint(30, 30));
    EXPECT_EQ(withoutMoves(), QStringList({"MouseOver"}));
}

TEST_F(ButtonEvents, TheRightButtonNeitherRepaintsNorClicks)
{
    QTest::mouseMove(button, QPoint(10, 10));
    const QImage hovered = button->grab().toImage();
    log.clear();
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->grab().toImage(), hovered);
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->grab().toImage(), hovered);
    EXPECT_EQ(log, QStringList({"MouseDown 2", "MouseUp 2"}));
}

TEST_F(ButtonEvents, HeldSpacePressesAndItsReleaseClicksOnce)
{
    const QRgb shadow = qRgb(0, 0, 0);
    const QRgb face = qRgb(0x40, 0x40, 0x40);
    EXPECT_EQ(pixelAt(button, 0, 0), face);
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_EQ(pixelAt(button, 0, 0), shadow) << "pressed look";
    // Held keys repeat as press and release pairs marked as repeats.
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
    QApplication::sendEvent(button, &repeatUp);
    QApplication::sendEvent(button, &repeatDown);
    EXPECT_EQ(log.count("Click"), 0);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(log.count("Click"), 1);
    EXPECT_EQ(pixelAt(button, 0, 0), face);
    EXPECT_EQ(log.first(), "KeyDown 32");
    EXPECT_EQ(log.mid(1, 2), QStringList({"MouseDown 1", "KeyPress 32"}));
    EXPECT_EQ(log.mid(log.size() - 3), QStringList({"KeyUp 32", "MouseUp 1", "Click"}));
}

TEST_F(ButtonEvents, AccessKeysFollowTheFirstSingleAmpersand)
{
    const auto keyOf = [this](const QString &caption) {
        button->setCaption(caption);
        return button->AccessKey();
    };
    EXPECT_TRUE(keyOf("&&").isNull());
    EXPECT_EQ(keyOf("&Save"), u's');
    EXPECT_EQ(keyOf("Sa&VE"), u'v');
    EXPECT_EQ(keyOf("R&&D &Notes"), u'n');
    EXPECT_TRUE(keyOf("A&&B&&C&d").isNull()) << "only the second ampersand is tried";
    EXPECT_TRUE(keyOf("Save&").isNull());
    EXPECT_TRUE(keyOf("&").isNull());
    EXPECT_EQ(keyOf("&x&"), u'x');
}

TEST_F(ButtonEvents, TheAccessKeyClicks)
{
    button->setCaption("&Save");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(log, QStringList({"Click"}));
    button->setCaption("Save");
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(log, QStringList({"Click"}));
}

TEST_F(ButtonEvents, ADisabledButtonNeverClicks)
{
    button->setCaption("&Save");
    button->setEnabled(false);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseMove(button, QPoint(10, 10));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClick(button, Qt::Key_Space);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(log.count("Click"), 0);
    button->setEnabled(true);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(log.count("Click"), 1);
}

TEST_F(ButtonEvents, ADoubleClickClicksTwice)
{
    QTest::mouseMove(window.windowHandle(), QPoint(30, 30));
    log.clear();
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(withoutMoves(), QStringList({"MouseDown 1", "MouseUp 1", "Click", "MouseDown 1",
                                           "MouseUp 1", "Click"}));
}

TEST_F(ButtonEvents, ArrowKeysMoveTheFocus)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Right);
    EXPECT_TRUE(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Up);
    EXPECT_TRUE(button->hasFocus());
}

} // namespace
