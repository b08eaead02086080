#include "platform/keystate.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>

namespace
{

bool editsText(const QWidget *widget)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return !line->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    if (const auto *rich = qobject_cast<const QTextEdit *>(widget))
        return !rich->isReadOnly();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    return qobject_cast<const QAbstractSpinBox *>(widget) != nullptr;
}

QWidget *widgetOf(const QObject *window)
{
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

} // namespace

KeyState &KeyState::instance()
{
    static auto *state = new KeyState(QGuiApplication::instance());
    return *state;
}

KeyState::KeyState(QObject *parent) : QObject(parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(parent)) {
        app->installEventFilter(this);
        connect(app, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state != Qt::ApplicationActive)
                        clear();
                });
    }
}

// A key typed into a popup (a context menu, an open list), a text box, a
// dialog or one of the program's questions answers them: it is no key of the
// player's. The Return that picks a context menu item or answers a question
// must not also press the DVD menu's button when the video window polls.
bool KeyState::answersAnotherWindow(const QObject *window)
{
    const auto *handle = qobject_cast<const QWindow *>(window);
    if (handle && handle->type() == Qt::Popup)
        return true;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return false;
    if (QApplication::activePopupWidget())
        return true;
    const QWidget *widget = widgetOf(window);
    if (!widget)
        return false;
    if (widget->windowType() == Qt::Dialog || widget->isModal())
        return true;
    return editsText(widget->focusWidget());
}

int KeyState::code(int key, bool keypad)
{
    return keypad ? key | int(Qt::KeypadModifier) : key;
}

bool KeyState::isDown(int key, bool keypad)
{
    const int wanted = code(key, keypad);
    const bool down = held_.count(wanted) > 0 || pressedSinceQuery_.count(wanted) > 0;
    pressedSinceQuery_.erase(wanted);
    return down;
}

void KeyState::clear()
{
    held_.clear();
    taken_.clear();
    pressedSinceQuery_.clear();
    heldByScanCode_.clear();
}

bool KeyState::eventFilter(QObject *watched, QEvent *event)
{
    // Every key event passes the application filter once per receiver in the
    // parent chain; only the window-level delivery is counted.
    const auto type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWindowType()) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = code(keyEvent->key(), keyEvent->modifiers().testFlag(Qt::KeypadModifier));
        const quint32 scanCode = keyEvent->nativeScanCode();
        if (type == QEvent::KeyPress) {
            // A key held on after its press closed a dialog repeats into the
            // window below: it stays the dialog's until it is released.
            if (answersAnotherWindow(watched) ||
                (keyEvent->isAutoRepeat() && taken_.count(key) > 0)) {
                taken_.insert(key);
                return QObject::eventFilter(watched, event);
            }
            held_.insert(key);
            pressedSinceQuery_.insert(key);
            if (scanCode != 0)
                heldByScanCode_[scanCode] = key;
        } else if (!keyEvent->isAutoRepeat()) {
            held_.erase(key);
            taken_.erase(key);
            if (auto pressed = heldByScanCode_.find(scanCode); pressed != heldByScanCode_.end()) {
                held_.erase(pressed->second);
                heldByScanCode_.erase(pressed);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
