#include "core/playerkeys.h"

#include "base/errors.h"
#include "core/dvd.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/opendisc.h"
#include "core/playerstate.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/keystate.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <initializer_list>

namespace PlayerKeys
{

namespace
{

void addKey(QWidget *window, const QKeySequence &key, void (*action)())
{
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, action);
}

struct PolledKey {
    int key;
    bool keypad;
};

// True when any of the keys is down or was pressed since it was last asked
// about; every key is asked, so none keeps a stale press for the next tick.
bool anyDown(std::initializer_list<PolledKey> keys)
{
    bool down = false;
    for (const PolledKey &polled : keys)
        down = KeyState::instance().isDown(polled.key, polled.keypad) || down;
    return down;
}

// The main keyboard's plus key types '=' unshifted on many layouts, and the
// minus key '_' shifted; the keypad's plus and minus are not polled. Enter
// and the arrows count on the keypad too.
bool plusDown()
{
    return anyDown({{Qt::Key_Plus, false}, {Qt::Key_Equal, false}});
}
bool minusDown()
{
    return anyDown({{Qt::Key_Minus, false}, {Qt::Key_Underscore, false}});
}
bool enterDown()
{
    return anyDown({{Qt::Key_Return, false}, {Qt::Key_Enter, true}, {Qt::Key_Enter, false}});
}
bool arrowDown(int key)
{
    return anyDown({{key, false}, {key, true}});
}

// The menu command of the first menu key down, if any.
void (*polledMenuCommand())()
{
    if (enterDown())
        return &Functions::MenuActivate;
    if (arrowDown(Qt::Key_Left))
        return &Functions::MenuLeft;
    if (arrowDown(Qt::Key_Up))
        return &Functions::MenuUp;
    if (arrowDown(Qt::Key_Right))
        return &Functions::MenuRight;
    if (arrowDown(Qt::Key_Down))
        return &Functions::MenuDown;
    return nullptr;
}

bool titlePlaying()
{
    bool playing = false;
    IgnoreErrors steps;
    steps.step([&] {
        playing = dvdControl()->CurrentDomain() == DvdDomain::kTitle && !playerState().paused;
    });
    return playing;
}

} // namespace

void install(QWidget *window)
{
    addKey(window, QKeySequence::Open, [] { OpenDisc::choose(QApplication::activeWindow()); });
    addKey(window, QKeySequence(Qt::Key_Space), &PlayPause);
    addKey(window, QKeySequence(Qt::Key_Escape), &LeaveFullScreen);
}

void PlayPause()
{
    if (titlePlaying())
        form<DVD>()->mPause_Click();
    else
        Functions::PlayDisc();
}

void LeaveFullScreen()
{
    if (isLoaded<DVD>() && form<DVD>()->isFullScreen())
        form<DVD>()->ToggleFULLnWINDOW();
}

Polled Poll()
{
    if (!QApplication::activeWindow())
        return Polled::Nothing;
    if (plusDown())
        return Polled::ZoomIn;
    if (minusDown())
        return Polled::ZoomOut;
    void (*command)() = polledMenuCommand();
    if (!command)
        return Polled::Nothing;
    IgnoreErrors steps;
    steps.step(command);
    return Polled::MenuKey;
}

} // namespace PlayerKeys
