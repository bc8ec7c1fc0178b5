#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>

// The longest time, in milliseconds, between two turns of the event loop from the moment work is posted until
// it has returned and done (if given) holds, as a zero timer sees it; at most two minutes are waited for.
inline qint64 longestStallMs(const std::function<void()> &work, const std::function<bool()> &done = {})
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    bool returned = false;
    tick.start();
    clock.start();
    QTimer::singleShot(0, [&] {
        work();
        returned = true;
    });
    while ((!returned || (done && !done())) && clock.elapsed() < 120'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    return std::max(longest, clock.elapsed() - last);
}
