#include "platform/keystate.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
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

// Typing a title such as "Part 1 + 2" or answering a question with Enter is
// no player command; a read-only box takes no typing.
TEST(KeyState, KeysTypedIntoATextBoxOrADialogDoNotCount)
{
    QWidget window;
    auto *box = new QLineEdit(&window);
    window.show();
    box->setFocus();
    QDialog question;
    question.show();
    KeyState &keys = KeyState::instance();
    keys.clear();
    send(window.windowHandle(), QEvent::KeyPress, Qt::Key_Plus, Qt::ShiftModifier);
    EXPECT_FALSE(keys.isDown(Qt::Key_Plus));
    send(question.windowHandle(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_FALSE(keys.isDown(Qt::Key_Return));
    box->setReadOnly(true);
    // Enter closed the question; held on, it repeats into the window below.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, kEqualsKeyScanCode, 0, 0,
                     QString(), true);
    QCoreApplication::sendEvent(window.windowHandle(), &repeat);
    EXPECT_FALSE(keys.isDown(Qt::Key_Return));
    send(window.windowHandle(), QEvent::KeyPress, Qt::Key_Plus, Qt::ShiftModifier);
    EXPECT_TRUE(keys.isDown(Qt::Key_Plus));
    keys.clear();
}

// The Return that picks a context menu item is the menu's: the video window
// polling the keys must not take it for the DVD menu's Enter.
TEST(KeyState, KeysTypedIntoAPopupAreItsOwn)
{
    QWidget window;
    QWidget popup(nullptr, Qt::Popup);
    window.show();
    popup.show();
    KeyState &keys = KeyState::instance();
    keys.clear();
    send(popup.windowHandle(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    send(popup.windowHandle(), QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    EXPECT_FALSE(keys.isDown(Qt::Key_Return));
    popup.hide();
    send(window.windowHandle(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(keys.isDown(Qt::Key_Return));
}
