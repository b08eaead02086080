#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

// Lets events run until the condition holds or the time is up; the
// condition's last answer is the result.
inline bool waitFor(const std::function<bool()> &condition, int milliseconds = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (condition())
            return true;
        QThread::msleep(10);
    }
    return condition();
}
