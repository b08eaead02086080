#include "platform/keystate.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace
{

constexpr quint32 kEqualsKeyScanCode = 21;

void send(QWindow *window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent event(type, key, modifiers, kEqualsKeyScanCode, 0, 0);
    QCoreApplication::sendEvent(window, &event);
}

} // namespace

TEST(KeyState, AKeyReleasedAfterItsShiftCountsAsReleased)
{
    QWidget window;
    window.show();
    KeyState &keys = KeyState::instance();
    keys.clear();
    // Shift+'=' goes down as '+'; with Shift let go first it comes up as '='.
    send(window.windowHandle(), QEvent::KeyPress, Qt::Key_Plus, Qt::ShiftModifier);
    EXPECT_TRUE(keys.isDown(Qt::Key_Plus));
    send(window.windowHandle(), QEvent::KeyRelease, Qt::Key_Equal, Qt::NoModifier);
    EXPECT_FALSE(keys.isDown(Qt::Key_Plus));
    EXPECT_FALSE(keys.isDown(Qt::Key_Equal));
}
