#include "transfer/ProfileReads.h"

#include "platform/Background.h"
#include "store/LinkItem.h"

#include <algorithm>

namespace ProfileReads {

QFuture<void> readAside(const BrowserProfile &profile, const Reader &reader, std::shared_ptr<Read> read,
                        std::shared_ptr<TransferProgress::Counts> counts)
{
    return Background::run([profile, reader, read, counts](QPromise<void> &promise) {
        read->ran = true;
        read->report = reader(profile, *read->folder, TransferProgress::callback(counts, promise));
    });
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
