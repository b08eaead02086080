#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

// Calls handed from one of the engine's threads to another, run on the thread
// the receiver lives on as posted events, in the order they were posted. Qt
// guards its queue of posted events inside its own library, where a
// thread-sanitized build cannot see; these calls tell the sanitizer of each
// hand-over themselves, so that such a build reports our own races only. A
// receiver passes its events to PostedCall::deliver() before anything else.
namespace PostedCall
{
void post(QObject *receiver, std::function<void()> call);
// Returns once the call has run, or once the receiver dropped it unrun by
// going away; never to be called on the receiver's own thread.
void postAndWait(QObject *receiver, std::function<void()> call);
// Runs the event if it is a posted call, and says whether it was.
bool deliver(QEvent *event);
} // namespace PostedCall
