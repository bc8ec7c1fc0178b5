#include "platform/Background.h"

#include <algorithm>

namespace Background {

QThreadPool *pool()
{
    // A pool of our own rather than the global one, so that the tasks of a library we use never queue behind
    // ours. Never destroyed: tasks still running at exit keep it alive until the program waits for them.
    static QThreadPool *const threads = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(std::max(4, QThread::idealThreadCount()));
        made->setObjectName(QStringLiteral("Background"));
        return made;
    }();
    return threads;
}

bool waitForAll(int msecs)
{
    return pool()->waitForDone(msecs);
}

} // namespace Background
