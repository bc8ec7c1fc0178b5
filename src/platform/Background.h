#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

// The one way to take work off the event loop: reading and writing files, and computing that would hold the
// window up, run on the program's background pool. The caller keeps the QFuture: then(receiver, ...) brings the
// result back to the event loop, a QFutureWatcher tells the progress, cancel() asks the work to stop. Work that
// tells its progress or looks for a cancel takes a QPromise<T>& as its first argument (setProgressRange,
// setProgressValue, isCanceled). Model work on the event loop goes in slices instead (a QTimer a slice).
namespace Background {

// The pool every background task runs on. The program waits for it before it ends (waitForAll).
QThreadPool *pool();

template<typename Function, typename... Args> auto run(Function &&function, Args &&...args)
{
    return QtConcurrent::run(pool(), std::forward<Function>(function), std::forward<Args>(args)...);
}

// Calls done(future) on receiver's thread once future has ended, finished or cancelled, unless receiver has gone
// by then. Unlike then(receiver, ...), which may still call out to a receiver that is going once its task has
// ended, this is safe for a receiver that cancels its task and waits for it as it goes.
template<typename T, typename Function> void whenDone(const QFuture<T> &future, QObject *receiver, Function &&done)
{
    auto *watcher = new QFutureWatcher<T>(receiver);
    QObject::connect(watcher, &QFutureWatcherBase::finished, receiver,
                     [watcher, done = std::forward<Function>(done)]() mutable {
                         watcher->deleteLater();
                         done(watcher->future());
                     });
    watcher->setFuture(future);
}

// Waits until every task has ended; true when they all did within msecs (-1: no limit).
bool waitForAll(int msecs = -1);

} // namespace Background
