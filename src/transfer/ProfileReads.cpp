#include "transfer/ProfileReads.h"

#include "store/LinkItem.h"
#include "transfer/TransferProgress.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QThreadPool>

#include <atomic>

namespace ProfileReads {

namespace {

// How long this thread waits for the worker between two looks at the progress.
constexpr int WaitMs = 20;

// What the worker and the waiting thread share; it lives as long as either of them needs it.
struct Job
{
    std::unique_ptr<LinkItem> folder;
    ImportReport report;
    std::atomic_int folders = 0;
    std::atomic_int links = 0;
    std::atomic_bool cancelled = false;
    QSemaphore finished;
};

} // namespace

ImportReport readAside(const BrowserProfile &profile, std::unique_ptr<LinkItem> &folder, const Reader &reader,
                       TransferProgress &progress, QThreadPool &pool)
{
    auto job = std::make_shared<Job>();
    job->folder = std::move(folder);
    pool.start([job, profile, reader] {
        job->report = reader(profile, *job->folder, [job = job.get()](int folders, int links) {
            job->folders = folders;
            job->links = links;
            return !job->cancelled;
        });
        job->finished.release();
    });
    do {
        if (!progress.update(job->folders, job->links)) {
            job->cancelled = true;
            ImportReport cancelled;
            cancelled.cancel();
            return cancelled;
        }
    } while (!job->finished.tryAcquire(1, WaitMs));
    // The worker is done with the folder.
    folder = std::move(job->folder);
    return job->report;
}

} // namespace ProfileReads

struct ProfileCounter::Shared
{
    QMutex mutex;
    ProfileCounter *receiver; // none once the counter is gone
    std::atomic_int cancelled = 0;
};

ProfileCounter::ProfileCounter(QList<BrowserProfile> profiles, ProfileReads::Reader reader, QObject *parent)
    : QObject(parent), m_profiles(std::move(profiles)), m_reader(std::move(reader)),
      m_shared(std::make_shared<Shared>())
{
    m_shared->receiver = this;
}

ProfileCounter::~ProfileCounter()
{
    Shared *shared = m_shared.get();
    if (!shared)
        return;
    QMutexLocker locker(&shared->mutex);
    shared->receiver = nullptr;
    shared->cancelled = 1;
}

void ProfileCounter::start()
{
    // One task per profile: a large profile holds up none of the others.
    for (int i = 0; i < m_profiles.size(); ++i) {
        QThreadPool::globalInstance()->start([shared = m_shared, profile = m_profiles.at(i), reader = m_reader, i] {
            if (shared->cancelled != 0)
                return;
            LinkItem scratch;
            const ImportReport report
                = reader(profile, scratch, [shared = shared.get()](int, int) { return shared->cancelled == 0; });
            if (report.status == ImportReport::Cancelled)
                return;
            const QString error = report.status == ImportReport::Unreadable ? report.errorString() : QString();
            // Under the lock the counter cannot go away; once it has, an event posted to it is dropped.
            QMutexLocker locker(&shared->mutex);
            if (ProfileCounter *receiver = shared->receiver) {
                QMetaObject::invokeMethod(
                    receiver,
                    [receiver, i, folders = report.folders, links = report.links, error] {
                        emit receiver->counted(i, folders, links, error);
                    },
                    Qt::QueuedConnection);
            }
        });
    }
}
