#include "core/playerkeys.h"

#include "base/errors.h"
#include "core/dvd.h"
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

// Paused covers a menu too: Play there only ends a scan.
enum class Playback { Stopped, Playing, Paused };

Playback playback()
{
    Playback state = Playback::Paused;
    IgnoreErrors steps;
    steps.step([&] {
        const int domain = dvdControl()->CurrentDomain();
        const bool paused = isLoaded<DVD>() && form<DVD>()->Paused;
        if (domain == DvdDomain::kStop)
            state = Playback::Stopped;
        else if (domain == DvdDomain::kTitle && !paused)
            state = Playback::Playing;
    });
    return state;
}

// Resuming is no play command: the window stays as the user left it.
void resume()
{
    if (const auto error = trapFirstError([] { dvdControl()->Play(); })) {
        Functions::ReportPlayFailure(error->number(), error->description());
        return;
    }
    if (isLoaded<DVD>())
        form<DVD>()->Paused = false;
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
    switch (playback()) {
    case Playback::Playing:
        form<DVD>()->mPause_Click();
        break;
    case Playback::Paused:
        resume();
        break;
    case Playback::Stopped:
        Functions::PlayDisc();
        break;
    }
}

void LeaveFullScreen()
{
    if (isLoaded<DVD>() && form<DVD>()->isFullScreen())
        form<DVD>()->ToggleFULLnWINDOW();
}

} // namespace PlayerKeys
