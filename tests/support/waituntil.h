// Waiting in a test, bounded. In a window test the window's own events (its
// timers, the server window's polls) go on while the test waits; the
// Qt-free platform contract waits with the same function.
#pragma once

#include "platform.h"

#include <chrono>
#include <functional>

#ifdef QT_CORE_LIB
#include <QCoreApplication>
#endif

namespace vorn::test {

// Polls `condition` every `stepMs` until it holds or `timeoutMs` has
// passed; whether it held.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int stepMs = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
#ifdef QT_CORE_LIB
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, stepMs);
#endif
        platform::sleepMilliseconds(stepMs);
    }
}

} // namespace vorn::test
