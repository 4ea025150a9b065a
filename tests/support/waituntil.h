// Waiting in a window test, bounded: the window's own events (its timers,
// the server window's polls) go on while the test waits.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace vorn::test {

// Polls `condition` every `stepMs` until it holds or `timeoutMs` has
// passed; whether it held.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int stepMs = 20) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (condition())
            return true;
        if (timer.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, stepMs);
        QThread::msleep(static_cast<unsigned long>(stepMs));
    }
}

} // namespace vorn::test
