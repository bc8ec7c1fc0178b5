#include "transfer/ProfileReads.h"

#include "platform/Background.h"
#include "store/LinkItem.h"
#include "transfer/TransferProgress.h"

#include <QThread>

#include <algorithm>
#include <atomic>

namespace ProfileReads {

namespace {

// How long this thread waits for the read between two looks at the progress.
constexpr int WaitMs = 20;

// The counts so far of a read under way.
struct Counts
{
    std::atomic_int folders = 0;
    std::atomic_int links = 0;
};

} // namespace

ImportReport readAside(const BrowserProfile &profile, std::unique_ptr<LinkItem> &folder, const Reader &reader,
                       TransferProgress &progress, QFuture<Read> *reading)
{
    auto counts = std::make_shared<Counts>();
    // The folder goes with the read: a cancelled read drops it when it ends.
    QFuture<Read> read
        = Background::run([profile, reader, counts, target = std::move(folder)](QPromise<Read> &promise) mutable {
              ImportReport report = reader(profile, *target, [&promise, &counts](int folders, int links) {
                  counts->folders = folders;
                  counts->links = links;
                  return !promise.isCanceled();
              });
              promise.addResult(Read {std::move(target), report});
          });
    if (reading)
        *reading = read;
    while (!read.isFinished()) {
        if (!progress.update(counts->folders, counts->links)) {
            read.cancel();
            ImportReport cancelled;
            cancelled.cancel();
            return cancelled;
        }
        QThread::msleep(WaitMs);
    }
    // Taking the result leaves the future in no state at all, for ever unfinished: nobody may wait for it.
    Read done = read.takeResult();
    if (reading)
        *reading = {};
    folder = std::move(done.folder);
    return done.report;
}

} // namespace ProfileReads

ProfileCounter::ProfileCounter(QList<BrowserProfile> profiles, ProfileReads::Reader reader, QObject *parent)
    : QObject(parent), m_profiles(std::move(profiles)), m_reader(std::move(reader))
{
}

ProfileCounter::~ProfileCounter()
{
    // Each read ends at its next progress call; what it counts is told to nobody.
    for (QFuture<ImportReport> &counting : m_counting)
        counting.cancel();
}

void ProfileCounter::start()
{
    // One task per profile, so that a large profile holds up none of the others; one thread is left to the rest
    // of the program (an import chosen meanwhile).
    const int threads = std::max(1, Background::pool()->maxThreadCount() - 1);
    while (m_started < m_profiles.size() && m_running < threads)
        startNext();
}

void ProfileCounter::startNext()
{
    const int index = m_started++;
    ++m_running;
    QFuture<ImportReport> counting
        = Background::run([profile = m_profiles.at(index), reader = m_reader](QPromise<ImportReport> &promise) {
              LinkItem scratch;
              const ImportReport report
                  = reader(profile, scratch, [&promise](int, int) { return !promise.isCanceled(); });
              promise.addResult(report);
          });
    m_counting.append(counting);
    Background::whenDone(counting, this, [this, index](const QFuture<ImportReport> &counted) {
        --m_running;
        if (counted.isCanceled() || counted.resultCount() == 0)
            return;
        const ImportReport report = counted.result();
        start();
        if (report.status != ImportReport::Cancelled) {
            const QString error = report.status == ImportReport::Unreadable ? report.errorString() : QString();
            emit this->counted(index, report.folders, report.links, error);
        }
    });
}
