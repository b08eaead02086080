#include "core/playerkeys.h"

#include "core/dvd.h"
#include "base/errors.h"
#include "core/forms.h"
#include "core/functions.h"
#include "core/opendisc.h"
#include "engine/control/dvdcontrolinstance.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

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

bool titlePlaying()
{
    bool playing = false;
    IgnoreErrors steps;
    steps.step([&] {
        playing = dvdControl()->CurrentDomain() == DvdDomain::kTitle &&
                  !(isLoaded<DVD>() && form<DVD>()->Paused);
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

} // namespace PlayerKeys
